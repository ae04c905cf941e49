#include "core/Options_u.h"

#include "core/CommonConsts_classify.h"
#include "core/XMLOptions_u.h"

namespace brindle {

namespace {

const std::string& EmptyText() {
    static const std::string empty;
    return empty;
}

bool Contains(std::string_view text, std::string_view part) {
    return !part.empty() && text.find(part) != std::string_view::npos;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// Key plus "=" equals Query, without building the joined text.
bool IsQueryKey(std::string_view key, std::string_view query) {
    return query.size() == key.size() + 1 && query.back() == '=' && query.starts_with(key);
}

template <typename Text>
std::string_view FindKeyPhrase(const TLstSEType& engines, std::string_view name, std::span<const Text> params) {
    for (const TRecSEType& engine : engines) {
        if (engine.Name != name) continue;
        for (const Text& param : params) {
            const std::string_view field(param);
            const std::size_t equals = field.find('=');
            if (equals == std::string_view::npos || equals == 0) continue;
            const std::string_view key = field.substr(0, equals);
            if (IsQueryKey(key, engine.Query1) || IsQueryKey(key, engine.Query2) || IsQueryKey(key, engine.Query3))
                return field.substr(equals + 1);
        }
    }
    return {};
}

template <typename TList, typename TTable>
void CopyUATable(TList& list, const TTable& table) {
    list.Clear();
    for (const auto& row : table) list.Add({std::string(row.ID), std::string(row.Name)});
}

}  // namespace

int TLstUAType::FindIndex(std::string_view userAgent) const {
    return IndexOf([&](const TRecUAType& rec) { return Contains(userAgent, rec.ID); });
}

const std::string& TLstUAType::FindName(std::string_view userAgent) const {
    const int index = FindIndex(userAgent);
    return index < 0 ? EmptyText() : items_[static_cast<std::size_t>(index)].Name;
}

int TLstUAType::IndexOfID(std::string_view id) const {
    return IndexOf([&](const TRecUAType& rec) { return rec.ID == id; });
}

int TLstSEType::FindIndex(std::string_view referrer) const {
    return IndexOf([&](const TRecSEType& rec) {
        return Contains(referrer, rec.ID) &&
               (Contains(referrer, rec.Query1) || Contains(referrer, rec.Query2) || Contains(referrer, rec.Query3));
    });
}

const std::string& TLstSEType::FindName(std::string_view referrer) const {
    const int index = FindIndex(referrer);
    return index < 0 ? EmptyText() : items_[static_cast<std::size_t>(index)].Name;
}

std::string_view TLstSEType::GetKeyPhrase(std::string_view name, std::span<const std::string_view> params) const {
    return FindKeyPhrase(*this, name, params);
}

std::string_view TLstSEType::GetKeyPhrase(std::string_view name, std::span<const std::string> params) const {
    return FindKeyPhrase(*this, name, params);
}

int TLstSEType::IndexOfID(std::string_view id) const {
    return IndexOf([&](const TRecSEType& rec) { return rec.ID == id; });
}

std::uint8_t TLstFileExt::GetFileType(std::string_view ext) const {
    const int index = IndexOf([&](const TRecFileExt& rec) { return EqualsIgnoreAsciiCase(rec.Ext, ext); });
    return index < 0 ? 0 : items_[static_cast<std::size_t>(index)].FileType;
}

int TLstFileExt::IndexOfExt(std::string_view ext) const {
    return IndexOf([&](const TRecFileExt& rec) { return rec.Ext == ext; });
}

void TOptions::LoadDefaults() {
    Description = kOptionsDescription;
    Ver = kOptionsDefaultVersion;
    CopyUATable(OSs, DefaultOSTable());
    CopyUATable(Browsers, DefaultBrowserTable());
    CopyUATable(Spiders, DefaultSpiderTable());
    SEs.Clear();
    for (const TDefaultSEType& row : DefaultSETable())
        SEs.Add({std::string(row.ID), std::string(row.Query1), std::string(row.Query2), std::string(row.Query3),
                 std::string(row.Name)});
    Files.Clear();
    for (const TDefaultFileExt& row : DefaultFileExtTable()) Files.Add({std::string(row.Ext), row.FileType});

    NbThread = 100;
    CacheDays = 30;
    Timeout = 5000;
    AskBefore = 1;

    Export = TRecExportOptions{};
    Export.LanguageID = "en";
    Export.MSWordPageBreak = 1;
    Export.MSWordDescription = 1;
    Export.HTMLDescription = 1;
    Export.CSVSeparatorType = 1;

    SessionLength = 30;
    RemoveTxtQuestionRequestURL = 1;
    RemoveTxtQuestionReferrerURL = 0;
    RemoveTxtSharpRequestURL = 1;
    RemoveTxtSharpReferrerURL = 1;
    ConvertLowerCaseRequestURL = 0;
    ConvertLowerCaseReferrerURL = 0;
    ShowEmptyReports = 0;
    ShowGridLines = 0;
}

bool TOptions::LoadFromFile(const std::string& fileName, std::string* why) {
    return xmloptions::LoadOptionsFile(fileName, *this, why);
}

bool TOptions::SaveToFile(const std::string& fileName, std::string* why) const {
    return xmloptions::SaveOptionsFile(fileName, *this, why);
}

}  // namespace brindle
