#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analytics/volatility/term_summary.h"

namespace zarvex::analytics {

// The futures contract followed from the previous stored day to a day, with its price and
// log return. `contract` is empty when no contract with enough days is on both days; price and
// return are missing when it lacks a parity forward on either day.
struct FuturesStep {
    std::string contract;
    std::optional<double> price;
    std::optional<double> log_return;
};

// The contract of `day` nearest its expiration (at least kMinDaysToTakePart days) among those
// also on `previous`; ties by the larger open interest on `day`, then the smaller code.
FuturesStep FuturesStepOf(const DaySummary& day, const DaySummary& previous);

// sqrt(252 / m * sum of r^2) over the last m returns up to and including each day (days
// without a return passed over, no mean taken out); missing before m returns exist.
std::vector<std::optional<double>> RealizedVolatility(
    const std::vector<std::optional<double>>& returns, std::size_t m);

}  // namespace zarvex::analytics
