#pragma once

#include <array>
#include <optional>
#include <vector>

#include "analytics/volatility/smile_probability.h"

namespace zarvex::analytics {

inline constexpr int kDensityGridPoints = 401;
// 5%, 25%, 50%, 75%, 95%.
inline constexpr std::array<double, 5> kDensityQuantiles{0.05, 0.25, 0.50, 0.75, 0.95};

// The distribution of the settlement the premiums imply (Breeden and Litzenberger: the
// second derivative of the CALL price in the strike, undiscounted), on a fixed grid over the
// listed smile so that every number of it can be checked by hand.
struct SettlementDensity {
    bool ready = false;           // a usable smile whose lowest and highest strikes differ
    double step = 0.0;            // h
    std::vector<double> grid;     // kDensityGridPoints strikes, lowest to highest smile point
    std::vector<double> density;  // at grid[1] ... grid[kDensityGridPoints - 2]
    // Inner points below zero: a smile no arbitrage-free market could quote there. They stay in
    // density and in mass_inside as they are, so the figures can be checked; charts draw 0.
    int negative = 0;
    double mass_inside = 0.0;  // sum of density * step
    // Per kDensityQuantiles; nullopt where the grid does not reach that chance.
    std::array<std::optional<double>, kDensityQuantiles.size()> quantiles{};
};

// f(K) = (C(K - h) - 2 C(K) + C(K + h)) / (D h^2) with C the Black-76 CALL price at the smooth
// smile's volatility; a quantile q is found in the lowest grid interval where 1 - P(K) reaches
// q, by linear interpolation in it.
SettlementDensity DensityOf(const SmileProbability& probability);

}  // namespace zarvex::analytics
