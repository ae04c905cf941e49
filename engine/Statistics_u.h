#pragma once
// The statistics an analysis produces: one row type for every table, the thirty variable
// lists, the five fixed tables and the summary. The analysis engine inherits them from
// TStatistics; the document, the views and the exports read them.
//
// Time in a row is whole seconds like everywhere else in the program:
//   Key       TSeconds: the start of the day (day rows, StartOfDay(DayNo)), the start of the
//             month (month rows, StartOfDay(MonthStart)), the latest hit (host rows and the
//             rows regrouped from them); 0 elsewhere. DayOf(Key) is the day number.
//   Duration  TSeconds, summed visit lengths.
// The stored row keeps the document's form: Key as a date-time double (day number plus
// fraction) and Duration in days as a double; WriteStatRecord / ReadStatRecord convert.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/BinaryStream_u.h"
#include "core/DateTime_u.h"
#include "core/DisplayFormat.h"
#include "engine/CompactRows_u.h"
#include "engine/DayCounts_u.h"
#include "engine/StatName_u.h"

namespace brindle {

struct TReportTxt;

struct TRecStat {
    TStatName Name;
    TSeconds Key = 0;
    TSeconds Duration = 0;
    std::uint8_t Kind = 0;  // file kind 0..5
    std::int32_t Code = 0;  // HTTP status
    std::int32_t Hits = 0;
    std::int32_t Visits = 0;
    std::int64_t Bytes = 0;
    std::int32_t Pages = 0;
    std::int32_t NotModified = 0;
    std::int32_t Partial = 0;
    std::int32_t Errors = 0;
    std::int32_t IP = 0;  // host rows: IPv4 number as the hit's IP, -1 when not numeric
    std::int32_t Country = 0;  // country row 1..266, 0 when unknown
    // Element i counts day FirstDay + i; DaySpan elements or none. Sparse in memory.
    TDayCounts PerDay;

    friend bool operator==(const TRecStat&, const TRecStat&) = default;
};

static_assert(sizeof(TRecStat) <= 96, "a statistics row stays lean: there are millions of them");

// Bytes of a stored row with an empty name and no per-day counts.
constexpr std::size_t kStatRecordFixedBytes = 69;

// One row in the stored layout. A name longer than 2048 bytes is cut on a UTF-8 boundary
// so that the reader accepts it. Writing to memory cannot fail; the result is always true.
bool WriteStatRecord(const TRecStat& row, TBinaryWriter& writer);
// The same for writers that hand their bytes on: Drain is called whenever the writer holds
// a good deal, also inside one row's per-day counts, so that the dense form never has to be
// in memory whole. False when Drain is.
using TDrainWriter = std::function<bool(TBinaryWriter&)>;
bool WriteStatRecord(const TRecStat& row, TBinaryWriter& writer, const TDrainWriter& drain);
// False at the first field that cannot be read (short data, a name length outside
// 0..2048, more per-day counts than bytes left); the fields read before keep their values.
bool ReadStatRecord(TRecStat& row, TBinaryReader& reader);
// The same with a long name kept in Arena; Scratch is room the name is read into first.
bool ReadStatRecord(TRecStat& row, TBinaryReader& reader, TTextArena& arena, std::string& scratch);

// A list of rows, owned by value. Sort flags: 1 ascending, anything else descending. The
// sorts are not stable.
//
// A list that is compact (Compact) keeps its rows in the lean form of TCompactRows, which
// is what a finished result holds. Reading a row gives a copy whose name may refer to the
// text where it lies, as a reference into the list would: it stays valid while the list
// is not changed; a row kept longer takes a copy of its name (TStatName(row.Name.View())). Changing a row in place
// (Mutable, Last, MutableRows) makes the list whole rows again; Add appends in the list's own form.
class TLstStat {
public:
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TRecStat;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TRecStat;
        const_iterator() = default;
        const_iterator(const TLstStat* list, std::size_t pos) : list_(list), pos_(pos) {}
        const TRecStat operator*() const { return list_->Get(pos_); }
        const_iterator& operator++() {
            ++pos_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++pos_;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.pos_ == b.pos_; }

    private:
        const TLstStat* list_ = nullptr;
        std::size_t pos_ = 0;
    };

    // Appends the row (with its own per-day counts) and returns its position.
    std::size_t Add(TRecStat row);
    void Clear();
    void Reserve(std::size_t count);

    std::size_t Count() const { return compact_ ? rows_.Size() : items_.size(); }
    bool Empty() const { return Count() == 0; }
    // Const, so that a change meant for the row cannot go to the copy unnoticed.
    const TRecStat Get(std::size_t pos) const;
    const TRecStat operator[](std::size_t pos) const { return Get(pos); }
    // The row itself, to be changed.
    TRecStat& Mutable(std::size_t pos);
    TRecStat& Last();
    std::span<TRecStat> MutableRows();

