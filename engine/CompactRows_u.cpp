#include "engine/CompactRows_u.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "engine/Statistics_u.h"

namespace brindle {

namespace {

// A name word: an address in the low 48 bits and the length above, below kLongFrom; the top
// byte 0xFF for a long name, whose length stands in front of its text; 0xF0 + n for a name
// of n bytes (at most seven) held in the word's own first bytes.
constexpr std::uint64_t kAddressMask = (std::uint64_t{1} << 48) - 1;
constexpr std::uint64_t kLongFrom = 0x8000;
constexpr std::uint64_t kLongName = std::uint64_t{0xFF} << 56;
constexpr std::uint64_t kInlineName = std::uint64_t{0xF0} << 56;
constexpr std::size_t kInlineSize = 7;
static_assert(std::endian::native == std::endian::little, "a short name lies in the word's low bytes");
constexpr std::uint64_t kPoolCountBits = 24;
constexpr std::uint64_t kPoolCountMask = (std::uint64_t{1} << kPoolCountBits) - 1;
constexpr std::size_t kFirstTextBlock = 4096;
constexpr std::size_t kLastTextBlock = std::size_t{1} << 20;

std::uint64_t AddressBits(const char* at) {
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(at));
    if ((bits & ~kAddressMask) != 0) throw std::length_error("statistics row name out of reach");
    return bits;
}

const char* AddressOf(std::uint64_t word) {
    // The address shares its word with the length: that is what keeps the row at 48 bytes.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(word & kAddressMask));
}

}  // namespace

bool TCompactRows::Fits(const TRecStat& row) { return row.PerDay.Entries().size() <= kPoolCountMask; }

TCompactRows::TCompactRows(const TCompactRows& other) { *this = other; }

TCompactRows& TCompactRows::operator=(const TCompactRows& other) {
    if (this == &other) return *this;
    TCompactRows copy;
    copy.rows_ = other.rows_;
    copy.key_ = other.key_;
    copy.duration_ = other.duration_;
    copy.kind_ = other.kind_;
    copy.code_ = other.code_;
    copy.ip_ = other.ip_;
    copy.country_ = other.country_;
    copy.dayLength_ = other.dayLength_;
    copy.dayLengths_ = other.dayLengths_;
    copy.dayPool_ = other.dayPool_;
    for (std::size_t pos = 0; pos < copy.rows_.size(); ++pos)
        copy.rows_[pos].Name = copy.KeepName(other.Name(pos), false);
    *this = std::move(copy);
    return *this;
}

std::uint64_t TCompactRows::KeepName(std::string_view text, bool elsewhere) {
    if (text.empty()) return 0;
    if (text.size() <= kInlineSize) {
        std::uint64_t word = kInlineName | (std::uint64_t{text.size()} << 56);
        std::memcpy(&word, text.data(), text.size());
        return word;
    }
    // A short name that refers may refer to a row's own room: copied like the others.
    if (elsewhere && text.size() > TStatName::kLocalSize && text.size() < kLongFrom)
        return AddressBits(text.data()) | (std::uint64_t{text.size()} << 48);
    const bool isLong = text.size() >= kLongFrom;
    const std::size_t bytes = text.size() + (isLong ? sizeof(std::uint64_t) : 0);
    if (textBlocks_.empty() || textBlockSize_ - textUsed_ < bytes) {
        // Blocks grow from a few pages, so that a list of a few short names takes little.
        const std::size_t next = textBlocks_.empty() ? kFirstTextBlock : std::min(textBlockSize_ * 2, kLastTextBlock);
        textBlockSize_ = std::max(next, bytes);
        textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(textBlockSize_));
        textUsed_ = 0;
    }
    char* at = textBlocks_.back().get() + textUsed_;
    textUsed_ += bytes;
    if (isLong) {
        const std::uint64_t size = text.size();
        std::memcpy(at, &size, sizeof size);
        std::memcpy(at + sizeof size, text.data(), text.size());
        return AddressBits(at) | kLongName;
    }
    std::memcpy(at, text.data(), text.size());
    return AddressBits(at) | (std::uint64_t{text.size()} << 48);
}

std::vector<std::unique_ptr<char[]>> TCompactRows::TakeTexts() {
    textBlockSize_ = 0;
    textUsed_ = 0;
    return std::move(textBlocks_);
}

std::string_view TCompactRows::Name(std::size_t pos) const {
    const std::uint64_t& word = rows_[pos].Name;
    const std::uint64_t top = word >> 56;
    if (top == (kLongName >> 56)) {
        const char* at = AddressOf(word);
        std::uint64_t size = 0;
        std::memcpy(&size, at, sizeof size);
        return {at + sizeof size, static_cast<std::size_t>(size)};
    }
    if ((top & 0xF8) == (kInlineName >> 56))
        return {reinterpret_cast<const char*>(&word), static_cast<std::size_t>(top & 0x07)};
    return {AddressOf(word), static_cast<std::size_t>(word >> 48)};
}

std::uint64_t TCompactRows::KeepDays(const TDayCounts& days) {
    const std::span<const TDayCounts::TEntry> entries = days.Entries();
    if (entries.empty()) return 0;
    if (entries.size() == 1)
        return 1 | (static_cast<std::uint64_t>(static_cast<std::uint32_t>(entries[0].Day)) << 1) |
               (static_cast<std::uint64_t>(static_cast<std::uint32_t>(entries[0].Count)) << 32);
    if (entries.size() > kPoolCountMask) throw std::length_error("too many daily counts in a row");
    const std::uint64_t offset = dayPool_.size();
    dayPool_.insert(dayPool_.end(), entries.begin(), entries.end());
    return (std::uint64_t{entries.size()} << 1) | (offset << (kPoolCountBits + 1));
}

