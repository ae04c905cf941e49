#include "engine/Statistics_u.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace brindle {

namespace {

// Durations are stored in days, the same scale as the date-time doubles.
double SecondsToDays(TSeconds seconds) { return SecondsToDateTime(seconds); }
TSeconds DaysToSeconds(double days) { return DateTimeToSeconds(days); }

template <typename Less>
void SortRows(std::vector<TRecStat>& rows, int ascending, Less less) {
    if (ascending == 1)
        std::sort(rows.begin(), rows.end(), less);
    else
        std::sort(rows.begin(), rows.end(), [&](const TRecStat& a, const TRecStat& b) { return less(b, a); });
}

// The thirty lists in member order, const or not as the statistics are.
template <typename Stats>
auto ListsOf(Stats& s) {
    using List = std::conditional_t<std::is_const_v<Stats>, const TLstStat*, TLstStat*>;
    return std::array<List, kStatListCount>{
        &s.StatByStatus,   &s.StatByMon,     &s.StatByDay,      &s.StatByAllFiles, &s.StatByFileExt,
        &s.StatByFileDir,  &s.StatByFileType, &s.StatByHost,    &s.StatByDomain,   &s.StatByTld,
        &s.StatByCountry,  &s.StatByRegion,  &s.StatByUSState,  &s.StatByCAProv,   &s.StatByCNProv,
        &s.StatByCity,     &s.StatByBrowser, &s.StatByOS,       &s.StatBySpider,   &s.StatByRefPage,
        &s.StatByRefDomain, &s.StatByTopIn,  &s.StatByTopOut,   &s.StatByRefSE,    &s.StatByRefSEP,
        &s.StatByRefSEK,   &s.StatByRefSESEP, &s.StatByRefSESEK, &s.StatByUserName, &s.StatByErr};
}

}  // namespace

// The writer's bytes are handed on past this much.
constexpr std::size_t kDrainBytes = std::size_t{1} << 20;

bool WriteStatRecord(const TRecStat& row, TBinaryWriter& writer, const TDrainWriter& drain) {
    const auto drained = [&] { return !drain || writer.Size() < kDrainBytes || drain(writer); };
    WriteStreamString(writer, row.Name);
    writer.WriteDouble(SecondsToDateTime(row.Key));
    writer.WriteDouble(SecondsToDays(row.Duration));
    writer.WriteU8(row.Kind);
    writer.WriteI32(row.Code);
    writer.WriteI32(row.Hits);
    writer.WriteI32(row.Visits);
    writer.WriteI64(row.Bytes);
    writer.WriteI32(row.Pages);
    writer.WriteI32(row.NotModified);
    writer.WriteI32(row.Partial);
    writer.WriteI32(row.Errors);
    writer.WriteI32(row.IP);
    writer.WriteI32(row.Country);
    writer.WriteI32(static_cast<std::int32_t>(row.PerDay.Length()));
    // The dense form: the days between two counts are runs of zeros.
    static constexpr std::array<char, 64 * 1024> kZeros{};
    std::size_t day = 0;
    const auto zerosUpTo = [&](std::size_t end) {
        while (day < end) {
            const std::size_t run = std::min(end - day, kZeros.size() / sizeof(std::int32_t));
            writer.WriteBytes(std::string_view(kZeros.data(), run * sizeof(std::int32_t)));
            day += run;
            if (!drained()) return false;
        }
        return true;
    };
    for (const TDayCounts::TEntry& entry : row.PerDay.Entries()) {
        if (!zerosUpTo(static_cast<std::size_t>(entry.Day))) return false;
        writer.WriteI32(entry.Count);
        ++day;
    }
    return zerosUpTo(row.PerDay.Length()) && drained();
}

bool WriteStatRecord(const TRecStat& row, TBinaryWriter& writer) { return WriteStatRecord(row, writer, {}); }

bool ReadStatRecord(TRecStat& row, TBinaryReader& reader) {
    if (!ReadStreamString(reader, row.Name)) return false;
    double value = 0;
    if (!reader.ReadDouble(value)) return false;
    row.Key = DateTimeToSeconds(value);
    if (!reader.ReadDouble(value)) return false;
    row.Duration = DaysToSeconds(value);
    if (!reader.ReadU8(row.Kind)) return false;
    for (std::int32_t* field : {&row.Code, &row.Hits, &row.Visits})
        if (!reader.ReadI32(*field)) return false;
    if (!reader.ReadI64(row.Bytes)) return false;
    for (std::int32_t* field : {&row.Pages, &row.NotModified, &row.Partial, &row.Errors, &row.IP, &row.Country})
        if (!reader.ReadI32(*field)) return false;
    std::size_t days = 0;
    if (!reader.ReadCount(days, sizeof(std::int32_t))) return false;
    row.PerDay.Reset(days);
    for (std::size_t day = 0; day < days; ++day) {
        std::int32_t count = 0;
        if (!reader.ReadI32(count)) return false;  // cannot happen: the count was checked
        row.PerDay.Add(day, count);
    }
    return true;
}

