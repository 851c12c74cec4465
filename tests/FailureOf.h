#pragma once

#include "common/Failure.h"

namespace kestrane::test {

// The number of the Failure an action raises, or 0 when it raises none.
template <typename Action> int failureOf(Action action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.number();
    }
    return 0;
}

} // namespace kestrane::test
