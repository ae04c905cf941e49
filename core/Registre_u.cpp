#include "core/Registre_u.h"

#include <charconv>

#include "core/SafeFile_u.h"

namespace brindle {
namespace {

const std::string kMain = "Main";
const std::string kShow = "Show";
const std::string kTips = "Tips";
const std::string kVersion = "Version";
const std::string kGeoIPCity = "GeoIPCity";

bool ParseInt32(const std::string& text, std::int32_t& value) {
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

}  // namespace

TRegAccess::TRegAccess(std::string settingsFile) : file_(std::move(settingsFile)) { Reload(); }

void TRegAccess::Reload() {
    TIniFile fresh;
    if (!fresh.LoadFromFile(file_)) fresh = TIniFile();
    ini_ = std::move(fresh);
}

bool TRegAccess::ReadBool(const std::string& group, bool defaultValue, const std::string& name) const {
    std::int32_t value = 0;
    if (!ini_.HasKey(group, name) || !ParseInt32(ini_.ReadString(group, name), value)) return defaultValue;
    return value != 0;
}

std::int32_t TRegAccess::ReadInteger(const std::string& group, std::int32_t defaultValue,
                                     const std::string& name) const {
    std::int32_t value = 0;
    if (!ini_.HasKey(group, name) || !ParseInt32(ini_.ReadString(group, name), value)) return defaultValue;
    return value;
}

std::string TRegAccess::ReadString(const std::string& group, const std::string& defaultValue,
                                   const std::string& name) const {
    // A missing value of an existing group reads as empty, as a registry key would.
    if (!ini_.HasSection(group)) return defaultValue;
    return ini_.ReadString(group, name);
}

void TRegAccess::WriteBool(const std::string& group, bool value, const std::string& name) {
    ini_.WriteString(group, name, value ? "1" : "0");
}

void TRegAccess::WriteInteger(const std::string& group, std::int32_t value, const std::string& name) {
    ini_.WriteString(group, name, std::to_string(value));
}

void TRegAccess::WriteString(const std::string& group, const std::string& value, const std::string& name) {
    ini_.WriteString(group, name, value);
}

bool TRegAccess::Flush(std::string* why) const {
    TAtomicFile file;
    // As the settings file was always written: private to the user.
    if (file.Open(file_, 0600) && file.Write(ini_.ToText()) && file.Commit()) return true;
    if (why) *why = file.ErrorText();
    return false;
}

TRegData::TRegData(std::string settingsFile) : file_(settingsFile), access_(std::move(settingsFile)) {}

void TRegData::LoadSettings() {
    access_.Reload();
    Height = access_.ReadInteger(kMain, -1, "Height");
    Left = access_.ReadInteger(kMain, -1, "Left");
    Top = access_.ReadInteger(kMain, -1, "Top");
    Width = access_.ReadInteger(kMain, -1, "Width");
    Maximized = access_.ReadBool(kMain, false, "Maximized");
    WordExport = access_.ReadBool(kShow, true, "WordExport");
    Number = access_.ReadInteger(kTips, 0, "Number");
    StartUp = access_.ReadBool(kTips, true, "StartUp");
    Ver = access_.ReadString(kVersion, "", "Ver");
    Path = access_.ReadString(kGeoIPCity, "", "Path");
}

bool TRegData::SaveSettings(std::string* why) {
    // Start from the file as it is now so that values this object does not own survive.
    access_.Reload();
    access_.WriteInteger(kMain, Height, "Height");
    access_.WriteInteger(kMain, Left, "Left");
    access_.WriteInteger(kMain, Top, "Top");
    access_.WriteInteger(kMain, Width, "Width");
    access_.WriteBool(kMain, Maximized, "Maximized");
    access_.WriteBool(kShow, WordExport, "WordExport");
    access_.WriteInteger(kTips, Number, "Number");
    access_.WriteBool(kTips, StartUp, "StartUp");
    access_.WriteString(kVersion, Ver, "Ver");
    return access_.Flush(why);
}

}  // namespace brindle