    // The lean form from now on. A row the lean form cannot hold keeps the list as it is.
    void Compact();
    bool Compacted() const { return compact_; }

    // Without a copy of the row: its name, and its counters added into Dest as
    // TStatistics::MergeStat adds them.
    std::string_view NameAt(std::size_t pos) const;
    void MergeInto(std::size_t pos, TRecStat& dest, bool withDays) const;

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, Count()}; }

    void SortByKey(int ascending);
    void SortByHits(int ascending);
    void SortByVisits(int ascending);
    // Ordinal byte comparison, so "Z..." sorts before "a...".
    void SortByName(int ascending);
    // Code, then Name; descending reverses both.
    void SortByCodeName(int ascending);

    // Int32 row count, then the rows.
    bool SaveToStream(TBinaryWriter& writer) const;
    bool SaveToStream(TBinaryWriter& writer, const TDrainWriter& drain) const;
    // Appends the rows read. At the first row that cannot be read it keeps the rows
    // appended so far, drops the broken one and returns false. With Texts the long names
    // are kept there, in the store of the statistics the list belongs to.
    bool LoadFromStream(TBinaryReader& reader, TStatTexts* texts = nullptr);

    // Equal rows in the same order, whichever form each list has.
    friend bool operator==(const TLstStat& a, const TLstStat& b);

private:
    // Whole rows again.
    void Expand();
    // Sorts by Less on the rows' order: the lean rows by their positions, so that they end
    // in the order the whole rows would.
    template <class Less, class CompactLess>
    void SortRows(int ascending, Less less, CompactLess compactLess);

    std::vector<TRecStat> items_;
    TCompactRows rows_;
    bool compact_ = false;
    // The lean rows' texts after the list was made whole again. A copy of the list owns its
    // names and needs none of them.
    struct TRetiredTexts {
        std::vector<std::unique_ptr<char[]>> Blocks;
        TRetiredTexts() = default;
        TRetiredTexts(const TRetiredTexts&) {}
        TRetiredTexts& operator=(const TRetiredTexts&) { return *this; }
        TRetiredTexts(TRetiredTexts&&) noexcept = default;
        TRetiredTexts& operator=(TRetiredTexts&&) noexcept = default;
        ~TRetiredTexts() = default;
    };
    TRetiredTexts retiredTexts_;
};

// The fixed tables: every row present, indexed by the table's own numbers (hours from 0,
// the others from 1). An index outside the table throws std::out_of_range.
template <int First, int Last>
class TFixedStatTable {
public:
    static constexpr int kFirst = First;
    static constexpr int kLast = Last;
    static constexpr int kCount = Last - First + 1;

    TRecStat& operator[](int index) { return rows_.at(Slot(index)); }
    const TRecStat& operator[](int index) const { return rows_.at(Slot(index)); }

    // Rows in index order.
    auto begin() { return rows_.begin(); }
    auto end() { return rows_.end(); }
    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }

    void Clear() { rows_.fill(TRecStat{}); }

    friend bool operator==(const TFixedStatTable&, const TFixedStatTable&) = default;

private:
    // Negative indices wrap to huge slots, which at() rejects.
    static std::size_t Slot(int index) { return static_cast<std::size_t>(index - First); }
    std::array<TRecStat, kCount> rows_{};
};

using TArrayByHod = TFixedStatTable<0, 23>;
using TArrayByDow = TFixedStatTable<1, 7>;  // 1 = Monday
using TArrayByDom = TFixedStatTable<1, 31>;
using TArrayByNbVisit = TFixedStatTable<1, 15>;
using TArrayByLenVisit = TFixedStatTable<1, 11>;

constexpr int kStatListCount = 30;

// The statistics half of the analysis engine. A plain value: a loader can fill a fresh
// one and swap it in only when the whole load succeeded.
class TStatistics {
public:
    TRecStat Summary;

    TArrayByHod StatByHod;
    TArrayByDow StatByDow;
    TArrayByDom StatByDom;
    TArrayByNbVisit StatByNbVisit;
    TArrayByLenVisit StatByLenVisit;

    TLstStat StatByStatus;
    TLstStat StatByMon;
    TLstStat StatByDay;
    TLstStat StatByAllFiles;
    TLstStat StatByFileExt;
    TLstStat StatByFileDir;
    TLstStat StatByFileType;
    TLstStat StatByHost;
    TLstStat StatByDomain;
    TLstStat StatByTld;
    TLstStat StatByCountry;
    TLstStat StatByRegion;
    TLstStat StatByUSState;
    TLstStat StatByCAProv;
    TLstStat StatByCNProv;
    TLstStat StatByCity;
    TLstStat StatByBrowser;
    TLstStat StatByOS;
    TLstStat StatBySpider;
    TLstStat StatByRefPage;
    TLstStat StatByRefDomain;
    TLstStat StatByTopIn;
    TLstStat StatByTopOut;
    TLstStat StatByRefSE;
    TLstStat StatByRefSEP;
    TLstStat StatByRefSEK;
    TLstStat StatByRefSESEP;
    TLstStat StatByRefSESEK;
    TLstStat StatByUserName;
    TLstStat StatByErr;

