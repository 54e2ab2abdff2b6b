#pragma once

#include "common/clock.h"

namespace zarvex::common {

class SystemClock final : public Clock {
public:
    Date Now() const override;
    void SleepFor(std::chrono::milliseconds duration) override;
};

}  // namespace zarvex::common
