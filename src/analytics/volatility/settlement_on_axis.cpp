#include "analytics/volatility/settlement_on_axis.h"

#include <algorithm>
#include <cmath>

#include "analytics/volatility/shown_prices.h"
#include "common/text.h"

namespace zarvex::analytics {

std::vector<std::pair<double, double>> DensityOnAxis(const SettlementDensity& density,
                                                     const AxisQuotation& axis) {
    std::vector<std::pair<double, double>> curve;
    if (!density.ready || density.grid.size() < density.density.size() + 2) {
        return curve;
    }
    curve.reserve(density.density.size());
    for (std::size_t i = 0; i < density.density.size(); ++i) {
        const double value = density.density[i];
        const auto shown = common::ParseDouble(
            ShownPrice(density.grid[i + 1], axis.symbol, axis.forward_point, axis.price_type));
        if (shown && *shown > 0.0 && std::isfinite(*shown) && std::isfinite(value)) {
            curve.emplace_back(*shown, std::max(0.0, value));
        }
    }
    return curve;
}

std::optional<LevelChance> ChanceAtShownPrice(const SmileProbability& probability, double shown,
                                              const AxisQuotation& axis) {
    if (!probability.Usable()) {
        return std::nullopt;
    }
    const auto futures = FuturesPriceOf(shown, axis.symbol, axis.forward_point, axis.price_type);
    if (!futures) {
        return std::nullopt;
    }
    const auto beyond = *futures >= probability.Forward() ? probability.Above(*futures)
                                                          : probability.Below(*futures);
    const auto touch = probability.Touch(*futures);
    if (!beyond || !touch) {
        return std::nullopt;
    }
    return LevelChance{*beyond, *touch};
}

SettlementOnAxis ComputeSettlementOnAxis(const ContractVolatility& figures, AxisQuotation axis) {
    SettlementOnAxis out{SmileProbability(figures), std::move(axis), {}};
    out.density = DensityOnAxis(DensityOf(out.probability), out.axis);
    return out;
}

}  // namespace zarvex::analytics
