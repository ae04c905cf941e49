#pragma once
// A small INI dialect for language files and the settings file.
// Lines are trimmed; ";" starts a comment line; "[name]" opens a section; "key=value" inside a
// section. Section and key names match without regard to ASCII case, and the first
// occurrence of a section or key wins. Lines before the first section are ignored.
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

class TIniFile {
public:
    struct Entry {
        std::string Key;
        std::string Value;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    // Parses INI text held in memory.
    void Parse(std::string_view text);
    // Reads and parses a whole file; false (object unchanged) when it cannot be read.
    bool LoadFromFile(const std::string& path);

    // The value of a key; empty when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view key) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

    // Sets a value, creating the section and key when missing (first occurrence is changed).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The text form: sections in order, "key=value" lines, a blank line between sections.
    std::string ToText() const;
    // Writes atomically; false leaves an earlier file as it was.
    bool SaveToFile(const std::string& path) const;

    const std::vector<Section>& Sections() const { return sections_; }

private:
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);

    std::vector<Section> sections_;
};

}  // namespace brindle
