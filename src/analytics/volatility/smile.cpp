#include "analytics/volatility/smile.h"

#include <cmath>
#include <cstddef>

#include "analytics/volatility/black76.h"

namespace zarvex::analytics {

std::optional<double> SmileVolAt(const std::vector<SmilePoint>& points, double x) {
    if (points.empty() || !std::isfinite(x)) {
        return std::nullopt;
    }
    if (x <= points.front().strike) {
        return points.front().vol;
    }
    if (x >= points.back().strike) {
        return points.back().vol;
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const SmilePoint& low = points[i];
        const SmilePoint& high = points[i + 1];
        if (x <= high.strike) {
            const double share = (x - low.strike) / (high.strike - low.strike);
            return low.vol + share * (high.vol - low.vol);
        }
    }
    return points.back().vol;
}

std::optional<double> StrikeAtCallDelta(const std::vector<SmilePoint>& points, double forward,
                                        double years, double target) {
    if (points.size() < 2 || !(years > 0.0)) {
        return std::nullopt;
    }
    const double root_years = std::sqrt(years);
    std::vector<std::optional<double>> deltas;
    deltas.reserve(points.size());
    for (const SmilePoint& point : points) {
        deltas.push_back(black76::CallForwardDelta(forward, point.strike, point.vol * root_years));
    }
    std::optional<double> best;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (!deltas[i] || !deltas[i + 1]) {
            continue;
        }
        const double low = *deltas[i] - target;
        const double high = *deltas[i + 1] - target;
        if (low * high > 0.0) {
            continue;
        }
        const double span = *deltas[i + 1] - *deltas[i];
        const double strike =
            span == 0.0 ? points[i].strike
                        : points[i].strike + (target - *deltas[i]) / span *
                                                 (points[i + 1].strike - points[i].strike);
        if (!best || std::fabs(strike - forward) < std::fabs(*best - forward)) {
            best = strike;
        }
    }
    return best;
}

std::optional<SmileWings> WingsOf(const std::vector<SmilePoint>& points, double forward,
                                  double years, double atm_vol) {
    const auto call_strike = StrikeAtCallDelta(points, forward, years, 0.25);
    const auto put_strike = StrikeAtCallDelta(points, forward, years, 0.75);
    if (!call_strike || !put_strike) {
        return std::nullopt;
    }
    const auto call_vol = SmileVolAt(points, *call_strike);
    const auto put_vol = SmileVolAt(points, *put_strike);
    if (!call_vol || !put_vol) {
        return std::nullopt;
    }
    return SmileWings{*call_vol - *put_vol, (*call_vol + *put_vol) / 2.0 - atm_vol};
}

}  // namespace zarvex::analytics
