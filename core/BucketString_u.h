#pragma once
// Interned texts: each distinct text is held once and known by a dense index, 0 for the
// first distinct text added, 1 for the next, and so on. The engine's hit records store these
// indices instead of texts.
//
// Lookups run on the parser's hot path, so the table is an open-addressing hash
// that grows as texts arrive (the constructor's mask only sizes it at first), and the texts
// live in a few large blocks rather than one heap string each.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace brindle {

class TBucketString {
public:
    // Mask + 1 is the expected number of distinct texts (255, 1023, 4095, 16383 ...), which
    // sizes the first table up to a limit; the table allocates nothing until the first text
    // is added.
    explicit TBucketString(std::uint16_t mask = 255);
    ~TBucketString() = default;
    TBucketString(const TBucketString&) = delete;
    TBucketString& operator=(const TBucketString&) = delete;
    // Moving keeps every view handed out valid (the text blocks do not move).
    // The moved-from table is empty.
    TBucketString(TBucketString&& other) noexcept;
    TBucketString& operator=(TBucketString&& other) noexcept;

    // The index of Text, adding it when not held yet. Exact, case-sensitive comparison; the
    // empty text is a text like any other. Allocates nothing when Text is already held.
    // Throws std::length_error past 2^31 - 1 distinct texts or for a text of 4 GiB or more.
    std::int32_t AddString(std::string_view text);

    // The text at Index; empty when Index is negative or not below Count(). The view stays
    // valid until Clear(), the table's destruction or a SetString of the same index.
    std::string_view GetString(std::int32_t index) const;

    // Replaces the text at Index (nothing when Index is out of range). A renamed entry is no
    // longer found by AddString, neither by its old text nor by its new one: renaming is for
    // after the last AddString of an analysis (reverse DNS turns addresses into host names).
    // Setting the text an entry already has changes nothing. The old text stays in memory
    // until Clear(). Throws std::length_error for a text of 4 GiB or more.
    void SetString(std::int32_t index, std::string_view text);

    // Frees every text and the index; the next text added gets index 0.
    void Clear();

    // Frees the hash index that AddString looks texts up in, for a table that will be read
    // by index only (its slots cost more than the index of texts). Texts, indices and views
    // stay as they are; an AddString after it builds the index again.
    void ReleaseIndex();

    // The blocks every text so far lies in, for a holder of views of them that outlives the
    // table or its next Clear().
    std::vector<std::shared_ptr<const char[]>> ShareBlocks() const;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    std::uint16_t Mask() const { return mask_; }

private:
    // Each text is a record in a block: its index (uint32, kDetached set once renamed), its
    // length (uint32), then its bytes. A slot repeats the length and hash so that a probe
    // touches the record only on a likely match, and the record gives the index at once.
    struct TSlot {
        const char* Record;  // nullptr: empty
        std::uint32_t Hash;
        std::uint32_t Length;
    };
    static constexpr std::uint32_t kDetached = 0x80000000u;

    static std::uint32_t Hash(std::string_view text);
    char* Store(std::string_view text, std::uint32_t index);
    void Rehash(std::size_t capacity);
    // The index of every text held, after ReleaseIndex.
    void Reindex();
    void PlaceSlot(const TSlot& slot);

    std::uint16_t mask_;
    std::vector<char*> items_;  // record of each index
    std::vector<TSlot> slots_;  // power-of-two size, or empty before the first add
    std::size_t usedSlots_ = 0;  // renamed entries keep their slot
    std::vector<std::shared_ptr<char[]>> blocks_;  // shared with holders of their views
    char* cursor_ = nullptr;  // free space in the last ordinary block
    std::size_t left_ = 0;
    const char* last_ = nullptr;  // record of the last text looked up or added
};

}  // namespace brindle
