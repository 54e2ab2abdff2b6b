#include "analytics/history/contract_history.h"

#include <algorithm>
#include <utility>

#include "analytics/day/stored_rows.h"
#include "analytics/forward_points.h"
#include "analytics/history/contract_day.h"
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

    history.days.reserve(days.size());
    for (const auto& [day, positions] : days) {
        const double forward_point =
            ResolveForwardPoint(folder, day, input.symbol, input.ForwardPointSwitch(), host);
        DayResult result = DayResultOf(rows, *positions, day, input, forward_point);
        if (result.overflow) {
            return History::Failed("the sums of " + common::DayText(day) + " overflow");
        }
        history.days.push_back(std::move(result));
    }
    return History::Of(std::move(history));
}

}  // namespace zarvex::analytics
