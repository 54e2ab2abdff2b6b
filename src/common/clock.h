#pragma once

#include <chrono>

#include "common/date.h"

namespace zarvex::common {

// The computer's clock, injected wherever the program reads the time or waits, so that tests
// can fix the time and run long waits in a moment.
class Clock {
public:
    virtual ~Clock() = default;
    // The local wall-clock time as naive seconds since 1970 (what the user's calendar shows).
    virtual Date Now() const = 0;
    virtual void SleepFor(std::chrono::milliseconds duration) = 0;
};

}  // namespace zarvex::common
