#include "analytics/scorecard/wilson_interval.h"

#include <cmath>

namespace zarvex::analytics {

std::optional<ShareInterval> WilsonInterval(std::int64_t hits, std::int64_t cases) {
    if (cases <= 0) {
        return std::nullopt;
    }
    constexpr double kZ = 1.96;
    const double n = static_cast<double>(cases);
    const double p = static_cast<double>(hits) / n;
    const double z2 = kZ * kZ;
    const double centre = p + z2 / (2.0 * n);
    const double spread = kZ * std::sqrt(p * (1.0 - p) / n + z2 / (4.0 * n * n));
    const double scale = 1.0 + z2 / n;
    return ShareInterval{p, (centre - spread) / scale, (centre + spread) / scale};
}

}  // namespace zarvex::analytics
