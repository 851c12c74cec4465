#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "common/Failure.h"

namespace kestrane {

// Conversions from floating point to integers round to the nearest integer,
// ties to the even one (2.5 -> 2, 3.5 -> 4), and a result outside the target
// type -- or a value that is not a number -- is an Overflow failure. The
// limits of these types are limits of the program.
template <typename Int>
Int roundToInteger(double value)
{
    const double rounded = std::nearbyint(value); // default mode: ties to even
    if (!(rounded >= double(std::numeric_limits<Int>::min())
          && rounded <= double(std::numeric_limits<Int>::max())))
        throw Failure(Overflow);
    return static_cast<Int>(rounded);
}

inline std::int16_t roundToInt16(double value) { return roundToInteger<std::int16_t>(value); }
inline std::int32_t roundToInt32(double value) { return roundToInteger<std::int32_t>(value); }

// Adds to a 16-bit counter; leaving the 16-bit range is an Overflow failure.
inline std::int16_t checkedAdd(std::int16_t counter, int step)
{
    const int sum = int(counter) + step;
    if (sum < std::numeric_limits<std::int16_t>::min() || sum > std::numeric_limits<std::int16_t>::max())
        throw Failure(Overflow);
    return static_cast<std::int16_t>(sum);
}

} // namespace kestrane
