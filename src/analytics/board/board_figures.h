#pragma once

#include <cstddef>
#include <vector>

#include "analytics/analysis_input.h"
#include "analytics/day/day_result.h"
#include "analytics/day/figure_catalogue.h"
#include "analytics/day/figure_value.h"
#include "analytics/day/stored_rows.h"
#include "analytics/volatility/term_structure.h"
#include "common/date.h"

namespace zarvex::analytics {

// Everything the board knows of one contract on one day: the day's result and its figures as
// the catalogue reads them (figure_catalogue.h), which the board shows, compares with the
// previous day, feeds to the alerts and writes to the levels feed.
struct ContractDayFigures {
    DayResult result;
    // By catalogue place.
    std::vector<FigureValue> values = std::vector<FigureValue>(FigureCatalogue().size());

    const FigureValue& operator[](FigureId figure) const {
        return values[static_cast<std::size_t>(figure)];
    }
    FigureValue& operator[](FigureId figure) { return values[static_cast<std::size_t>(figure)]; }
};

// The figures of a contract on one of its days, computed from the rows in memory exactly as
// the left panel computes them for that day and contract (what `indicators` and `history`
// show) with the input's symbol and settings; `positions` are the day's rows of the contract,
// `forward_point` the one the panel resolves for the day (ResolveForwardPoint). `term`, when
// given, gets the contract's volatility of the day as `vol --term` gives it.
ContractDayFigures ComputeContractDay(const ContractRows& rows,
                                      const std::vector<std::size_t>& positions, common::Date day,
                                      const AnalysisInput& input, double forward_point,
                                      TermContract* term = nullptr);

}  // namespace zarvex::analytics
