#include "engine/Statistics_u.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/TextHash.h"
#include "engine/ParallelSort_u.h"

namespace brindle {

namespace {

// Durations are stored in days, the same scale as the date-time doubles.
double SecondsToDays(TSeconds seconds) { return SecondsToDateTime(seconds); }
TSeconds DaysToSeconds(double days) { return DateTimeToSeconds(days); }

// The thirty lists in member order, const or not as the statistics are.
template <typename Stats>
auto ListsOf(Stats& s) {
    using List = std::conditional_t<std::is_const_v<Stats>, const TLstStat*, TLstStat*>;
    return std::array<List, kStatListCount>{
        &s.StatByStatus,   &s.StatByMon,     &s.StatByDay,       &s.StatByAllFiles, &s.StatByFileExt,  &s.StatByFileDir,
        &s.StatByFileType, &s.StatByHost,    &s.StatByDomain,    &s.StatByTld,      &s.StatByCountry,  &s.StatByRegion,
        &s.StatByUSState,  &s.StatByCAProv,  &s.StatByCNProv,    &s.StatByCity,     &s.StatByBrowser,  &s.StatByOS,
        &s.StatBySpider,   &s.StatByRefPage, &s.StatByRefDomain, &s.StatByTopIn,    &s.StatByTopOut,   &s.StatByRefSE,
        &s.StatByRefSEP,   &s.StatByRefSEK,  &s.StatByRefSESEP,  &s.StatByRefSESEK, &s.StatByUserName, &s.StatByErr};
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

namespace {

bool ReadStatFields(TRecStat& row, TBinaryReader& reader) {
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

}  // namespace

bool ReadStatRecord(TRecStat& row, TBinaryReader& reader) {
    std::string name;
    if (!ReadStreamString(reader, name)) return false;
    row.Name = name;
    return ReadStatFields(row, reader);
}

bool ReadStatRecord(TRecStat& row, TBinaryReader& reader, TTextArena& arena, std::string& scratch) {
    if (!ReadStreamString(reader, scratch)) return false;
    row.Name = TStatName::Kept(scratch, arena);
    return ReadStatFields(row, reader);
}

std::size_t TLstStat::Add(TRecStat row) {
    if (compact_ && !TCompactRows::Fits(row)) Expand();
    if (compact_) {
        rows_.PushBack(row);
        return rows_.Size() - 1;
    }
    items_.push_back(std::move(row));
    return items_.size() - 1;
}

void TLstStat::Clear() {
    items_.clear();
    rows_.Clear();
    retiredTexts_.Blocks.clear();
}

void TLstStat::Reserve(std::size_t count) {
    if (compact_)
        rows_.Reserve(count);
    else
        items_.reserve(count);
}

const TRecStat TLstStat::Get(std::size_t pos) const {
    if (compact_) return rows_.Get(pos);
    // A name of the row's own is copied, so that no row copied from this one depends on
    // where this one lies; a short copy costs nothing, and long ones the engine makes refer.
    const TRecStat& row = items_[pos];
    return RenamedRow(row, row.Name.Refers() ? TStatName::Referring(row.Name.View()) : TStatName(row.Name.View()));
}

TRecStat& TLstStat::Mutable(std::size_t pos) {
    Expand();
    return items_[pos];
}

TRecStat& TLstStat::Last() {
    Expand();
    return items_.back();
}

std::span<TRecStat> TLstStat::MutableRows() {
    Expand();
    return items_;
}

void TLstStat::Compact() {
    if (compact_) return;
    if (!std::all_of(items_.begin(), items_.end(), [](const TRecStat& row) { return TCompactRows::Fits(row); })) return;
    rows_.Clear();
    std::size_t pooled = 0;
    for (const TRecStat& row : items_)
        if (row.PerDay.Entries().size() > 1) pooled += row.PerDay.Entries().size();
    rows_.Reserve(items_.size(), pooled);
    for (const TRecStat& row : items_) rows_.PushBack(row);
    items_ = std::vector<TRecStat>();  // "= {}" would keep the room
    compact_ = true;
}

void TLstStat::Expand() {
    if (!compact_) return;
    std::vector<TRecStat> rows;
    rows.reserve(rows_.Size());
    // Owned copies: the lean rows' texts go with them.
    for (std::size_t pos = 0; pos < rows_.Size(); ++pos) {
        TRecStat row = rows_.Get(pos);
        row.Name = TStatName(row.Name.View());
        rows.push_back(std::move(row));
    }
    // Rows copied from the lean ones before may still refer to their texts.
    for (auto& block : rows_.TakeTexts()) retiredTexts_.Blocks.push_back(std::move(block));
    rows_.Clear();
    items_ = std::move(rows);
    compact_ = false;
}

std::string_view TLstStat::NameAt(std::size_t pos) const {
    return compact_ ? rows_.Name(pos) : items_[pos].Name.View();
}

void TLstStat::MergeInto(std::size_t pos, TRecStat& dest, bool withDays) const {
    if (compact_)
        rows_.MergeInto(pos, dest, withDays);
    else
        TStatistics::MergeStat(dest, items_[pos], withDays ? 1 : 0);
}

template <class Less, class CompactLess>
void TLstStat::SortRows(int ascending, Less less, CompactLess compactLess) {
    if (!compact_) {
        if (ascending == 1)
            std::sort(items_.begin(), items_.end(), less);
        else
            std::sort(items_.begin(), items_.end(), [&](const TRecStat& a, const TRecStat& b) { return less(b, a); });
        return;
    }
    // The same sort on the rows' positions makes the same comparisons and the same moves,
    // so the lean rows end in the order whole rows would.
    std::vector<std::uint32_t> order(rows_.Size());
    for (std::uint32_t pos = 0; pos < order.size(); ++pos) order[pos] = pos;
    if (ascending == 1)
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return compactLess(a, b); });
    else
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return compactLess(b, a); });
    rows_.Permute(order);
}

