#include "engine/PairGroups_u.h"

#include <bit>

namespace brindle {

TPairGroups::TPairGroups(const std::vector<int>& keyOf) {
    bits_.assign(kKeyCount / 64, 0);
    for (const int key : keyOf)
        if (key >= 0) bits_[static_cast<std::size_t>(key) / 64] |= std::uint64_t{1} << (key % 64);
    before_.assign(bits_.size(), 0);
    std::uint32_t present = 0;
    for (std::size_t w = 0; w < bits_.size(); ++w) {
        before_[w] = present;
        present += static_cast<std::uint32_t>(std::popcount(bits_[w]));
    }
    // Counting sort of the entries by the rank of their pair.
    start_.assign(present + 1, 0);
    for (const int key : keyOf)
        if (key >= 0) ++start_[Rank(static_cast<std::size_t>(key)) + 1];
    for (std::size_t r = 1; r < start_.size(); ++r) start_[r] += start_[r - 1];
    entries_.assign(start_.back(), 0);
    std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
    for (std::size_t e = 0; e < keyOf.size(); ++e)
        if (keyOf[e] >= 0) entries_[next[Rank(static_cast<std::size_t>(keyOf[e]))]++] = static_cast<std::int32_t>(e);
}

std::size_t TPairGroups::Rank(std::size_t key) const {
    const std::uint64_t below = (std::uint64_t{1} << (key % 64)) - 1;
    return before_[key / 64] + static_cast<std::size_t>(std::popcount(bits_[key / 64] & below));
}

std::span<const std::int32_t> TPairGroups::Group(std::size_t key) const {
    if (!Has(key)) return {};
    const std::size_t rank = Rank(key);
    return {entries_.data() + start_[rank], start_[rank + 1] - start_[rank]};
}

}  // namespace brindle
