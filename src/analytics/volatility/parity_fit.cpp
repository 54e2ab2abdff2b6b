#include "analytics/volatility/parity_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace zarvex::analytics {

namespace {

constexpr std::size_t kFitStrikes = 10;
constexpr std::size_t kFewestForFit = 3;
constexpr double kLowestDiscount = 0.8;
// A discount a hair above 1 is a rounding of premiums at near-zero rates, not a negative rate.
constexpr double kHighestDiscount = 1.0001;

struct Pair {
    double strike = 0.0;
    double difference = 0.0;  // C - P
};

std::optional<ParityFit> Checked(ParityFit fit) {
    if (!std::isfinite(fit.forward) || fit.forward <= 0.0) {
        return std::nullopt;
    }
    return fit;
}

}  // namespace

std::optional<ParityFit> FitParity(const std::vector<ChainStrike>& strikes) {
    std::vector<Pair> pairs;
    for (const ChainStrike& entry : strikes) {
        if (entry.call.present && entry.put.present && entry.call.premium > 0.0 &&
            entry.put.premium > 0.0) {
            pairs.push_back({entry.strike, entry.call.premium - entry.put.premium});
        }
    }
    if (pairs.empty()) {
        return std::nullopt;
    }
    // The strikes come ascending, so a stable sort keeps the lower strike first on a tie.
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return std::fabs(a.difference) < std::fabs(b.difference);
    });
    if (pairs.size() > kFitStrikes) {
        pairs.resize(kFitStrikes);
    }

    if (pairs.size() >= kFewestForFit) {
        const double n = static_cast<double>(pairs.size());
        double mean_k = 0.0;
        double mean_y = 0.0;
        for (const Pair& pair : pairs) {
            mean_k += pair.strike;
            mean_y += pair.difference;
        }
        mean_k /= n;
        mean_y /= n;
        double sxx = 0.0;
        double sxy = 0.0;
        for (const Pair& pair : pairs) {
            sxx += (pair.strike - mean_k) * (pair.strike - mean_k);
            sxy += (pair.strike - mean_k) * (pair.difference - mean_y);
        }
        if (sxx > 0.0) {
            const double slope = sxy / sxx;
            const double intercept = mean_y - slope * mean_k;
            const double discount = -slope;
            if (discount > kLowestDiscount && discount <= kHighestDiscount) {
                return Checked({intercept / discount, discount, true});
            }
        }
    }
    return Checked({pairs.front().strike + pairs.front().difference, 1.0, false});
}

}  // namespace zarvex::analytics
