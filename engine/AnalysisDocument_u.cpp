#include "engine/AnalysisDocument_u.h"

#include <array>
#include <cctype>
#include <exception>
#include <filesystem>
#include <limits>

#include "core/BinaryStream_u.h"
#include "core/CommonConsts_tables.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"

namespace brindle {

namespace {

constexpr std::string_view kMagic = "BNLD";

using TListMember = TLstStat TStatistics::*;

// The lists in document order: three before the fixed rows, the rest after them.
constexpr std::array<TListMember, 3> kListsBeforeFixed = {&TStatistics::StatByStatus, &TStatistics::StatByMon,
                                                          &TStatistics::StatByDay};
constexpr std::array<TListMember, 27> kListsAfterFixed = {
    &TStatistics::StatByHost,      &TStatistics::StatByDomain,   &TStatistics::StatByTld,
    &TStatistics::StatByCountry,   &TStatistics::StatByRegion,   &TStatistics::StatByUSState,
    &TStatistics::StatByCAProv,    &TStatistics::StatByCNProv,   &TStatistics::StatByCity,
    &TStatistics::StatByBrowser,   &TStatistics::StatByOS,       &TStatistics::StatBySpider,
    &TStatistics::StatByUserName,  &TStatistics::StatByAllFiles, &TStatistics::StatByFileExt,
    &TStatistics::StatByFileDir,   &TStatistics::StatByFileType, &TStatistics::StatByRefPage,
    &TStatistics::StatByRefDomain, &TStatistics::StatByTopIn,    &TStatistics::StatByTopOut,
    &TStatistics::StatByRefSE,     &TStatistics::StatByRefSEP,   &TStatistics::StatByRefSEK,
    &TStatistics::StatByRefSESEP,  &TStatistics::StatByRefSESEK, &TStatistics::StatByErr};
static_assert(kListsBeforeFixed.size() + kListsAfterFixed.size() == kStatListCount);

template <typename TTable, typename TRowVisit>
bool VisitRows(TTable& table, TRowVisit& visitRow) {
    for (auto& row : table)
        if (!visitRow(row)) return false;
    return true;
}

// Everything after the three header times, in document order; stops at the first false.
// Stats is a TStatistics, const for writing.
template <typename TStats, typename TRowVisit, typename TListVisit>
bool VisitStatistics(TStats& stats, TRowVisit visitRow, TListVisit visitList) {
    if (!visitRow(stats.Summary)) return false;
    for (const TListMember list : kListsBeforeFixed)
        if (!visitList(stats.*list)) return false;
    if (!VisitRows(stats.StatByHod, visitRow) || !VisitRows(stats.StatByDow, visitRow) ||
        !VisitRows(stats.StatByDom, visitRow) || !VisitRows(stats.StatByNbVisit, visitRow) ||
        !VisitRows(stats.StatByLenVisit, visitRow))
        return false;
    for (const TListMember list : kListsAfterFixed)
        if (!visitList(stats.*list)) return false;
    return true;
}

bool IsOwnCode(const TRecCountry& row) {
    if (row.GeoIP.size() != row.TLD.size()) return false;
    for (std::size_t i = 0; i < row.TLD.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(row.GeoIP[i])) != static_cast<unsigned char>(row.TLD[i]))
            return false;
    return true;
}

// The TLD of a country row named by its English name. Some names belong to several rows
// ("United States" to mil, net, org and us): the country itself is the row whose TLD is its
// own ISO code, not the first row of that name.
std::string TLDOfOldCountryName(std::string_view name) {
    const TRecCountry* first = nullptr;
    for (const TRecCountry& row : CountryTable()) {
        if (row.Name != name) continue;
        if (!first) first = &row;
        if (IsOwnCode(row)) return row.TLD;
    }
    return first ? first->TLD : GetTLDByCountryName(name, nullptr);
}

// A 2.0 document names countries and regions by their English names.
void ConvertOldNames(TStatistics& stats) {
    for (TRecStat& row : stats.StatByCountry.MutableRows()) row.Name = TLDOfOldCountryName(row.Name);
    for (TRecStat& row : stats.StatByRegion.MutableRows()) row.Name = GetRegionKeyByName(row.Name, nullptr);
}

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

// The days of the first and last hit as the statistics pass sets them. False when a hit
// time lies so far out that its day is no day number: the document is damaged.
bool SetDays(TStatistics& stats) {
    const std::int64_t first = DayOf(stats.FirstHitTime);
    const std::int64_t last = DayOf(stats.LastHitTime);
    if (!FitsInt32(first) || !FitsInt32(last)) return false;
    stats.FirstDay = static_cast<std::int32_t>(first);
    stats.LastDay = static_cast<std::int32_t>(last);
    const std::int64_t span = first != 0 && last != 0 ? last - first + 1 : 0;
    // A last hit before the first cannot come from an analysis; no span rather than a negative one.
    stats.DaySpan = span > 0 && FitsInt32(span) ? static_cast<std::int32_t>(span) : 0;
    return true;
}

bool ReadTime(TBinaryReader& reader, TSeconds& time) {
    double value = 0;
    if (!reader.ReadDouble(value)) return false;
    time = DateTimeToSeconds(value);
    return true;
}

// The part of the document after the version, read into the outputs only when all of it
// was read.
bool ReadDocumentBody(TBinaryReader& reader, std::uint32_t version, TProfile& profile, TSeconds& analysisTime,
                      TStatistics& stats) {
    TProfile readProfile(profile);
    TSeconds readTime = 0;
    TStatistics readStats;
    if (!readProfile.ReadFromStream(reader, version) || !ReadTime(reader, readTime) ||
        !ReadTime(reader, readStats.FirstHitTime) || !ReadTime(reader, readStats.LastHitTime))
        return false;
    // Rows read go straight into the lean form a finished result is held in.
    readStats.CompactLists();
    const bool read = VisitStatistics(
        readStats, [&](TRecStat& row) { return ReadStatRecord(row, reader); },
        [&](TLstStat& list) { return list.LoadFromStream(reader, &readStats.Texts); });
    if (!read || !SetDays(readStats)) return false;
    if (version == kDocumentVersion20) ConvertOldNames(readStats);
    profile = std::move(readProfile);
    analysisTime = readTime;
    stats = std::move(readStats);
    return true;
}

std::uint64_t StoredRowBytes(const TRecStat& row) {
    return kStatRecordFixedBytes + CutAtUtf8Boundary(row.Name, kMaxStreamText).size() +
           std::uint64_t{sizeof(std::int32_t)} * row.PerDay.Length();
}

// False only when the folder is known to have less room than Bytes.
bool RoomFor(const std::string& fileName, std::uint64_t bytes) {
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    return error || space.available == static_cast<std::uintmax_t>(-1) || space.available >= bytes;
}

bool WriteHeader(TBinaryWriter& writer, const TProfile& profile, TSeconds analysisTime, const TStatistics& stats) {
    writer.WriteBytes(kMagic);
    writer.WriteU16(static_cast<std::uint16_t>(kDocumentVersion21 >> 16));
    writer.WriteU16(static_cast<std::uint16_t>(kDocumentVersion21 & 0xFFFF));
    if (!profile.WriteToStream(writer)) return false;
    for (const TSeconds time : {analysisTime, stats.FirstHitTime, stats.LastHitTime})
        writer.WriteDouble(SecondsToDateTime(time));
    return true;
}

}  // namespace

