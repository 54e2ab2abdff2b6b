#pragma once

#include <array>
#include <optional>
#include <vector>

#include "analytics/volatility/term_summary.h"

namespace zarvex::analytics {

// The maturities, in calendar days, that the volatility across days is read at.
inline constexpr std::array<int, 5> kConstantMaturities{7, 14, 30, 60, 90};
// Index of 30 days in kConstantMaturities.
inline constexpr std::size_t kMaturity30 = 2;
// A contract this close to its expiration prices mostly the last days' noise: it takes no part.
inline constexpr std::int64_t kMinDaysToTakePart = 5;

// The day's contracts that take part: at least kMinDaysToTakePart days to the expiration, and
// of contracts sharing an expiration the one with the larger open interest, then the smaller
// code. In the order of `contracts`.
std::vector<const ContractSummary*> TakingPart(const std::vector<ContractSummary>& contracts);

// The ATM volatility at `days` calendar days, total variance linear in T between the two
// contracts around it (those of `part` with an ATM volatility); the nearest contract's own
// volatility when every one is further out; nullopt when every one is nearer.
std::optional<double> ConstantMaturityVol(const std::vector<const ContractSummary*>& part,
                                          int days);

struct Wings {
    std::optional<double> rr25;
    std::optional<double> bf25;
};
// RR25 and BF25 at `days`, on the same two contracts as ConstantMaturityVol, linear in T on the
// values; each missing where either contract lacks it.
Wings ConstantMaturityWings(const std::vector<const ContractSummary*>& part, int days);

}  // namespace zarvex::analytics
