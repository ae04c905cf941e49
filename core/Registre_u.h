#pragma once
// The handful of values kept outside the options file: window placement, the Word-export
// notice, the tips state, the installed version and the GeoIP City database path.
// They live in settings.ini in the user folder, one group per registry key.
#include <cstdint>
#include <string>

#include "core/IniFile_u.h"

namespace brindle {

// Typed access to one settings file. Reads fall back to their default on any problem
// (missing file, group or value, or a value that does not read as the asked type);
// writes change the file at once and report false on failure, never raise.
class TRegAccess {
public:
    explicit TRegAccess(std::string settingsFile);

    bool ReadBool(const std::string& group, bool defaultValue, const std::string& name) const;
    std::int32_t ReadInteger(const std::string& group, std::int32_t defaultValue, const std::string& name) const;
    std::string ReadString(const std::string& group, const std::string& defaultValue, const std::string& name) const;

    // Sets a value in memory; Flush writes the file.
    void WriteBool(const std::string& group, bool value, const std::string& name);
    void WriteInteger(const std::string& group, std::int32_t value, const std::string& name);
    void WriteString(const std::string& group, const std::string& value, const std::string& name);

    // Re-reads the file; a missing or unreadable file reads as empty.
    void Reload();
    // Why, when given, gets the system's reason of a failure.
    bool Flush(std::string* why = nullptr) const;

private:
    std::string file_;
    TIniFile ini_;
};

class TRegData {
public:
    explicit TRegData(std::string settingsFile);

    std::int32_t Height = -1;
    std::int32_t Left = -1;
    std::int32_t Top = -1;
    std::int32_t Width = -1;
    bool Maximized = false;
    bool WordExport = true;
    std::int32_t Number = 0;
    bool StartUp = true;
    std::string Ver;
    std::string Path;  // GeoIP City database; read only, never written

    void LoadSettings();
    // Writes every value but Path; false when the file could not be written, with the
    // system's reason in Why when given. The values stay as they are either way.
    bool SaveSettings(std::string* why = nullptr);
    const std::string& SettingsFile() const { return file_; }

private:
    std::string file_;
    TRegAccess access_;
};

}  // namespace brindle
