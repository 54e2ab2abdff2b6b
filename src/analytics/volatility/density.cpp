#include "analytics/volatility/density.h"

#include <cstddef>

namespace zarvex::analytics {

namespace {

std::optional<double> Quantile(const std::vector<double>& grid, const std::vector<double>& below,
                               double q) {
    for (std::size_t i = 0; i + 1 < grid.size(); ++i) {
        if (below[i] <= q && q <= below[i + 1]) {
            const double rise = below[i + 1] - below[i];
            if (rise == 0.0) {
                return grid[i];
            }
            return grid[i] + (q - below[i]) / rise * (grid[i + 1] - grid[i]);
        }
    }
    return std::nullopt;
}

}  // namespace

SettlementDensity DensityOf(const SmileProbability& probability) {
    SettlementDensity out;
    if (!probability.Usable()) {
        return out;
    }
    const double low = probability.Smile().Lowest();
    const double high = probability.Smile().Highest();
    constexpr int kIntervals = kDensityGridPoints - 1;
    out.step = (high - low) / kIntervals;
    if (!(out.step > 0.0)) {
        return out;
    }
    out.grid.resize(kDensityGridPoints);
    std::vector<double> prices(kDensityGridPoints);
    std::vector<double> below(kDensityGridPoints);
    for (int i = 0; i < kDensityGridPoints; ++i) {
        const auto index = static_cast<std::size_t>(i);
        out.grid[index] = i == kIntervals ? high : low + out.step * i;
        const auto price = probability.CallPrice(out.grid[index]);
        const auto chance = probability.Below(out.grid[index]);
        if (!price || !chance) {
            return SettlementDensity{};
        }
        prices[index] = *price;
        below[index] = *chance;
    }
    const double scale = probability.Discount() * out.step * out.step;
    out.density.reserve(kDensityGridPoints - 2);
    for (std::size_t i = 1; i + 1 < prices.size(); ++i) {
        const double value = (prices[i - 1] - 2.0 * prices[i] + prices[i + 1]) / scale;
        out.density.push_back(value);
        out.negative += value < 0.0 ? 1 : 0;
        out.mass_inside += value * out.step;
    }
    for (std::size_t q = 0; q < kDensityQuantiles.size(); ++q) {
        out.quantiles[q] = Quantile(out.grid, below, kDensityQuantiles[q]);
    }
    out.ready = true;
    return out;
}

}  // namespace zarvex::analytics