std::uint64_t AnalysisDocumentSize(const TProfile& profile, const TStatistics& stats) {
    TBinaryWriter header;
    WriteHeader(header, profile, 0, stats);
    std::uint64_t bytes = header.Size();
    VisitStatistics(
        stats,
        [&](const TRecStat& row) {
            bytes += StoredRowBytes(row);
            return true;
        },
        [&](const TLstStat& list) {
            bytes += sizeof(std::int32_t);
            for (const TRecStat& row : list) bytes += StoredRowBytes(row);
            return true;
        });
    return bytes;
}

bool SaveAnalysisDocument(const std::string& fileName, const TProfile& profile, TSeconds analysisTime,
                          const TStatistics& stats) {
    try {
        if (!RoomFor(fileName, AnalysisDocumentSize(profile, stats))) return false;
        TAtomicFile file;
        if (!file.Open(fileName)) return false;
        TBinaryWriter writer;
        // Hands the bytes to the file as they are encoded, a list or a megabyte at a time, so
        // neither a large result nor a row's dense days are ever held twice in memory.
        const auto flush = [&] {
            const bool ok = file.Write(writer.Data());
            writer.Buffer().clear();
            return ok;
        };
        const TDrainWriter drain = [&](TBinaryWriter&) { return flush(); };
        if (!WriteHeader(writer, profile, analysisTime, stats)) return false;
        const bool written = VisitStatistics(
            stats, [&](const TRecStat& row) { return WriteStatRecord(row, writer, drain); },
            [&](const TLstStat& list) { return list.SaveToStream(writer, drain) && flush(); });
        return written && flush() && file.Commit();
    } catch (const std::exception&) {
        return false;  // the uncommitted file is dropped; any earlier one stays
    }
}

bool LoadAnalysisDocument(const std::string& fileName, TProfile& profile, TSeconds& analysisTime, TStatistics& stats,
                          int& code, const std::function<bool()>& askConvertOldVersion) {
    code = kDocUnreadable;
    try {
        std::string bytes;
        if (!ReadWholeFile(fileName, bytes)) return false;
        TBinaryReader reader(bytes);
        std::string magic;
        if (!reader.ReadBytes(kMagic.size(), magic)) return false;
        if (magic != kMagic) {
            code = kDocNotADocument;
            return false;
        }
        std::uint16_t major = 0;
        std::uint16_t minor = 0;
        if (!reader.ReadU16(major) || !reader.ReadU16(minor)) return false;
        const std::uint32_t version = (static_cast<std::uint32_t>(major) << 16) | minor;
        if (version == kDocumentVersion20) {
            if (!askConvertOldVersion || !askConvertOldVersion()) {
                code = kDocConversionDeclined;
                return false;
            }
        } else if (version != kDocumentVersion21) {
            code = kDocUnknownVersion;
            return false;
        }
        if (!ReadDocumentBody(reader, version, profile, analysisTime, stats)) return false;
        code = kDocLoaded;
        return true;
    } catch (const std::exception&) {
        code = kDocUnreadable;
        return false;
    }
}

}  // namespace brindle
