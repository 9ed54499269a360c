#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <limits>

namespace coning {

// A small direct-mapped table of recent results of a pure function of one or two doubles, keyed
// by the exact bits of the arguments, so a hit returns the very double the function gave. Meant
// to be thread_local: no locking, a fixed size, and nothing to free. Slots start with a NaN key,
// which no checked argument can have.
template<std::size_t Slots>
class ResultCache
{
    static_assert(std::has_single_bit(Slots), "the slot count is a power of two");

public:
    // The slot's result when it holds these arguments; `slot` is where to store them otherwise.
    bool find(double a, double b, double &result, std::size_t &slot) const
    {
        const std::uint64_t x = std::bit_cast<std::uint64_t>(a);
        const std::uint64_t y = std::bit_cast<std::uint64_t>(b);
        const std::uint64_t mixed = x * 0x9E3779B97F4A7C15ull ^ (y * 0xC2B2AE3D27D4EB4Full);
        slot = static_cast<std::size_t>(mixed >> (64 - std::countr_zero(Slots)));
        const Entry &entry = m_entries[slot];
        if (entry.a != x || entry.b != y)
            return false;
        result = entry.result;
        return true;
    }

    void store(std::size_t slot, double a, double b, double result)
    {
        m_entries[slot] = {std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(b), result};
    }

private:
    static constexpr std::uint64_t noKey = std::bit_cast<std::uint64_t>(
        std::numeric_limits<double>::quiet_NaN());

    struct Entry
    {
        std::uint64_t a = noKey;
        std::uint64_t b = noKey;
        double result = 0.0;
    };

    std::array<Entry, Slots> m_entries{};
};

} // namespace coning
