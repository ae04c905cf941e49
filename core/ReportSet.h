#pragma once
// A set of report ids 0..143; larger ids are never members.
#include <array>
#include <cstdint>
#include <initializer_list>

namespace brindle {

using TReportID = std::uint8_t;

class TReportSet {
public:
    static constexpr int kMaxID = 143;

    constexpr TReportSet() = default;
    constexpr TReportSet(std::initializer_list<int> ids) {
        for (int id : ids) Include(id);
    }

    constexpr void Include(int id) {
        if (id >= 0 && id <= kMaxID) bits_[id / 8] |= static_cast<std::uint8_t>(1u << (id % 8));
    }
    constexpr void Exclude(int id) {
        if (id >= 0 && id <= kMaxID) bits_[id / 8] &= static_cast<std::uint8_t>(~(1u << (id % 8)));
    }
    constexpr bool Contains(int id) const { return id >= 0 && id <= kMaxID && (bits_[id / 8] & (1u << (id % 8))) != 0; }
    constexpr bool IsEmpty() const {
        for (auto b : bits_)
            if (b) return false;
        return true;
    }
    constexpr void Clear() { bits_ = {}; }
    // The 18 stored bytes: id n is bit n mod 8 of byte n div 8.
    constexpr const std::array<std::uint8_t, 18>& Bytes() const { return bits_; }

    friend constexpr bool operator==(const TReportSet&, const TReportSet&) = default;

private:
    std::array<std::uint8_t, 18> bits_{};
};

}  // namespace brindle
