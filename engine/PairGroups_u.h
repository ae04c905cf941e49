#pragma once
// Entries grouped by the byte pair they start with, for matchers that look up every two bytes
// of a text. Lists hold a few hundred entries, so few of the 65,536 pairs occur: a bit per
// pair and a count per 64 pairs find a group without a table of every pair, whose fresh
// pages a short run would pay for.
#include <cstdint>
#include <span>
#include <vector>

namespace brindle {

class TPairGroups {
public:
    static constexpr std::size_t kKeyCount = 65536;

    TPairGroups() = default;
    // KeyOf[e] is entry e's pair (first byte << 8 | second byte), or -1 when it has none.
    explicit TPairGroups(const std::vector<int>& keyOf);

    bool Has(std::size_t key) const { return !bits_.empty() && (bits_[key / 64] >> (key % 64) & 1) != 0; }
    // The entries of that pair in entry order; empty when there are none.
    std::span<const std::int32_t> Group(std::size_t key) const;

private:
    std::size_t Rank(std::size_t key) const;

    std::vector<std::uint64_t> bits_;  // a bit per pair that has entries
    std::vector<std::uint32_t> before_;  // pairs with entries before each word of bits
    std::vector<std::uint32_t> start_;  // by rank: where its entries begin; one more at the end
    std::vector<std::int32_t> entries_;
};

}  // namespace brindle
