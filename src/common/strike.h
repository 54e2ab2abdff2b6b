#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zarvex::common {

// A strike in whole millionths of its unit. The quote files keep strikes as REAL, and the same
// strike read twice can differ in its last bit (1.0951 against 1.0951000000000002); the
// analytics compare, group and sum by this key, so that two readings of one strike meet and
// sums over strikes tie exactly. Every strike of the exchange's currency options has at most
// six decimals.
class StrikeKey final {
public:
    constexpr StrikeKey() = default;

    // Rounded to the nearest millionth, halves away from zero. A strike beyond ±1e9 is clamped
    // there (no currency option comes near it, and the millionths stay far inside int64); one
    // that is not a number is 0.
    static StrikeKey Of(double strike) {
        constexpr double kLimit = 1.0e9;
        if (!std::isfinite(strike)) {
            return StrikeKey(0);
        }
        return StrikeKey(std::llround(std::clamp(strike, -kLimit, kLimit) * kPerUnit));
    }
    static constexpr StrikeKey FromMillionths(std::int64_t millionths) {
        return StrikeKey(millionths);
    }

    constexpr std::int64_t Millionths() const { return millionths_; }
    constexpr double Value() const { return static_cast<double>(millionths_) / kPerUnit; }

    friend constexpr auto operator<=>(StrikeKey, StrikeKey) = default;

private:
    static constexpr double kPerUnit = 1.0e6;

    constexpr explicit StrikeKey(std::int64_t millionths) : millionths_(millionths) {}

    std::int64_t millionths_ = 0;
};

}  // namespace zarvex::common
