#pragma once
#include <bit>
#include <cstdint>

// A set of satellite slots 0..31 (slot = PRN - 1), bit k of one 32-bit mask for
// slot k. Iteration (First/Next) is always in ascending slot order.
class SatelliteSet {
public:
    constexpr SatelliteSet() = default;
    constexpr explicit SatelliteSet(uint32_t mask) : mask_(mask) {}

    // Empties the set.
    constexpr void Clear() { mask_ = 0; }
    // Adds slot k (0..31); other values are ignored.
    constexpr void Add(int k) {
        if (k >= 0 && k < 32) mask_ |= (1u << k);
    }
    // True when slot k is in the set.
    constexpr bool Contains(int k) const { return k >= 0 && k < 32 && ((mask_ >> k) & 1u); }
    // Number of slots in the set.
    constexpr int Count() const { return std::popcount(mask_); }
    // The lowest slot in the set, or -1 when it is empty.
    constexpr int First() const { return mask_ == 0 ? -1 : std::countr_zero(mask_); }
    // The lowest slot above k in the set, or -1 when there is none.
    constexpr int Next(int k) const {
        if (k >= 31) return -1;
        const uint32_t rest = k < 0 ? mask_ : mask_ & ~((2u << k) - 1u);
        return rest == 0 ? -1 : std::countr_zero(rest);
    }
    constexpr uint32_t Mask() const { return mask_; }
    constexpr bool operator==(const SatelliteSet&) const = default;

private:
    uint32_t mask_ = 0;
};