void TLstStat::SortByKey(int ascending) {
    SortRows(
        ascending, [](const TRecStat& a, const TRecStat& b) { return a.Key < b.Key; },
        [this](std::uint32_t a, std::uint32_t b) { return rows_.Key(a) < rows_.Key(b); });
}

void TLstStat::SortByHits(int ascending) {
    SortRows(
        ascending, [](const TRecStat& a, const TRecStat& b) { return a.Hits < b.Hits; },
        [this](std::uint32_t a, std::uint32_t b) { return rows_.Hits(a) < rows_.Hits(b); });
}

void TLstStat::SortByVisits(int ascending) {
    SortRows(
        ascending, [](const TRecStat& a, const TRecStat& b) { return a.Visits < b.Visits; },
        [this](std::uint32_t a, std::uint32_t b) { return rows_.Visits(a) < rows_.Visits(b); });
}

void TLstStat::SortByName(int ascending) {
    // std::string compares bytes as unsigned chars: an ordinal, case-sensitive order.
    SortRows(
        ascending, [](const TRecStat& a, const TRecStat& b) { return a.Name < b.Name; },
        [this](std::uint32_t a, std::uint32_t b) { return rows_.Name(a) < rows_.Name(b); });
}

void TLstStat::SortByCodeName(int ascending) {
    SortRows(
        ascending,
        [](const TRecStat& a, const TRecStat& b) { return std::tie(a.Code, a.Name) < std::tie(b.Code, b.Name); },
        [this](std::uint32_t a, std::uint32_t b) {
            const std::int32_t codeA = rows_.Code(a), codeB = rows_.Code(b);
            return codeA != codeB ? codeA < codeB : rows_.Name(a) < rows_.Name(b);
        });
}

bool operator==(const TLstStat& a, const TLstStat& b) {
    if (a.Count() != b.Count()) return false;
    for (std::size_t pos = 0; pos < a.Count(); ++pos)
        if (!(a.Get(pos) == b.Get(pos))) return false;
    return true;
}

bool TLstStat::SaveToStream(TBinaryWriter& writer) const { return SaveToStream(writer, {}); }

bool TLstStat::SaveToStream(TBinaryWriter& writer, const TDrainWriter& drain) const {
    writer.WriteI32(static_cast<std::int32_t>(Count()));
    for (std::size_t pos = 0; pos < Count(); ++pos)
        if (!(compact_ ? WriteStatRecord(rows_.Get(pos), writer, drain) : WriteStatRecord(items_[pos], writer, drain)))
            return false;
    return true;
}

