#pragma once
// The program-wide options: the classification lists that turn user agents, referrers and
// file names into names and kinds, the reverse-DNS, export and miscellaneous settings.
// A plain value: the options dialog edits a copy and stores it back on OK.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brindle {

constexpr std::string_view kOptionsDescription = "Brindle Analyzer Options";
constexpr std::string_view kOptionsVersion = "1.40";  // written by SaveToFile
constexpr std::string_view kOptionsDefaultVersion = "1.00";

// A match text and the name it gives: browsers, operating systems and spiders.
struct TRecUAType {
    std::string ID;
    std::string Name;
    friend bool operator==(const TRecUAType&, const TRecUAType&) = default;
};
using TRecBrowserType = TRecUAType;
using TRecOSType = TRecUAType;
using TRecSpiderType = TRecUAType;

struct TRecSEType {
    std::string ID;  // text that must occur in the referrer
    std::string Query1;  // query keys with their "=", such as "q="; unused ones empty
    std::string Query2;
    std::string Query3;
    std::string Name;
    friend bool operator==(const TRecSEType&, const TRecSEType&) = default;
};

struct TRecFileExt {
    std::string Ext;  // without the dot
    std::uint8_t FileType = 0;  // 0 none, 1 audio, 2 page, 3 download, 4 image, 5 video
    friend bool operator==(const TRecFileExt&, const TRecFileExt&) = default;
};

// An ordered list of records; order matters because lookups take the first match.
template <typename TRec>
class TLstRecords {
public:
    void Add(TRec rec) { items_.push_back(std::move(rec)); }
    // Index past the end appends.
    void Insert(std::size_t index, TRec rec) {
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), std::move(rec));
    }
    // An index out of range is ignored.
    void Remove(std::size_t index) {
        if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    void Clear() { items_.clear(); }

    std::size_t Count() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }
    const TRec& operator[](std::size_t index) const { return items_[index]; }
    TRec& operator[](std::size_t index) { return items_[index]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

    friend bool operator==(const TLstRecords&, const TLstRecords&) = default;

protected:
    // Index of the first record the predicate accepts, -1 when none.
    template <typename Pred>
    int IndexOf(Pred pred) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (pred(items_[i])) return static_cast<int>(i);
        return -1;
    }

    std::vector<TRec> items_;
};

// Browsers, operating systems and spiders: the first record whose ID occurs in the user
// agent (case-sensitive substring; an empty ID never matches) names it.
class TLstUAType : public TLstRecords<TRecUAType> {
public:
    // Index of the matching record, -1 when none.
    int FindIndex(std::string_view userAgent) const;
    // Its Name, empty when none.
    const std::string& FindName(std::string_view userAgent) const;
    // First record whose ID equals the text exactly; -1 when none.
    int IndexOfID(std::string_view id) const;

    friend bool operator==(const TLstUAType&, const TLstUAType&) = default;
};
using TLstBrowserType = TLstUAType;
using TLstOSType = TLstUAType;
using TLstSpiderType = TLstUAType;

class TLstSEType : public TLstRecords<TRecSEType> {
public:
    // The first engine whose ID and one of whose non-empty query keys both occur in the
    // referrer (case-sensitive substrings anywhere in it); -1 when none.
    int FindIndex(std::string_view referrer) const;
    const std::string& FindName(std::string_view referrer) const;

    // The value of the first parameter ("key=value") whose key plus "=" equals a query key
    // of an engine named exactly Name, engines in list order, then parameters in order.
    // Parameters without "=" or with an empty key are skipped. The result points into
    // Params; empty when nothing matches.
    std::string_view GetKeyPhrase(std::string_view name, std::span<const std::string_view> params) const;
    std::string_view GetKeyPhrase(std::string_view name, std::span<const std::string> params) const;

    int IndexOfID(std::string_view id) const;

    friend bool operator==(const TLstSEType&, const TLstSEType&) = default;
};

class TLstFileExt : public TLstRecords<TRecFileExt> {
public:
    // Kind of the first record whose Ext equals the extension (without its dot) ignoring
    // ASCII case; 0 when none.
    std::uint8_t GetFileType(std::string_view ext) const;
    // First record whose Ext equals the text exactly; -1 when none.
    int IndexOfExt(std::string_view ext) const;

    friend bool operator==(const TLstFileExt&, const TLstFileExt&) = default;
};

struct TRecExportOptions {
    std::string LanguageID;
    std::string MSWordAuthor;
    std::string MSWordCompany;
    std::int32_t MSWordPageBreak = 0;
    std::int32_t MSWordDescription = 0;
    std::int32_t HTMLDescription = 0;
    // 0 CSVSeparatorChar, 2 ",", 3 ";", 4 tab, anything else the system list separator.
    std::int32_t CSVSeparatorType = 0;
    std::string CSVSeparatorChar;
    friend bool operator==(const TRecExportOptions&, const TRecExportOptions&) = default;
};

// Constructed empty (lists empty, numbers zero); LoadDefaults gives the built-in settings.
// Switches are tested as zero / non-zero.
class TOptions {
public:
    std::string Description;
    std::string Ver;  // version of the file read; the defaults carry "1.00"
    TLstBrowserType Browsers;
    TLstOSType OSs;
    TLstSpiderType Spiders;
    TLstSEType SEs;
    TLstFileExt Files;
    std::int32_t NbThread = 0;  // most reverse-DNS workers at once
    std::int32_t CacheDays = 0;  // days a cached host name stays fresh
    std::int32_t Timeout = 0;  // milliseconds; how long a cancelled DNS lookup is waited for
    std::int32_t AskBefore = 0;  // ask before analysing a profile with reverse DNS
    TRecExportOptions Export;
    std::int32_t SessionLength = 0;  // minutes of inactivity that end a visit
    std::int32_t RemoveTxtQuestionRequestURL = 0;
    std::int32_t RemoveTxtQuestionReferrerURL = 0;
    std::int32_t RemoveTxtSharpRequestURL = 0;
    std::int32_t RemoveTxtSharpReferrerURL = 0;
    std::int32_t ConvertLowerCaseRequestURL = 0;
    std::int32_t ConvertLowerCaseReferrerURL = 0;
    std::int32_t ShowEmptyReports = 0;
    std::int32_t ShowGridLines = 0;

    void LoadDefaults();

    // All or nothing: false (file unreadable, not XML, or a required value missing) leaves
    // the object as it was.
    // Why, when given, gets the reason of a failure.
    bool LoadFromFile(const std::string& fileName, std::string* why = nullptr);
    // Written atomically; false leaves an earlier file as it was. Description and Ver are
    // written as the current constants and not changed here.
    bool SaveToFile(const std::string& fileName, std::string* why = nullptr) const;

    friend bool operator==(const TOptions&, const TOptions&) = default;
};

}  // namespace brindle
