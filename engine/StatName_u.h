#pragma once
// The name of a statistics row, in 16 bytes. A short name lives in the row itself. A longer
// one either refers to text kept in the store of the statistics the row belongs to, or owns
// a heap block of its exact size. A copy always owns its text, so a row copied out of a
// result never depends on that result's store; a move keeps the reference.
//
// A million rows with a name of their own each would cost a std::string object and a heap
// block per row: the rows of a large log would be mostly names.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace brindle {

// Texts kept in blocks that never move, so views into them stay valid while more are added.
// Not thread-safe: each thread fills one of its own.
class TTextArena {
public:
    std::string_view Keep(std::string_view text);
    bool Empty() const { return blocks_.empty(); }

private:
    friend class TStatTexts;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockSize_ = 0;
    std::size_t used_ = 0;
};

class TStatName {
public:
    static constexpr std::size_t kLocalSize = 12;
    // Longer names are refused (std::length_error): the size shares a word with the kind.
    static constexpr std::size_t kMaxSize = (std::size_t{1} << 30) - 1;

    TStatName() noexcept = default;
    TStatName(std::string_view text) { CopyFrom(text); }
    TStatName(const std::string& text) : TStatName(std::string_view(text)) {}
    TStatName(const char* text) : TStatName(std::string_view(text)) {}
    TStatName(const TStatName& other) { CopyFrom(other.View()); }
    TStatName(TStatName&& other) noexcept : tag_(other.tag_) {
        std::memcpy(text_, other.text_, kLocalSize);
        other.tag_ = 0;
    }
    TStatName& operator=(const TStatName& other);
    TStatName& operator=(TStatName&& other) noexcept;
    TStatName& operator=(std::string_view text) { return *this = TStatName(text); }
    TStatName& operator=(const std::string& text) { return *this = TStatName(text); }
    TStatName& operator=(const char* text) { return *this = TStatName(text); }
    ~TStatName() { Free(); }

    // A name that refers to Text, which must stay where it is for as long as the name or a
    // move of it is read: text in the store of the statistics the row belongs to.
    static TStatName Referring(std::string_view text);
    // Text as a short name, or else kept in Arena and referred to.
    static TStatName Kept(std::string_view text, TTextArena& arena);

    std::string_view View() const { return {data(), size()}; }
    operator std::string_view() const { return View(); }
    std::string Str() const { return std::string(View()); }
    const char* data() const;
    std::size_t size() const { return tag_ & kSizeMask; }
    bool empty() const { return size() == 0; }
    bool Refers() const { return Mode() == kReferring; }

    friend bool operator==(const TStatName& a, const TStatName& b) { return a.View() == b.View(); }
    // Ordinal, bytes compared as unsigned, as std::string compares.
    friend std::strong_ordering operator<=>(const TStatName& a, const TStatName& b) { return a.View() <=> b.View(); }
    template <class T>
    requires(std::is_convertible_v<const T&, std::string_view> && !std::is_same_v<T, TStatName>) friend bool operator==(
        const TStatName& a, const T& b) {
        return a.View() == std::string_view(b);
    }
    template <class T>
    requires(std::is_convertible_v<const T&, std::string_view> &&
             !std::is_same_v<T, TStatName>) friend std::strong_ordering
    operator<=>(const TStatName& a, const T& b) {
        return a.View() <=> std::string_view(b);
    }

    friend std::ostream& operator<<(std::ostream& out, const TStatName& name);

private:
    static constexpr std::uint32_t kSizeMask = (std::uint32_t{1} << 30) - 1;
    static constexpr std::uint32_t kLocal = 0, kOwned = 1, kReferring = 2;
    std::uint32_t Mode() const { return tag_ >> 30; }
    const char* Address() const;
    void SetAddress(const char* at);
    void CopyFrom(std::string_view text);
    void Free() noexcept;

    // The text itself when local; else its address in the first eight bytes.
    alignas(8) char text_[kLocalSize]{};
    std::uint32_t tag_ = 0;  // size in the low 30 bits, mode in the top two
};

static_assert(sizeof(TStatName) == 16);

// The store the long names of one set of statistics refer to: the arenas its steps filled.
// A copy starts empty, since copied rows own their names; moving takes the texts along.
class TStatTexts {
public:
    TStatTexts() = default;
    TStatTexts(const TStatTexts&) {}
    TStatTexts& operator=(const TStatTexts& other);
    TStatTexts(TStatTexts&& other) noexcept;
    TStatTexts& operator=(TStatTexts&& other) noexcept;
    ~TStatTexts() = default;

    // Takes the arena's texts over; safe from several threads at once.
    void Adopt(TTextArena&& arena);
    // Keeps blocks another owner shares alive for as long as these texts (a string table's,
    // whose texts the rows name where they lie).
    void Share(std::vector<std::shared_ptr<const char[]>> blocks);
    // Frees every text: only once no row refers to them.
    void Clear();

    // The texts are storage, not content: two statistics with equal rows are equal.
    friend bool operator==(const TStatTexts&, const TStatTexts&) { return true; }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::shared_ptr<const char[]>> shared_;
};

}  // namespace brindle
