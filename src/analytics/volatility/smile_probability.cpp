#include "analytics/volatility/smile_probability.h"

#include <algorithm>
#include <cmath>

#include "analytics/volatility/black76.h"

namespace zarvex::analytics {

SmileProbability::SmileProbability(const ContractVolatility& figures)
    : ready_(figures.status == VolatilityStatus::kReady && figures.years > 0.0),
      forward_(figures.forward),
      years_(figures.years),
      discount_(figures.discount),
      smile_(figures.smile) {}

bool SmileProbability::Usable() const {
    return ready_ && smile_.Usable();
}

std::optional<double> SmileProbability::Above(double x) const {
    if (!Usable() || !std::isfinite(x) || x <= 0.0) {
        return std::nullopt;
    }
    const auto vol = smile_.VolAt(x);
    const auto slope = smile_.SlopeAt(x);
    if (!vol || !slope) {
        return std::nullopt;
    }
    const double root_years = std::sqrt(years_);
    const double std_dev = *vol * root_years;
    const auto chance = black76::ChanceAbove(forward_, x, std_dev);
    if (!chance) {
        return std::nullopt;
    }
    double value = *chance;
    if (*slope != 0.0) {
        const auto vega = black76::ForwardVegaPerStdDev(forward_, x, std_dev);
        if (!vega) {
            return std::nullopt;
        }
        value -= *vega * root_years * *slope;
    }
    return std::clamp(value, 0.0, 1.0);
}

std::optional<double> SmileProbability::Below(double x) const {
    const auto above = Above(x);
    if (!above) {
        return std::nullopt;
    }
    return 1.0 - *above;
}

std::optional<double> SmileProbability::Touch(double x) const {
    const auto above = Above(x);
    if (!above) {
        return std::nullopt;
    }
    if (x > forward_) {
        return std::min(1.0, 2.0 * *above);
    }
    if (x < forward_) {
        return std::min(1.0, 2.0 * (1.0 - *above));
    }
    return 1.0;
}

std::optional<double> SmileProbability::CallPrice(double x) const {
    if (!Usable()) {
        return std::nullopt;
    }
    const auto vol = smile_.VolAt(x);
    if (!vol) {
        return std::nullopt;
    }
    return black76::Price(common::Side::kCall, forward_, x, *vol * std::sqrt(years_), discount_);
}

}  // namespace zarvex::analytics
