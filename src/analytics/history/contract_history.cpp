#include "analytics/history/contract_history.h"

#include <algorithm>
#include <utility>

#include "analytics/day/day_context.h"
#include "analytics/day/day_figures.h"
#include "analytics/day/stored_rows.h"
#include "analytics/forward_points.h"
#include "analytics/scorecard/as_of_levels.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/option_chain.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

bool InRange(common::Date day, const HistoryRequest& request) {
    return (request.from == common::kInvalidDate || day >= request.from) &&
           (request.to == common::kInvalidDate || day <= request.to);
}

}  // namespace

ContractHistory LoadContractHistory(const storage::Database& db,
                                    const common::ProgramFolder& folder,
                                    const HistoryRequest& request, const common::Host& host) {
    const AnalysisInput& input = request.input;
    const settings::Settings& settings = input.Settings();
    ContractHistory history;
    history.symbol = input.symbol;
    history.contract = input.contract;

    // The contract's rows, once; every day is then computed from them in memory.
    ContractRows rows;
    if (!ReadContractRows(db, input.contract, rows)) {
        history.failed = true;
        history.error = "the quote rows of the contract cannot be read";
        return history;
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
    DayContext context;
    context.symbol = input.symbol;
    context.contract = input.contract;
    history.days.reserve(days.size());
    for (const auto& [day_value, positions] : days) {
        const DayFigures figures(rows, rows.rows, *positions);
        context.date = day_value;
        context.forward_point =
            ResolveForwardPoint(folder, day_value, input.symbol, input.ForwardPointSwitch(), host);
        HistoryDay day;
        day.day = day_value;
        figures.BasicIndicators(settings, context);
        figures.MarketBorders(settings, context);
        const auto call_oi = figures.Sum(true, true);
        const auto put_oi = figures.Sum(false, true);
        const auto call_volume = figures.Sum(true, false);
        const auto put_volume = figures.Sum(false, false);
        if (!figures.PutCallRatios(context) || !call_oi || !put_oi || !call_volume || !put_volume) {
            history.failed = true;
            history.error = "the sums of " + common::DayText(day_value) + " overflow";
            return history;
        }
        static_cast<DayFigureValues&>(day) = context;
        DayContext evening = context;
        DayFigures(as_of.Through(day_value), rows.rows, *positions)
            .BasicIndicators(settings, evening);
        day.call_level_as_of = evening.call_level;
        day.put_level_as_of = evening.put_level;
        day.forward_point = context.forward_point;
        day.call_oi = *call_oi;
        day.put_oi = *put_oi;
        day.call_volume = *call_volume;
        day.put_volume = *put_volume;
        const MaxPain pain =
            figures.DayMaxPain(context.symbol, context.forward_point, input.PriceType());
        day.max_pain = pain.price;
        day.max_pain_strike = pain.strike;
        const ContractVolatility volatility =
            VolatilityOfChain(ChainOfDay(rows, *positions, input.symbol), day_value);
        day.atm_vol = volatility.atm_vol;
        day.rr25 = volatility.rr25;
        day.bf25 = volatility.bf25;
        day.expected_move = volatility.expected_move;
        history.days.push_back(std::move(day));
    }
    return history;
}

}  // namespace zarvex::analytics
