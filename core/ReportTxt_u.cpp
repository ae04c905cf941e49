#include "core/ReportTxt_u.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/IniFile_u.h"
#include "core/LngCharset_u.h"
#include "core/SafeFile_u.h"

namespace brindle {
namespace {

bool HasLngExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".lng";
}

// Plain, visible "*.lng" files of a folder, by name so that the load order is repeatable.
std::vector<std::string> ListLanguageFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return names;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.front() == '.' || !HasLngExtension(name) || !it->is_regular_file(typeError)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool TReportTxt::LoadFromFile(const std::string& fileName) {
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes)) return false;
    // A UTF-8 byte order mark (editors add one) says more about the bytes than [Info] Charset.
    const bool utf8Bom = bytes.starts_with("\xEF\xBB\xBF");
    TIniFile ini;
    ini.Parse(std::string_view(bytes).substr(utf8Bom ? 3 : 0));
    TLngDecoder decoder(utf8Bom ? std::string("UTF-8") : ini.ReadString("Info", "Charset"));
    const auto read = [&](std::string_view section, std::string_view key) {
        return decoder.Decode(ini.ReadString(section, key));
    };
    const std::string name = read("Info", "LanguageName");
    if (name.empty() || name == "English") return false;
    const std::string id = read("Info", "LanguageID");
    if (id.empty() || id == "en") return false;

    // Keys, codes and regions come from the built-in tables; every text from the file.
    auto loaded = std::make_unique<TReportTxt>();
    loaded->LoadDefaults();
    ForEachLanguageText(*loaded, [&](std::string_view section, const std::string& key, std::string& text) {
        text = read(section, key);
    });
    *this = std::move(*loaded);
    return true;
}

const TReportTxt* TLstReportTxt::GetItem(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

void TLstReportTxt::Add(std::unique_ptr<TReportTxt> language) {
    if (language) items_.push_back(std::move(language));
}

void TLstReportTxt::LoadFolder(const std::string& folder) {
    Clear();
    auto english = std::make_unique<TReportTxt>();
    english->LoadDefaults();
    Add(std::move(english));
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    for (const auto& name : ListLanguageFiles(folder)) {
        auto language = std::make_unique<TReportTxt>();
        if (language->LoadFromFile(prefix + name)) Add(std::move(language));
    }
}

const TReportTxt* TLstReportTxt::FindByID(std::string_view id) const {
    for (const auto& item : items_)
        if (item->Info.LanguageID == id) return item.get();
    return nullptr;
}

const TReportTxt* TLstReportTxt::FindByName(std::string_view name) const {
    for (const auto& item : items_)
        if (item->Info.LanguageName == name) return item.get();
    return nullptr;
}

}  // namespace brindle