bool TLstStat::LoadFromStream(TBinaryReader& reader, TStatTexts* texts) {
    std::int32_t count = 0;
    if (!reader.ReadI32(count)) return false;
    if (count <= 0) return true;
    // Room only for the rows the bytes left can hold, whatever the count claims.
    const std::size_t fit = reader.Remaining() / kStatRecordFixedBytes;
    Reserve(Count() + std::min(static_cast<std::size_t>(count), fit));
    TTextArena arena;
    std::string scratch;
    bool read = true;
    for (std::int32_t i = 0; i < count && read; ++i) {
        TRecStat row;
        read = texts ? ReadStatRecord(row, reader, arena, scratch) : ReadStatRecord(row, reader);
        if (read) Add(std::move(row));
    }
    // The rows kept so far refer to the arena's texts, whether or not all were read.
    if (texts) texts->Adopt(std::move(arena));
    return read;
}

std::array<TLstStat*, kStatListCount> TStatistics::AllLists() { return ListsOf(*this); }
std::array<const TLstStat*, kStatListCount> TStatistics::AllLists() const { return ListsOf(*this); }

void TStatistics::CompactLists() {
    for (TLstStat* list : AllLists()) list->Compact();
}

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
    Texts.Clear();  // after the rows that refer to them
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

TRecStat RenamedRow(const TRecStat& row, TStatName name) {
    TRecStat copy;
    // A copy of the whole row would copy the old name first.
    copy.Name = std::move(name);
    copy.Key = row.Key;
    copy.Duration = row.Duration;
    copy.Kind = row.Kind;
    copy.Code = row.Code;
    copy.Hits = row.Hits;
    copy.Visits = row.Visits;
    copy.Bytes = row.Bytes;
    copy.Pages = row.Pages;
    copy.NotModified = row.NotModified;
    copy.Partial = row.Partial;
    copy.Errors = row.Errors;
    copy.IP = row.IP;
    copy.Country = row.Country;
    copy.PerDay = row.PerDay;
    return copy;
}

int CompareJoined(std::string_view prefixA, std::string_view textA, std::string_view prefixB, std::string_view textB) {
    static constexpr std::string_view kTab = "\t";
    const std::array<std::string_view, 3> a = {prefixA, kTab, textA};
    const std::array<std::string_view, 3> b = {prefixB, kTab, textB};
    std::size_t ia = 0, ib = 0;
    std::string_view restA = a[0], restB = b[0];
    while (true) {
        while (restA.empty() && ia + 1 < a.size()) restA = a[++ia];
        while (restB.empty() && ib + 1 < b.size()) restB = b[++ib];
        if (restA.empty() || restB.empty()) return restA.empty() ? (restB.empty() ? 0 : -1) : 1;
        const std::size_t n = std::min(restA.size(), restB.size());
        // char_traits<char> compares bytes as unsigned, as std::string does.
        const int order = std::char_traits<char>::compare(restA.data(), restB.data(), n);
        if (order != 0) return order;
        restA.remove_prefix(n);
        restB.remove_prefix(n);
    }
}

