#pragma once
// A sort that uses several threads and no more room than std::sort. The comparator must be
// a strict weak order that does not throw; elements it holds equal may end in any order, as
// with std::sort.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <vector>

#include "engine/ForkJoin_u.h"

namespace brindle {

// Fewer elements than this per part are sorted on one thread.
constexpr std::size_t kSortElementsPerPart = 65536;

namespace detail {

// Cuts the range at the middle pivot (lower elements first) and goes on with each side on
// a thread of its own; a range without pivots left is sorted.
template <class It, class Less, class Value>
void SortAroundPivots(It first, It last, const Value* pivots, std::size_t count, Less& less) {
    if (count == 0) {
        std::sort(first, last, less);
        return;
    }
    const std::size_t half = count / 2;
    const Value& pivot = pivots[half];
    const It middle = std::partition(first, last, [&](const Value& item) { return less(item, pivot); });
    ForkJoin(2, [&](std::size_t side) {
        if (side == 0)
            SortAroundPivots(first, middle, pivots, half, less);
        else
            SortAroundPivots(middle, last, pivots + half + 1, count - half - 1, less);
    });
}

}  // namespace detail

// Pivots drawn from a sample cut the range into about equal parts in place, the parts are
// cut further and sorted side by side: no room beyond the sample is needed.
template <class It, class Less>
void SortInParts(It first, It last, Less less, std::size_t threads) {
    using Value = typename std::iterator_traits<It>::value_type;
    const auto count = static_cast<std::size_t>(std::distance(first, last));
    const std::size_t parts = std::min(threads, count / kSortElementsPerPart);
    if (parts <= 1) {
        std::sort(first, last, less);
        return;
    }
    constexpr std::size_t kSamplesPerPart = 64;
    std::vector<Value> sample;
    const std::size_t samples = parts * kSamplesPerPart;
    for (std::size_t i = 0; i < samples; ++i) sample.push_back(first[static_cast<std::ptrdiff_t>(count * i / samples)]);
    std::sort(sample.begin(), sample.end(), less);
    std::vector<Value> pivots;
    for (std::size_t i = 1; i < parts; ++i) pivots.push_back(sample[samples * i / parts]);
    detail::SortAroundPivots(first, last, pivots.data(), pivots.size(), less);
}

}  // namespace brindle
