#include "window/Centring.h"

#include <exception>

#include "common/Failure.h"
#include "window/WindowPlacement.h"

namespace kestrane {

namespace {

enum class Step { Top, Left };

// Floating-point division that, like the classic runtime, refuses a zero divisor.
double divide(float dividend, std::int16_t divisor)
{
    if (divisor == 0)
        throw Failure(DivisionByZero);
    return double(dividend) / double(divisor);
}

void carryOut(Step step, WindowPlacement &window, std::int16_t screenDivisor, std::int16_t windowDivisor)
{
    if (step == Step::Top) {
        const double top = divide(window.screenHeight(), screenDivisor) - divide(window.outerHeight(), windowDivisor);
        window.moveTop(static_cast<float>(top));
    } else {
        const double left = divide(window.screenWidth(), screenDivisor) - divide(window.outerWidth(), windowDivisor);
        window.moveLeft(static_cast<float>(left));
    }
}

} // namespace

bool centreWindow(WindowPlacement &window, std::int16_t &screenDivisor, std::int16_t &windowDivisor,
                  const std::function<void()> &reportFailure)
{
    for (const Step step : {Step::Top, Step::Left}) {
        for (int tries = 1;; ++tries) {
            int failure = 0;
            try {
                carryOut(step, window, screenDivisor, windowDivisor);
                break;
            } catch (const Failure &f) {
                failure = f.number();
            } catch (const std::exception &) {
                failure = -1; // not one of ours: handled as "any other failure"
            }
            if (tries == CentringTriesPerStep)
                return false;
            if (failure == DivisionByZero) {
                screenDivisor = 2;
                windowDivisor = 2;
            } else if (failure == FormCannotMove) {
                window.restore();
            } else {
                reportFailure();
            }
        }
    }
    return true;
}

} // namespace kestrane
