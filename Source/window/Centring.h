#pragma once

#include <cstdint>
#include <functional>

namespace kestrane {

class WindowPlacement;

// Each of the two centring steps is tried at most this often: once, and
// three times more after handling a failure. That covers a zero divisor and a
// maximised window in one call, and gives a passing failure two more chances.
inline constexpr int CentringTriesPerStep = 4;

// Places the window so that the point 1/screenDivisor across the screen lies
// 1/windowDivisor across the window (2 and 2: the middle on the middle).
// First the top, then the left, each from sizes read afresh; divisions are in
// floating point and nothing is clamped. A failed step is handled and tried
// again: a zero divisor sets both divisors to 2 (the caller sees them), a
// minimised or maximised window is restored, any other failure calls
// `reportFailure` (the "Form cannot be centred" box). When a step fails on
// its last try the window stays where it is and the result is false.
// A failure while handling one passes to the caller.
bool centreWindow(WindowPlacement &window, std::int16_t &screenDivisor, std::int16_t &windowDivisor,
                  const std::function<void()> &reportFailure);

} // namespace kestrane
