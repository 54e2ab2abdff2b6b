#pragma once

#include <cstddef>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/day/day_result.h"
#include "analytics/day/stored_rows.h"
#include "analytics/volatility/term_structure.h"
#include "common/date.h"

namespace zarvex::analytics {

// One day of a contract computed from its rows in memory exactly as the left panel computes
// it for that day and contract with the input's symbol and settings (what `indicators` shows),
// with max pain, the sums and what the premiums imply. `positions` are the day's rows of the
// contract, `forward_point` the one the panel resolves for the day (ResolveForwardPoint). A
// SUM that overflows sets `overflow` and leaves the ratios empty. `term`, when given, gets the
// contract's volatility of the day as `vol --term` gives it (for the volatility store).
DayResult DayResultOf(const ContractRows& rows, const std::vector<std::size_t>& positions,
                      common::Date day, const AnalysisInput& input, double forward_point,
                      TermContract* term = nullptr);

}  // namespace zarvex::analytics
