#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analytics/volatility/contract_volatility.h"

namespace zarvex::analytics {

// Who is assumed to hold what. Open interest says how many contracts are open, not who is
// long: the usual reading has the dealers long the CALLs (sold to them by overwriters) and
// short the PUTs (bought from them as protection).
enum class GammaSign : std::uint8_t {
    kDealerLongCalls,   // CALLs +, PUTs -
    kDealerShortCalls,  // CALLs -, PUTs +
};

struct ExposureStrike {
    double strike = 0.0;
    double call = 0.0;
    double put = 0.0;
    double total = 0.0;
};

// Money per 1% move of the future: gamma * OI * contract size * F^2 * 0.01 per row, with the
// row's own implied volatility.
struct GammaExposure {
    std::vector<ExposureStrike> strikes;  // ascending; every strike of every contract given
    double total = 0.0;
    // The futures price nearest the reference forward where the total, recomputed on a grid of
    // 201 prices from 0.9 F to 1.1 F, changes sign (linear between the two grid prices).
    std::optional<double> zero_gamma;
    double reference_forward = 0.0;  // F of the nearest-expiring contract with figures
    int left_out = 0;                // rows (one side of a strike) without a volatility
};

struct ExposureContract {
    const OptionChain* chain = nullptr;
    const ContractVolatility* figures = nullptr;
};

inline constexpr int kZeroGammaGridPoints = 201;

// The exposure of the contracts summed at each strike. With several contracts the grid of
// the zero-gamma search is that of the nearest-expiring one, and every contract's forward
// moves by the same factor along it. contract_size in the strike's units.
GammaExposure ExposureOf(const std::vector<ExposureContract>& contracts, double contract_size,
                         GammaSign sign);

}  // namespace zarvex::analytics