namespace {

// The first eight bytes of the joined texts, big-endian, zeros past the end: a lower number
// means a lower name, an equal one tells nothing.
std::uint64_t LeadOf(std::initializer_list<std::string_view> texts) {
    std::uint64_t lead = 0;
    int shift = 56;
    for (const std::string_view text : texts)
        for (std::size_t i = 0; i < text.size() && shift >= 0; ++i, shift -= 8)
            lead |= std::uint64_t{static_cast<unsigned char>(text[i])} << shift;
    return lead;
}

// The items' groups of equal names, found by hashing: each item's group, and for each group
// its item of the lowest source row (which the group's row is made from, as a sort by
// (name, source) would have it first).
struct TItemGroups {
    std::vector<std::uint32_t> OfItem;
    std::vector<std::uint32_t> First;
};

// Source's row at Pos under another name.
TRecStat RowRenamed(const TLstStat& source, std::size_t pos, TStatName name) {
    TRecStat row = source.Get(pos);
    row.Name = std::move(name);
    return row;
}

// Gives up (empty First) past MaxGroups groups.
template <class Item, class Hash, class Same>
TItemGroups GroupEqualNames(const std::vector<Item>& work, Hash& hash, Same& same, std::size_t maxGroups) {
    TItemGroups groups;
    groups.OfItem.resize(work.size());
    std::vector<std::uint64_t> hashes;  // of each group
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    std::vector<std::uint32_t> slots(1024, kEmpty);
    const auto place = [&](std::uint32_t group) {
        const std::size_t mask = slots.size() - 1;
        std::size_t at = hashes[group] & mask;
        while (slots[at] != kEmpty) at = (at + 1) & mask;
        slots[at] = group;
    };
    for (std::size_t i = 0; i < work.size(); ++i) {
        const std::uint64_t h = hash(work[i]);
        const std::size_t mask = slots.size() - 1;
        std::size_t at = h & mask;
        std::uint32_t found = kEmpty;
        for (; slots[at] != kEmpty; at = (at + 1) & mask) {
            const std::uint32_t group = slots[at];
            if (hashes[group] == h && same(work[groups.First[group]], work[i])) {
                found = group;
                break;
            }
        }
        if (found == kEmpty) {
            if (groups.First.size() == maxGroups) return {};
            found = static_cast<std::uint32_t>(groups.First.size());
            groups.First.push_back(static_cast<std::uint32_t>(i));
            hashes.push_back(h);
            slots[at] = found;
            // At most half full, so that probe runs stay short.
            if (groups.First.size() * 2 > slots.size()) {
                slots.assign(slots.size() * 2, kEmpty);
                for (std::uint32_t group = 0; group < groups.First.size(); ++group) place(group);
            }
        } else if (work[i].Source < work[groups.First[found]].Source) {
            groups.First[found] = static_cast<std::uint32_t>(i);
        }
        groups.OfItem[i] = found;
    }
    return groups;
}

// Work sorted by (name, source) with Less, unless InOrder says it is already; Same tells a
// name from the one before.
template <class Item, class Less, class Same, class NameOf>
void RegroupSorted(const TLstStat& source, std::vector<Item>& work, TLstStat& target, std::uint8_t withDays,
                   std::size_t threads, bool inOrder, Less& less, Same& same, NameOf& nameOf) {
    if (!inOrder) SortInParts(work.begin(), work.end(), less, threads);
    // Room for exactly the groups: a list grown by doubling would hold up to three times its
    // rows while it moves.
    std::size_t groups = 0;
    for (std::size_t i = 0; i < work.size(); ++i)
        if (i == 0 || !same(work[i - 1], work[i])) ++groups;
    target.Reserve(target.Count() + groups);
    // Each group's row is made whole before it is added, so that a lean target takes it as
    // it is.
    std::optional<TRecStat> group;
    for (std::size_t i = 0; i < work.size(); ++i) {
        if (i != 0 && same(work[i - 1], work[i])) {
            source.MergeInto(work[i].Source, *group, withDays == 1);
            continue;
        }
        if (group) target.Add(std::move(*group));
        group = RowRenamed(source, work[i].Source, nameOf(work[i]));
    }
    if (group) target.Add(std::move(*group));
}

// The groups found by hashing: only their names are sorted, and each item is then added to
// its group's row in a pass.
template <class Item, class Less, class NameOf>
void RegroupHashed(const TLstStat& source, const std::vector<Item>& work, const TItemGroups& groups, TLstStat& target,
                   std::uint8_t withDays, std::size_t threads, Less& less, NameOf& nameOf) {
    const std::size_t count = groups.First.size();
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t group = 0; group < count; ++group) order[group] = group;
    SortInParts(
        order.begin(), order.end(),
        [&](std::uint32_t a, std::uint32_t b) { return less(work[groups.First[a]], work[groups.First[b]]); }, threads);
    std::vector<std::uint32_t> rowOf(count);
    for (std::uint32_t pos = 0; pos < count; ++pos)
        rowOf[order[pos]] = static_cast<std::uint32_t>(target.Count() + pos);
    target.Reserve(target.Count() + count);
    for (const std::uint32_t group : order) {
        const Item& first = work[groups.First[group]];
        target.Add(RowRenamed(source, first.Source, nameOf(first)));
    }
    for (std::uint32_t i = 0; i < work.size(); ++i) {
        const std::uint32_t group = groups.OfItem[i];
        if (i != groups.First[group]) source.MergeInto(work[i].Source, target.Mutable(rowOf[group]), withDays == 1);
    }
}

