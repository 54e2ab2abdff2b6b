#include "reportgen/volatility_path.h"

#include <algorithm>
#include <cmath>

#include "common/calendar.h"
#include "reportgen/random.h"

namespace zarvex::reportgen {

namespace {

const common::Date kOrigin = common::MakeDate(2000, 1, 3);

// A standard normal number from two hashes (Box-Muller).
double Normal(std::uint64_t h) {
    const double u = std::max(Unit(Combine(h, 1)), 1e-300);
    const double v = Unit(Combine(h, 2));
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
}

// Per trading day: the chance of falling into a stressed stretch and of leaving one, the pull
// towards the regime's level and the day's noise of the log volatility.
constexpr double kIntoStress = 0.015;
constexpr double kOutOfStress = 0.06;
constexpr double kReversion = 0.06;
constexpr double kVolOfVol = 0.05;
constexpr double kCalm = 0.85;
constexpr double kStressed = 1.7;
constexpr double kTradingDaysPerYear = 252.0;

}  // namespace

VolatilityPath::VolatilityPath(std::uint64_t seed, double premium)
    : seed_(seed), premium_(premium) {}

void VolatilityPath::Extend(const Product& product, Walk& walk, std::size_t upto) const {
    const std::uint64_t h = Hash(seed_, "memory", product.code);
    if (walk.points.empty()) {
        walk.log_vol = std::log(product.volatility * kCalm);
        walk.log_futures = std::log(product.level);
        walk.points.push_back({product.level, product.volatility * kCalm, 0.0, 0.0});
    }
    while (walk.points.size() <= upto) {
        const std::size_t index = walk.points.size();
        const common::Date day =
            kOrigin + static_cast<common::Date>(index) * common::kSecondsPerDay;
        Point point = walk.points.back();
        point.log_return = 0.0;
        if (common::IsTradingDay(day)) {
            const std::uint64_t today = Combine(h, static_cast<std::uint64_t>(index));
            const double switch_draw = Unit(Combine(today, 3));
            walk.stressed = walk.stressed ? switch_draw >= kOutOfStress : switch_draw < kIntoStress;
            const double target =
                std::log(product.volatility * (walk.stressed ? kStressed : kCalm));
            walk.log_vol += kReversion * (target - walk.log_vol) + kVolOfVol * Normal(today);
            point.atm = std::exp(walk.log_vol);
            point.realized = std::max(0.2 * point.atm, point.atm - premium_);
            const double deviation = point.realized / std::sqrt(kTradingDaysPerYear);
            point.log_return = deviation * Normal(Combine(today, 4)) - 0.5 * deviation * deviation;
            walk.log_futures += point.log_return;
            point.futures = std::exp(walk.log_futures);
        }
        walk.points.push_back(point);
    }
}

VolatilityPath::Point VolatilityPath::At(const Product& product, common::Date day) const {
    const common::Date offset = std::max<common::Date>(0, day - kOrigin);
    const auto index = static_cast<std::size_t>(offset / common::kSecondsPerDay);
    const std::lock_guard lock(cache_->mutex);
    Walk& walk = cache_->walks[std::string(product.code)];
    Extend(product, walk, index);
    return walk.points[index];
}

}  // namespace zarvex::reportgen
