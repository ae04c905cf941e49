#include "core/IniFile_u.h"

#include "core/SafeFile_u.h"

namespace brindle {
namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void TIniFile::Parse(std::string_view text) {
    sections_.clear();
    Section* current = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            current = FindSection(name);
            if (!current) {
                sections_.push_back(Section{std::string(name), {}});
                current = &sections_.back();
            } else {
                current = nullptr;  // a repeated section: the first one counts
            }
            continue;
        }
        if (!current) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, eq));
        bool seen = false;
        for (const auto& entry : current->Entries) seen = seen || SameNoCase(entry.Key, key);
        if (!seen) current->Entries.push_back(Entry{std::string(key), std::string(Trim(line.substr(eq + 1)))});
    }
}

bool TIniFile::LoadFromFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    Parse(bytes);
    return true;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
    for (const auto& section : sections_)
        if (SameNoCase(section.Name, name)) return &section;
    return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
    for (auto& section : sections_)
        if (SameNoCase(section.Name, name)) return &section;
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key) const {
    if (const Section* found = FindSection(section))
        for (const auto& entry : found->Entries)
            if (SameNoCase(entry.Key, key)) return entry.Value;
    return {};
}

bool TIniFile::HasKey(std::string_view section, std::string_view key) const {
    if (const Section* found = FindSection(section))
        for (const auto& entry : found->Entries)
            if (SameNoCase(entry.Key, key)) return true;
    return false;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* found = FindSection(section);
    if (!found) {
        sections_.push_back(Section{std::string(section), {}});
        found = &sections_.back();
    }
    for (auto& entry : found->Entries) {
        if (SameNoCase(entry.Key, key)) {
            entry.Value = std::string(value);
            return;
        }
    }
    found->Entries.push_back(Entry{std::string(key), std::string(value)});
}

std::string TIniFile::ToText() const {
    std::string text;
    for (const auto& section : sections_) {
        if (!text.empty()) text += '\n';
        text += '[' + section.Name + "]\n";
        for (const auto& entry : section.Entries) text += entry.Key + '=' + entry.Value + '\n';
    }
    return text;
}

bool TIniFile::SaveToFile(const std::string& path) const { return WriteFileAtomic(path, ToText(), 0600); }

}  // namespace brindle
