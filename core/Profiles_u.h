#pragma once
// The profiles: one web site's analysis settings each (log locations, reports, filters,
// automatic export, time offset), and the program's list of them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ReportProperty.h"
#include "core/ReportSet.h"

namespace brindle {

class TBinaryReader;
class TBinaryWriter;

// Version tags of the profile block inside an analysis document (major * 65536 + minor).
constexpr std::uint32_t kProfileBlockVersion20 = 0x20000;
constexpr std::uint32_t kProfileBlockVersion21 = 0x20001;

// The single log source of profiles files older than 1.20, kept for the upgrade step.
struct TRecObsolete110 {
    std::string LogFileType;
    std::string LogFileURL;
    std::string LoginUserName;
    std::string LoginPassword;
    std::int32_t LoginPort = 0;

    friend bool operator==(const TRecObsolete110&, const TRecObsolete110&) = default;
};

struct TRecLogFileProperty {
    std::string LogFileType;  // "file://", "ftp://" or "http://"
    std::string LogFileURL;
    std::string LoginUserName;
    std::string LoginPassword;  // plain text
    std::int32_t LoginPort = 0;
    std::int32_t PassiveMode = 0;
    std::int32_t Enable = 0;

    friend bool operator==(const TRecLogFileProperty&, const TRecLogFileProperty&) = default;
};

struct TRecFilterProperty {
    std::uint8_t FilterType = 0;  // 1 include, 2 exclude
    std::uint8_t FilterItem = 0;  // filter kind 11..24
    std::string Name;
    std::string Value1;
    std::string Value2;

    friend bool operator==(const TRecFilterProperty&, const TRecFilterProperty&) = default;
};

// A list of records held by value, in order.
template <typename TRec>
class TRecordList {
public:
    std::size_t Count() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }
    const TRec& operator[](std::size_t index) const { return items_.at(index); }
    TRec& operator[](std::size_t index) { return items_.at(index); }
    void Clear() { items_.clear(); }
    void Delete(std::size_t index) {
        if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

    friend bool operator==(const TRecordList&, const TRecordList&) = default;

protected:
    std::vector<TRec> items_;
};

class TLstLogFileProperty : public TRecordList<TRecLogFileProperty> {
public:
    // Appends a copy; the reference is valid until the list changes.
    TRecLogFileProperty& Add(const TRecLogFileProperty& rec);
    // Count and records of the profile block (no Enable; the password is never stored).
    void WriteToStream(TBinaryWriter& writer) const;
    bool ReadFromStream(TBinaryReader& reader);
};

class TLstReportProperty : public TRecordList<TRecReportProperty> {
public:
    // Appends a copy; the index of the new record.
    std::size_t Add(const TRecReportProperty& rec);
    // The first record with this id; failing that, with UseDefault, the id's row of the default
    // report table. False leaves Rec unchanged.
    bool Find(int id, TRecReportProperty& rec, bool useDefault) const;
    // Overwrites the first record with this id by Rec, all eight fields; false when none has it.
    bool Replace(int id, const TRecReportProperty& rec);
    void WriteToStream(TBinaryWriter& writer) const;
    bool ReadFromStream(TBinaryReader& reader);
};

class TLstFilterProperty : public TRecordList<TRecFilterProperty> {
public:
    TRecFilterProperty& Add(const TRecFilterProperty& rec);
    void WriteToStream(TBinaryWriter& writer) const;
    bool ReadFromStream(TBinaryReader& reader);
};

class TProfile {
public:
    TLstLogFileProperty LogFiles;
    TLstReportProperty Reports;  // a report without a record takes its default row
    TLstFilterProperty Filters;
    std::string Name;  // exact, case-sensitive key of the profile
    TRecObsolete110 Obsolete110;  // read from old files only, never written
    std::uint8_t LogFileFormat = 0;
    std::uint8_t DateFormat = 0;
    std::string DomainName;
    std::string DefaultPage;
    std::int32_t DNSLookup = 0;
    std::int32_t AutoExport = 0;
    std::uint8_t AutoExportType = 0;  // 1 Word, 2 HTML, 3 CSV, 4 XML
    std::string AutoExportFile;
    std::string AutoExportLanguageID;
    std::string Description;
    std::int32_t OffsetSign = 0;  // 1 adds the offset, below 0 subtracts it
    std::int32_t OffsetHour = 0;
    std::int32_t OffsetMinute = 0;

    // Deep copy of every field and record of Source.
    void Assign(const TProfile& source);
    // Ids of the records with a non-zero Enable; no default fallback here.
    TReportSet GetEnabledReports() const;

    // The profile block of an analysis document, always in the current layout. Passwords are
    // written empty and texts cut to kMaxStreamText bytes.
    bool WriteToStream(TBinaryWriter& writer) const;
    // Reads the layout of Version. All or nothing: on failure (unknown version, short or
    // malformed block) the profile and the reader's position are unchanged.
    bool ReadFromStream(TBinaryReader& reader, std::uint32_t version);

    friend bool operator==(const TProfile&, const TProfile&) = default;
};

// Owns its profiles; copies are deep.
class TLstProfile {
public:
    TLstProfile() = default;
    TLstProfile(const TLstProfile& other);
    TLstProfile& operator=(const TLstProfile& other);
    TLstProfile(TLstProfile&&) noexcept = default;
    TLstProfile& operator=(TLstProfile&&) noexcept = default;

    // Appends; the list owns the profile. A null profile is not added and gives Count().
    std::size_t Add(std::unique_ptr<TProfile> profile);
    void Clear() { items_.clear(); }
    void Delete(std::size_t index);
    std::size_t Count() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }
    TProfile& operator[](std::size_t index) { return *items_.at(index); }
    const TProfile& operator[](std::size_t index) const { return *items_.at(index); }
    // The first profile whose name equals Name exactly; null when none.
    TProfile* FindByName(std::string_view name);
    const TProfile* FindByName(std::string_view name) const;

    friend bool operator==(const TLstProfile& a, const TLstProfile& b);

private:
    std::vector<std::unique_ptr<TProfile>> items_;
};

class TProfiles {
public:
    std::string Description;  // as read from the file header
    std::string Ver;  // as read; empty until a file was read
    TLstProfile Profiles;

    // All or nothing: a failed load leaves this object unchanged.
    // Why, when given, gets the reason of a failure (the parse error, the system's reason).
    bool LoadFromFile(const std::string& fileName, std::string* why = nullptr);
    // Replaces the file atomically (mode 0600: it holds passwords); false leaves the earlier
    // file as it was. Description and Ver are not changed.
    bool SaveToFile(const std::string& fileName, std::string* why = nullptr) const;
};

}  // namespace brindle
