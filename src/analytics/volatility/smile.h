#pragma once

#include <optional>
#include <vector>

namespace zarvex::analytics {

// One strike of a smile and its volatility (per year).
struct SmilePoint {
    double strike = 0.0;
    double vol = 0.0;

    bool operator==(const SmilePoint&) const = default;
};

// The smile's volatility at x: linear in the strike between the two points around x, flat
// beyond the outermost ones. points ascending by strike; nullopt when there are none.
std::optional<double> SmileVolAt(const std::vector<SmilePoint>& points, double x);

// The strike at which a CALL's forward delta N(d1), with the smile's own volatility at each
// strike, equals target: interpolated linearly in the delta between the two adjacent points
// that bracket it; when several pairs do, the strike found nearest the forward. nullopt when
// no pair brackets it (the strike would lie outside the smile) or years <= 0. A PUT's delta
// of -0.25 is a CALL delta of 0.75.
std::optional<double> StrikeAtCallDelta(const std::vector<SmilePoint>& points, double forward,
                                        double years, double target);

struct SmileWings {
    double rr25 = 0.0;  // sigma(K25 CALL) - sigma(K25 PUT)
    double bf25 = 0.0;  // (sigma(K25 CALL) + sigma(K25 PUT)) / 2 - ATM
};

// The 25-delta risk reversal and butterfly; nullopt when either 25-delta strike lies outside
// the smile.
std::optional<SmileWings> WingsOf(const std::vector<SmilePoint>& points, double forward,
                                  double years, double atm_vol);

}  // namespace zarvex::analytics