std::span<const TDayCounts::TEntry> TCompactRows::DaysOf(const TRow& row, TDayCounts::TEntry& one) const {
    if (row.Days == 0) return {};
    if ((row.Days & 1) != 0) {
        one.Day = static_cast<std::int32_t>((row.Days >> 1) & 0x7FFFFFFFu);
        one.Count = static_cast<std::int32_t>(static_cast<std::uint32_t>(row.Days >> 32));
        return {&one, 1};
    }
    const std::size_t count = static_cast<std::size_t>((row.Days >> 1) & kPoolCountMask);
    const std::size_t offset = static_cast<std::size_t>(row.Days >> (kPoolCountBits + 1));
    return {dayPool_.data() + offset, count};
}

std::size_t TCompactRows::DayLength(std::size_t pos) const {
    return static_cast<std::size_t>(dayLengths_.empty() ? dayLength_ : dayLengths_[pos]);
}

void TCompactRows::SetDayLength(std::size_t pos, std::int32_t length) {
    if (dayLengths_.empty()) {
        if (pos == 0) dayLength_ = length;
        if (length == dayLength_) return;
        dayLengths_.assign(pos, dayLength_);
    }
    dayLengths_.resize(pos + 1);
    dayLengths_[pos] = length;
}

template <class T>
void TCompactRows::Widen(std::vector<T>& column, std::size_t size) {
    if (column.size() < size) column.resize(size, T{});
}

void TCompactRows::PushBack(const TRecStat& row) {
    const std::size_t pos = rows_.size();
    TRow compact;
    compact.Name = KeepName(row.Name.View(), row.Name.Refers());
    compact.Days = KeepDays(row.PerDay);
    compact.Bytes = row.Bytes;
    compact.Hits = row.Hits;
    compact.Visits = row.Visits;
    compact.Pages = row.Pages;
    compact.NotModified = row.NotModified;
    compact.Partial = row.Partial;
    compact.Errors = row.Errors;
    rows_.push_back(compact);
    SetDayLength(pos, static_cast<std::int32_t>(row.PerDay.Length()));
    // A column is made at its first value other than 0 and then kept as long as the rows.
    const auto keep = [&](auto& column, auto value) {
        if (value == 0 && column.empty()) return;
        Widen(column, pos);
        column.push_back(value);
    };
    keep(key_, row.Key);
    keep(duration_, row.Duration);
    keep(kind_, row.Kind);
    keep(code_, row.Code);
    keep(ip_, row.IP);
    keep(country_, row.Country);
}

TRecStat TCompactRows::Get(std::size_t pos) const {
    const TRow& compact = rows_[pos];
    TRecStat row;
    row.Name = TStatName::Referring(Name(pos));
    row.Key = Key(pos);
    row.Duration = duration_.empty() ? 0 : duration_[pos];
    row.Kind = kind_.empty() ? 0 : kind_[pos];
    row.Code = Code(pos);
    row.Hits = compact.Hits;
    row.Visits = compact.Visits;
    row.Bytes = compact.Bytes;
    row.Pages = compact.Pages;
    row.NotModified = compact.NotModified;
    row.Partial = compact.Partial;
    row.Errors = compact.Errors;
    row.IP = ip_.empty() ? 0 : ip_[pos];
    row.Country = country_.empty() ? 0 : country_[pos];
    TDayCounts::TEntry one;
    row.PerDay = TDayCounts::FromEntries(DayLength(pos), DaysOf(compact, one));
    return row;
}

void TCompactRows::MergeInto(std::size_t pos, TRecStat& dest, bool withDays) const {
    const TRow& compact = rows_[pos];
    if (!duration_.empty()) dest.Duration += duration_[pos];
    dest.Hits += compact.Hits;
    dest.Visits += compact.Visits;
    dest.Bytes += compact.Bytes;
    dest.Pages += compact.Pages;
    dest.NotModified += compact.NotModified;
    dest.Partial += compact.Partial;
    dest.Errors += compact.Errors;
    if (!withDays) return;
    TDayCounts::TEntry one;
    dest.PerDay.AddEntries(DaysOf(compact, one), DayLength(pos));
}

namespace {

// Element i becomes the one that stood at Order[i], cycle by cycle, so that the elements move
// in place and only a bit per element is taken. An empty column is left as it is.
template <class T>
void PermuteInPlace(std::vector<T>& column, const std::vector<std::uint32_t>& order) {
    if (column.empty()) return;
    std::vector<bool> placed(column.size(), false);
    for (std::size_t start = 0; start < column.size(); ++start) {
        if (placed[start] || order[start] == start) continue;
        const T first = column[start];
        std::size_t to = start;
        for (std::size_t from = order[to]; from != start; from = order[to]) {
            placed[to] = true;
            column[to] = column[from];
            to = from;
        }
        placed[to] = true;
        column[to] = first;
    }
}

}  // namespace

void TCompactRows::Permute(const std::vector<std::uint32_t>& order) {
    if (order.size() != rows_.size())
        throw std::invalid_argument("TCompactRows::Permute: not a permutation of the rows");
    PermuteInPlace(rows_, order);
    PermuteInPlace(key_, order);
    PermuteInPlace(duration_, order);
    PermuteInPlace(kind_, order);
    PermuteInPlace(code_, order);
    PermuteInPlace(ip_, order);
    PermuteInPlace(country_, order);
    PermuteInPlace(dayLengths_, order);
}

}  // namespace brindle
