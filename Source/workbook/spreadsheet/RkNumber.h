#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

namespace kestrane::spreadsheet {

// The RK encoding of a number in 4 bytes, only where it gives back the very
// same double: a whole number of 30 bits (flag bit 1), or a double whose low
// 34 bits are zero (its high 32 bits, flags clear). The "times 100" forms are
// never used: dividing by 100 again is not exact. -0.0 is left to NUMBER, so
// its sign survives every reader.
inline std::optional<std::uint32_t> exactRk(double value)
{
    if (!std::isfinite(value) || (value == 0.0 && std::signbit(value)))
        return std::nullopt;
    constexpr double kLowest = -536870912.0; // -2^29
    constexpr double kHighest = 536870911.0; //  2^29 - 1
    // In that range the conversion to int32 is defined, and gives the value
    // back exactly when it is whole (cheaper than std::trunc on every number).
    if (value >= kLowest && value <= kHighest && double(std::int32_t(value)) == value)
        return (std::uint32_t(std::int32_t(value)) << 2) | 0x2;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    if ((bits & 0x3FFFFFFFFull) == 0)
        return std::uint32_t(bits >> 32);
    return std::nullopt;
}

} // namespace kestrane::spreadsheet
