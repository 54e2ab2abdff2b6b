#include "analytics/history/contract_history.h"

#include <algorithm>
#include <utility>

#include "analytics/day/day_context.h"
#include "analytics/day/day_figures.h"
#include "analytics/day/stored_rows.h"
#include "analytics/forward_points.h"
#include "analytics/history/contract_day.h"
#include "analytics/scorecard/as_of_levels.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

bool InRange(common::Date day, const HistoryRequest& request) {
    return (request.from == common::kInvalidDate || day >= request.from) &&
           (request.to == common::kInvalidDate || day <= request.to);
}

}  // namespace

common::Result<ContractHistory> LoadContractHistory(const storage::Database& db,
                                                    const common::ProgramFolder& folder,
                                                    const HistoryRequest& request,
                                                    const common::Host& host) {
    using History = common::Result<ContractHistory>;
    const AnalysisInput& input = request.input;
    ContractHistory history;
    history.symbol = input.symbol;
    history.contract = input.contract;

    // The contract's rows, once; every day is then computed from them in memory.
    ContractRows rows;
    if (!ReadContractRows(db, input.contract, rows)) {
        return History::Failed("the quote rows of the contract cannot be read");
    }

    std::vector<std::pair<common::Date, const std::vector<std::size_t>*>> days;
    for (const auto& [text, positions] : rows.days) {
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        // Only a text the panel itself would ask for names a day it can show.
        if (day != common::kInvalidDate && common::DayText(day) == text && InRange(day, request)) {
            days.emplace_back(day, &positions);
        }
    }
    std::sort(days.begin(), days.end());

    AsOfLevels as_of(rows);
    history.days.reserve(days.size());
    for (const auto& [day, positions] : days) {
        const double forward_point =
            ResolveForwardPoint(folder, day, input.symbol, input.ForwardPointSwitch(), host);
        DayResult result = DayResultOf(rows, *positions, day, input, forward_point);
        if (result.overflow) {
            return History::Failed("the sums of " + common::DayText(day) + " overflow");
        }
        // The levels as the panel showed them that evening, from the rows stored up to it.
        DayContext evening;
        evening.symbol = input.symbol;
        evening.contract = input.contract;
        evening.date = day;
        evening.forward_point = forward_point;
        DayFigures(as_of.Through(day), rows.rows, *positions)
            .BasicIndicators(input.Settings(), evening);
        result.call_level_as_of = evening.call_level;
        result.put_level_as_of = evening.put_level;
        history.days.push_back(std::move(result));
    }
    return History::Of(std::move(history));
}

}  // namespace zarvex::analytics
