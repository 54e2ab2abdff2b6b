#include "analytics/history/contract_day.h"

#include "analytics/day/day_context.h"
#include "analytics/day/day_figures.h"
#include "analytics/day/max_pain.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/option_chain.h"
#include "analytics/volatility/shown_prices.h"

namespace zarvex::analytics {

DayResult DayResultOf(const ContractRows& rows, const std::vector<std::size_t>& positions,
                      common::Date day, const AnalysisInput& input, double forward_point) {
    const std::string& symbol = input.symbol;
    const common::PriceType price_type = input.PriceType();
    // The day's rows in memory stand in for the panel's queries of that day.
    const DayFigures figures(rows, rows.rows, positions);
    DayContext context;
    context.symbol = symbol;
    context.contract = input.contract;
    context.date = day;
    context.forward_point = forward_point;
    figures.BasicIndicators(input.Settings(), context);
    figures.MarketBorders(input.Settings(), context);

    DayResult out;
    using common::Side;
    const auto call_oi = figures.Sum(Side::kCall, true);
    const auto put_oi = figures.Sum(Side::kPut, true);
    const auto call_volume = figures.Sum(Side::kCall, false);
    const auto put_volume = figures.Sum(Side::kPut, false);
    out.overflow =
        !figures.PutCallRatios(context) || !call_oi || !put_oi || !call_volume || !put_volume;
    if (out.overflow) {
        context.ratio_oi = context.ratio_volume = context.ratio_avg_price = PanelNumber();
    } else {
        out.call_oi = *call_oi;
        out.put_oi = *put_oi;
        out.call_volume = *call_volume;
        out.put_volume = *put_volume;
    }
    static_cast<DayFigureValues&>(out) = context;
    out.day = day;
    out.forward_point = forward_point;

    const MaxPain pain = figures.DayMaxPain(symbol, forward_point, price_type);
    out.max_pain = pain.price;
    out.max_pain_strike = pain.strike;

    // The same chain `vol` reads from the file, here from the day's rows in memory.
    const ContractVolatility volatility =
        VolatilityOfChain(ChainOfDay(rows, positions, symbol), day);
    out.atm_vol = volatility.atm_vol;
    out.rr25 = volatility.rr25;
    out.bf25 = volatility.bf25;
    out.expected_move = volatility.expected_move;
    if (volatility.expected_move) {
        out.band_low = ShownPrice(volatility.bands[1], symbol, forward_point, price_type);
        out.band_high = ShownPrice(volatility.bands[2], symbol, forward_point, price_type);
    }
    return out;
}

}  // namespace zarvex::analytics