std::size_t TLstStat::Add(TRecStat row) {
    items_.push_back(std::move(row));
    return items_.size() - 1;
}

void TLstStat::SortByKey(int ascending) {
    SortRows(items_, ascending, [](const TRecStat& a, const TRecStat& b) { return a.Key < b.Key; });
}

void TLstStat::SortByHits(int ascending) {
    SortRows(items_, ascending, [](const TRecStat& a, const TRecStat& b) { return a.Hits < b.Hits; });
}

void TLstStat::SortByVisits(int ascending) {
    SortRows(items_, ascending, [](const TRecStat& a, const TRecStat& b) { return a.Visits < b.Visits; });
}

void TLstStat::SortByName(int ascending) {
    // std::string compares bytes as unsigned chars: an ordinal, case-sensitive order.
    SortRows(items_, ascending, [](const TRecStat& a, const TRecStat& b) { return a.Name < b.Name; });
}

void TLstStat::SortByCodeName(int ascending) {
    SortRows(items_, ascending,
             [](const TRecStat& a, const TRecStat& b) { return std::tie(a.Code, a.Name) < std::tie(b.Code, b.Name); });
}

bool TLstStat::SaveToStream(TBinaryWriter& writer) const { return SaveToStream(writer, {}); }

bool TLstStat::SaveToStream(TBinaryWriter& writer, const TDrainWriter& drain) const {
    writer.WriteI32(static_cast<std::int32_t>(items_.size()));
    for (const TRecStat& row : items_)
        if (!WriteStatRecord(row, writer, drain)) return false;
    return true;
}

bool TLstStat::LoadFromStream(TBinaryReader& reader) {
    std::int32_t count = 0;
    if (!reader.ReadI32(count)) return false;
    if (count <= 0) return true;
    // Room only for the rows the bytes left can hold, whatever the count claims.
    const std::size_t fit = reader.Remaining() / kStatRecordFixedBytes;
    items_.reserve(items_.size() + std::min(static_cast<std::size_t>(count), fit));
    for (std::int32_t i = 0; i < count; ++i) {
        TRecStat row;
        if (!ReadStatRecord(row, reader)) return false;
        items_.push_back(std::move(row));
    }
    return true;
}

std::array<TLstStat*, kStatListCount> TStatistics::AllLists() { return ListsOf(*this); }
std::array<const TLstStat*, kStatListCount> TStatistics::AllLists() const { return ListsOf(*this); }

void TStatistics::ClearStatisticsTables() {
    VisitCount = 0;
    Summary = TRecStat{};
    // A fresh list gives the memory of a large result back.
    for (TLstStat* list : AllLists()) *list = TLstStat{};
    StatByHod.Clear();
    StatByDow.Clear();
    StatByDom.Clear();
    StatByNbVisit.Clear();
    StatByLenVisit.Clear();
    FirstHitTime = 0;
    LastHitTime = 0;
    FirstDay = 0;
    LastDay = 0;
    DaySpan = 0;
}

void TStatistics::MergeStat(TRecStat& Dest, const TRecStat& Src, std::uint8_t WithDays) {
    Dest.Duration += Src.Duration;
    Dest.Hits += Src.Hits;
    Dest.Visits += Src.Visits;
    Dest.Bytes += Src.Bytes;
    Dest.Pages += Src.Pages;
    Dest.NotModified += Src.NotModified;
    Dest.Partial += Src.Partial;
    Dest.Errors += Src.Errors;
    if (WithDays == 1) Dest.PerDay.AddAll(Src.PerDay);
}

namespace {

template <class Item>
void RegroupItems(const TLstStat& source, std::vector<Item>& work, TLstStat& target, bool sumDays) {
    std::sort(work.begin(), work.end(), [](const Item& a, const Item& b) {
        return std::tie(a.Name, a.Source) < std::tie(b.Name, b.Source);
    });
    // Room for exactly the groups: a list grown by doubling would hold up to three times its
    // rows while it moves.
    std::size_t groups = 0;
    for (std::size_t i = 0; i < work.size(); ++i)
        if (work[i].Source < source.Count() && (groups == 0 || work[i].Name != work[i - 1].Name)) ++groups;
    target.Reserve(target.Count() + groups);
    const std::uint8_t withDays = sumDays ? 1 : 0;
    const Item* group = nullptr;
    for (const Item& item : work) {
        if (item.Source >= source.Count()) continue;
        const TRecStat& row = source[item.Source];
        if (group && group->Name == item.Name) {
            TStatistics::MergeStat(target.Last(), row, withDays);
            continue;
        }
        TRecStat first = row;
        first.Name = item.Name;
        target.Add(std::move(first));
        group = &item;
    }
}

}  // namespace

void RegroupRows(const TLstStat& source, std::vector<TRegroupRow>& work, TLstStat& target, bool sumDays) {
    RegroupItems(source, work, target, sumDays);
}

void RegroupRows(const TLstStat& source, std::vector<TRegroupName>& work, TLstStat& target, bool sumDays) {
    RegroupItems(source, work, target, sumDays);
}

}  // namespace brindle
