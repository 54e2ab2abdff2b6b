#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/density.h"
#include "analytics/volatility/smile_probability.h"
#include "common/price_type.h"

namespace zarvex::analytics {

// How a chart writes its prices: the symbol, the forward point and the price type of its axis.
struct AxisQuotation {
    std::string symbol;
    double forward_point = 0.0;
    common::PriceType price_type = common::PriceType::kFutures;
};

// The settlement density at the grid's inner strikes, each moved to its price on the axis
// (ShownPrice: under Forex the spot quotation, turned over for the inverted currencies), with
// values below zero as zero. The values are the strikes' own, as `vol --density` writes them,
// so the curve peaks at the grid's mode whatever the axis. Points without a positive price are
// left out; empty without a density.
std::vector<std::pair<double, double>> DensityOnAxis(const SettlementDensity& density,
                                                     const AxisQuotation& axis);

// The chances at one price of the axis.
struct LevelChance {
    double beyond = 0.0;  // finishing beyond it, seen from the forward
    double touch = 0.0;   // trading at it before the expiration
};

// The chance of the future finishing beyond a price of the axis (above it where the price
// stands for a futures price at or above F, below it otherwise, so an inverted axis reads the
// right side) and of touching it. nullopt without a usable smile or for a price that stands for
// no futures price.
std::optional<LevelChance> ChanceAtShownPrice(const SmileProbability& probability, double shown,
                                              const AxisQuotation& axis);

// What the histograms draw of one contract's figures: the smile's chances, which every chart
// reads at its own prices, and the density on the axis of one price type.
struct SettlementOnAxis {
    SmileProbability probability;
    AxisQuotation axis;
    std::vector<std::pair<double, double>> density;
};

// Builds the smooth smile and the 401-point density; meant for a worker thread (a few hundred
// Black-76 prices and as many formatted prices).
SettlementOnAxis ComputeSettlementOnAxis(const ContractVolatility& figures, AxisQuotation axis);

}  // namespace zarvex::analytics