// The rows of Work's groups of equal names (Same; Hash agrees with it) in the order Less
// gives: each group's row is its lowest source row renamed by NameOf, with the rows of its
// other items added. Items without a source row are dropped first. A few names over many
// rows (engines, sites) are grouped by hashing, in a pass; names mostly distinct are sorted,
// which hashing could not spare, unless InOrder says that the valid items are in Less's order.
template <class Item, class Valid, class Less, class Same, class Hash, class NameOf>
void RegroupItems(const TLstStat& source, std::vector<Item>& work, TLstStat& target, bool sumDays, std::size_t threads,
                  bool inOrder, Valid valid, Less less, Same same, Hash hash, NameOf nameOf) {
    work.erase(std::remove_if(work.begin(), work.end(), [&](const Item& item) { return !valid(item); }), work.end());
    if (work.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many rows to regroup");
    const std::uint8_t withDays = sumDays ? 1 : 0;
    // Past one group for every sixteen items the hashing gives up: the sort is cheaper then.
    constexpr std::size_t kItemsPerGroup = 16;
    const TItemGroups groups = GroupEqualNames(work, hash, same, work.size() / kItemsPerGroup);
    if (work.empty() || !groups.First.empty())
        RegroupHashed(source, work, groups, target, withDays, threads, less, nameOf);
    else
        RegroupSorted(source, work, target, withDays, threads, inOrder, less, same, nameOf);
}

// The order of items grouped by their own texts: first eight bytes, the whole text, the row.
bool TextOrderLess(const TRegroupName& a, const TRegroupName& b) {
    if (a.Lead != b.Lead) return a.Lead < b.Lead;
    const int order = a.View().compare(b.View());
    return order != 0 ? order < 0 : a.Source < b.Source;
}

// Puts the items in the order of their prefixes' ranks, keeping the order within each.
template <class PrefixOf>
void StableSortByRank(std::vector<TRegroupName>& work, const std::vector<std::uint32_t>& rank, PrefixOf& prefixOf) {
    std::vector<std::size_t> start(rank.empty() ? 1 : *std::max_element(rank.begin(), rank.end()) + 2, 0);
    for (const TRegroupName& item : work) ++start[rank[static_cast<std::size_t>(prefixOf(item))] + 1];
    for (std::size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
    if (work.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too many rows to regroup");
    // Each item's place, then the items swapped into their places: a sorted copy of a
    // million items would be the largest block of the step.
    std::vector<std::uint32_t> place(work.size());
    for (std::size_t i = 0; i < work.size(); ++i)
        place[i] = static_cast<std::uint32_t>(start[rank[static_cast<std::size_t>(prefixOf(work[i]))]]++);
    for (std::size_t i = 0; i < work.size(); ++i) {
        while (place[i] != i) {
            const std::uint32_t to = place[i];
            std::swap(work[i], work[to]);
            std::swap(place[i], place[to]);
        }
    }
}

// A group's name: its own, kept in the arena or referring to the store.
TStatName GroupName(std::string_view text, const TRegroupTexts& texts) {
    if (text.size() <= TStatName::kLocalSize || (!texts.Arena && !texts.InStore)) return TStatName(text);
    return texts.InStore ? TStatName::Referring(text) : TStatName::Kept(text, *texts.Arena);
}

}  // namespace

void RegroupRows(const TLstStat& source, std::vector<TRegroupRow>& work, TLstStat& target, bool sumDays,
                 TTextArena* arena) {
    RegroupItems(
        source, work, target, sumDays, 1, false, [&](const TRegroupRow& item) { return item.Source < source.Count(); },
        [](const TRegroupRow& a, const TRegroupRow& b) {
            return std::tie(a.Name, a.Source) < std::tie(b.Name, b.Source);
        },
        [](const TRegroupRow& a, const TRegroupRow& b) { return a.Name == b.Name; },
        [](const TRegroupRow& item) { return HashText(item.Name); },
        [&](const TRegroupRow& item) { return GroupName(item.Name, {.Arena = arena}); });
}

void RegroupRows(const TLstStat& source, std::vector<TRegroupName>& work, TLstStat& target, bool sumDays,
                 std::size_t threads, TRegroupTexts texts) {
    for (TRegroupName& item : work) item.Lead = LeadOf({item.View()});
    RegroupItems(
        source, work, target, sumDays, threads, false,
        [&](const TRegroupName& item) { return item.Source < source.Count(); }, TextOrderLess,
        [](const TRegroupName& a, const TRegroupName& b) { return a.Lead == b.Lead && a.View() == b.View(); },
        [](const TRegroupName& item) { return HashText(item.View()); },
        [&](const TRegroupName& item) { return GroupName(item.View(), texts); });
}

void RegroupRows(const TLstStat& source, std::vector<TRegroupName>& work, const TRegroupPrefixes& prefixes,
                 TLstStat& target, bool sumDays, std::size_t threads, TTextArena* arena) {
    const auto prefixOf = [&](const TRegroupName& item) { return prefixes.OfSource[item.Source]; };
    const auto valid = [&](const TRegroupName& item) {
        if (item.Source >= source.Count() || item.Source >= prefixes.OfSource.size()) return false;
        const std::int32_t prefix = prefixOf(item);
        return prefix >= 0 && static_cast<std::size_t>(prefix) < prefixes.Names.size();
    };
    // Without a TAB in any prefix, two joined names of different prefixes part within the
    // prefixes and their TABs: the prefixes' order decides, the texts only within one
    // prefix. Otherwise every prefix ranks alike and the joined names are compared.
    const std::size_t count = prefixes.Names.size();
    std::vector<std::uint32_t> rank(count, 0);
    const bool ranked = std::none_of(prefixes.Names.begin(), prefixes.Names.end(),
                                     [](std::string_view name) { return name.find('\t') != std::string_view::npos; });
    if (ranked) {
        std::vector<std::string> joined;
        for (const std::string_view name : prefixes.Names) joined.push_back(std::string(name) + '\t');
        std::vector<std::uint32_t> order(count);
        for (std::uint32_t i = 0; i < count; ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return joined[a] < joined[b]; });
        for (std::size_t i = 1; i < count; ++i)
            rank[order[i]] = rank[order[i - 1]] + (joined[order[i]] != joined[order[i - 1]] ? 1 : 0);
    }
    const auto rankOf = [&](const TRegroupName& item) { return rank[static_cast<std::size_t>(prefixOf(item))]; };
    const auto compare = [&](const TRegroupName& a, const TRegroupName& b) {
        const std::int32_t pa = prefixOf(a), pb = prefixOf(b);
        if (pa == pb) return a.View().compare(b.View());
        return CompareJoined(prefixes.Names[static_cast<std::size_t>(pa)], a.View(),
                             prefixes.Names[static_cast<std::size_t>(pb)], b.View());
    };
    for (TRegroupName& item : work)
        if (valid(item))
            item.Lead = ranked ? LeadOf({item.View()})
                               : LeadOf({prefixes.Names[static_cast<std::size_t>(prefixOf(item))], "\t", item.View()});
    // Ranked, the order is the prefixes' and within one the texts'. Work that the list of the
    // texts alone was just made from is in the texts' order already: a stable pass by rank
    // then spares the sort and its string comparisons.
    bool inOrder = false;
    if (ranked) {
        work.erase(std::remove_if(work.begin(), work.end(), [&](const TRegroupName& item) { return !valid(item); }),
                   work.end());
        inOrder = std::is_sorted(work.begin(), work.end(), TextOrderLess);
        if (inOrder) StableSortByRank(work, rank, prefixOf);
    }
    RegroupItems(
        source, work, target, sumDays, threads, inOrder, valid,
        [&](const TRegroupName& a, const TRegroupName& b) {
            const std::uint32_t ra = rankOf(a), rb = rankOf(b);
            if (ra != rb) return ra < rb;
            if (a.Lead != b.Lead) return a.Lead < b.Lead;
            const int order = compare(a, b);
            return order != 0 ? order < 0 : a.Source < b.Source;
        },
        [&](const TRegroupName& a, const TRegroupName& b) {
            return rankOf(a) == rankOf(b) && a.Lead == b.Lead && compare(a, b) == 0;
        },
        // Names of equal rank and text are equal, and so are their hashes. Unranked, equal
        // joined names may come from different prefixes: the joined name is hashed then.
        [&, joined = std::string()](const TRegroupName& item) mutable {
            if (ranked) return HashText(item.View(), rankOf(item));
            joined.assign(prefixes.Names[static_cast<std::size_t>(prefixOf(item))]).append(1, '\t').append(item.View());
            return HashText(joined);
        },
        [&, name = std::string()](const TRegroupName& item) mutable {
            const std::string_view prefix = prefixes.Names[static_cast<std::size_t>(prefixOf(item))];
            name.assign(prefix).append(1, '\t').append(item.View());
            return GroupName(name, {.Arena = arena});
        });
}

}  // namespace brindle
