#pragma once
// Finished statistics rows in 48 bytes each instead of a row's 96. A large list of a large
// log (referring pages, search phrases and keywords) is mostly rows whose key, duration,
// kind, code, IP and country are all 0, with a name that lies elsewhere and one day
// counted: those fields are kept in columns only once some row needs them, the name as an
// address and a length (or itself, when it has at most seven bytes), and a single day's
// count in place of the address of a block.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/DateTime_u.h"
#include "engine/DayCounts_u.h"

namespace brindle {

struct TRecStat;

class TCompactRows {
public:
    TCompactRows() = default;
    // A copy keeps copies of every name, so that it never depends on the store the
    // original's names refer to; a move keeps them where they are.
    TCompactRows(const TCompactRows& other);
    TCompactRows& operator=(const TCompactRows& other);
    TCompactRows(TCompactRows&&) noexcept = default;
    TCompactRows& operator=(TCompactRows&&) noexcept = default;
    ~TCompactRows() = default;

    // Whether the lean form can hold Row (at most 16,777,215 days counted).
    static bool Fits(const TRecStat& row);

    std::size_t Size() const { return rows_.size(); }
    // Room for Count rows, and for Pooled daily counts of rows that have more than one.
    void Reserve(std::size_t count, std::size_t pooled = 0) {
        rows_.reserve(count);
        dayPool_.reserve(dayPool_.size() + pooled);
    }
    void Clear() { *this = TCompactRows(); }

    // Appends Row. A long name that refers to text elsewhere keeps referring to it; any
    // other name is copied into texts of the rows' own.
    void PushBack(const TRecStat& row);
    // The row at Pos, its name referring to the text where it lies.
    TRecStat Get(std::size_t pos) const;

    // Fields read in place, for sorts and sums.
    std::string_view Name(std::size_t pos) const;
    TSeconds Key(std::size_t pos) const { return key_.empty() ? 0 : key_[pos]; }
    std::int32_t Code(std::size_t pos) const { return code_.empty() ? 0 : code_[pos]; }
    std::int32_t Hits(std::size_t pos) const { return rows_[pos].Hits; }
    std::int32_t Visits(std::size_t pos) const { return rows_[pos].Visits; }
    // Adds the counters of the row at Pos into Dest as TStatistics::MergeStat does.
    void MergeInto(std::size_t pos, TRecStat& dest, bool withDays) const;

    // The blocks the copied names lie in, handed over; the rows must not be read after.
    std::vector<std::unique_ptr<char[]>> TakeTexts();

    // Row i becomes the row that stood at Order[i]; Order is a permutation of the rows.
    void Permute(const std::vector<std::uint32_t>& order);

private:
    struct TRow {
        std::uint64_t Name = 0;  // address in the low 48 bits, length above (all ones: a long name)
        std::uint64_t Days = 0;  // 0 none; odd: one entry in place; else entries in the pool
        std::int64_t Bytes = 0;
        std::int32_t Hits = 0;
        std::int32_t Visits = 0;
        std::int32_t Pages = 0;
        std::int32_t NotModified = 0;
        std::int32_t Partial = 0;
        std::int32_t Errors = 0;
    };
    static_assert(sizeof(TRow) == 48);

    std::uint64_t KeepName(std::string_view text, bool elsewhere);
    std::uint64_t KeepDays(const TDayCounts& days);
    std::span<const TDayCounts::TEntry> DaysOf(const TRow& row, TDayCounts::TEntry& one) const;
    std::size_t DayLength(std::size_t pos) const;
    void SetDayLength(std::size_t pos, std::int32_t length);
    // Room for Pos in a column that has been all 0 so far.
    template <class T>
    static void Widen(std::vector<T>& column, std::size_t size);

    std::vector<TRow> rows_;
    // Columns of the rarely used fields: empty while every row has 0 there.
    std::vector<TSeconds> key_;
    std::vector<TSeconds> duration_;
    std::vector<std::uint8_t> kind_;
    std::vector<std::int32_t> code_;
    std::vector<std::int32_t> ip_;
    std::vector<std::int32_t> country_;
    // Every row's day-count length is dayLength_ until one differs; then each has its own.
    std::int32_t dayLength_ = 0;
    std::vector<std::int32_t> dayLengths_;
    std::vector<TDayCounts::TEntry> dayPool_;
    // The copied names, in blocks that never move.
    std::vector<std::unique_ptr<char[]>> textBlocks_;
    std::size_t textBlockSize_ = 0;
    std::size_t textUsed_ = 0;
};

}  // namespace brindle