    std::int32_t VisitCount = 0;
    std::int32_t DaySpan = 0;  // LastDay - FirstDay + 1; 0 without hits
    TSeconds FirstHitTime = 0;
    TSeconds LastHitTime = 0;
    std::int32_t FirstDay = 0;
    std::int32_t LastDay = 0;

    // The texts the long row names of these statistics refer to.
    TStatTexts Texts;

    // The thirty lists in member order.
    std::array<TLstStat*, kStatListCount> AllLists();
    std::array<const TLstStat*, kStatListCount> AllLists() const;

    // Every list in its lean form (TLstStat::Compact).
    void CompactLists();

    // Empties the summary, the lists and every fixed row; zeroes the visit count, the
    // first and last hit and day, and the day span.
    void ClearStatisticsTables();

    // Adds Src's counters (Duration, Hits, Visits, Bytes, Pages, NotModified, Partial,
    // Errors) into Dest; with WithDays = 1 also its per-day counts, element by element over
    // the days both rows have. Name, Key, Kind, Code, IP and Country of Dest stay.
    static void MergeStat(TRecStat& Dest, const TRecStat& Src, std::uint8_t WithDays);

    // The text of one cell: value code 1..36 of a row; Index is the fixed-table index (0
    // for list rows). A null language means the built-in English texts; Format gives the
    // decimal separator and the date and time patterns. Unknown codes give "".
    std::string FormatStatValue(const TRecStat& Row, int Index, std::uint8_t Code, const TReportTxt* Lang = nullptr,
                                const DisplayFormat& Format = DefaultDisplayFormat()) const;
    std::vector<std::string> GetRowTexts(const TRecStat& Row, int Index, std::span<const std::uint8_t> Codes,
                                         const TReportTxt* Lang = nullptr,
                                         const DisplayFormat& Format = DefaultDisplayFormat()) const;

    // True when the data behind the report has no row to show; never for the General
    // report, the fixed tables, the groups and unknown ids.
    bool IsReportEmpty(std::uint8_t ReportId) const;

    friend bool operator==(const TStatistics&, const TStatistics&) = default;
};

// A row of a regrouping step: the name it is grouped under and the source row it stands
// for. Regrouping by index moves no rows and copies no per-day counts.
struct TRegroupRow {
    std::string Name;
    std::size_t Source = 0;
};

// Where the names of regrouped rows go. Without an arena each row owns its long name; with
// one, a long name is kept there, unless InStore says that every item's text already lies in
// the store of the statistics Target belongs to (texts of other rows' names, arenas handed
// to that store): then the row refers to it where it is.
struct TRegroupTexts {
    TTextArena* Arena = nullptr;
    bool InStore = false;
};

// Groups Work by name (ordinal; within a name in source order) and appends one row per
// name to Target: the group's first source row under the new name, with the counters of
// the others added. SumDays also adds their per-day counts; otherwise the row keeps the
// first source row's. Work is sorted in place.
void RegroupRows(const TLstStat& source, std::vector<TRegroupRow>& work, TLstStat& target, bool sumDays,
                 TTextArena* arena = nullptr);

// The same for names held elsewhere, which must outlive the call: small items for the steps
// that regroup a million rows, sorted on up to Threads threads.
struct TRegroupName {
    const char* Text = nullptr;
    std::uint32_t Size = 0;
    std::uint32_t Source = 0;
    // The first eight bytes of the name the item is grouped under, set by RegroupRows: most
    // comparisons of the sort end there, without reading the text.
    std::uint64_t Lead = 0;
    std::string_view View() const { return {Text, Size}; }
};
void RegroupRows(const TLstStat& source, std::vector<TRegroupName>& work, TLstStat& target, bool sumDays,
                 std::size_t threads = 1, TRegroupTexts texts = {});

// Names that each read a prefix, a TAB and the item's text: Names[OfSource[Source]] is the
// prefix of the item's source row. The joined names are compared without being built;
// only each group's row gets its name written out.
struct TRegroupPrefixes {
    std::span<const std::string_view> Names;
    std::span<const std::int32_t> OfSource;
};
void RegroupRows(const TLstStat& source, std::vector<TRegroupName>& work, const TRegroupPrefixes& prefixes,
                 TLstStat& target, bool sumDays, std::size_t threads = 1, TTextArena* arena = nullptr);

// The ordinal order of Prefix + TAB + Text, as the joined texts would compare: negative,
// zero or positive.
int CompareJoined(std::string_view prefixA, std::string_view textA, std::string_view prefixB, std::string_view textB);

// A copy of Row under another name.
TRecStat RenamedRow(const TRecStat& row, TStatName name);

}  // namespace brindle
