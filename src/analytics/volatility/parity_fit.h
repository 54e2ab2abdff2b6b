#pragma once

#include <optional>
#include <vector>

#include "analytics/volatility/option_chain.h"

namespace zarvex::analytics {

// The forward and the discount that the day's premiums imply through put-call parity,
// C - P = D * (F - K).
struct ParityFit {
    double forward = 0.0;
    double discount = 1.0;
    // True when D and F come from the straight line through the strikes; false when only the
    // strike nearest the money could be used (D taken as 1).
    bool fitted = false;
};

// Of the strikes with a CALL and a PUT premium above zero, the (up to) ten with the smallest
// |C - P| (the lower strike first on a tie) are fitted by least squares, C - P = a + b * K, so
// that D = -b and F = a / D. Fewer than three such strikes, or a D outside (0.8, 1.0001], give
// D = 1 and F = K + (C - P) at the strike of the smallest |C - P|. nullopt without any such
// strike, or when the forward found is not a positive number.
std::optional<ParityFit> FitParity(const std::vector<ChainStrike>& strikes);

}  // namespace zarvex::analytics
