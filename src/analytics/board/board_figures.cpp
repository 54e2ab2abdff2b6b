#include "analytics/board/board_figures.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

#include "analytics/day/day_context.h"
#include "analytics/day/day_figures.h"
#include "analytics/day/max_pain.h"
#include "analytics/left_panel/left_panel_cells.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/shown_prices.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

constexpr std::array<std::string_view, kBoardFigureCount> kKeys{
    "call_level",   "put_level",       "width_market",  "delta_balance", "upper_limit",
    "upper_border", "channel_center",  "bottom_border", "bottom_limit",  "ratio_oi",
    "ratio_volume", "ratio_avg_price", "max_pain",      "call_oi",       "put_oi",
    "call_volume",  "put_volume",      "atm_vol",       "expected_move",
};

}  // namespace

std::string_view BoardFigureKey(BoardFigure figure) {
    return kKeys[static_cast<std::size_t>(figure)];
}

std::optional<BoardFigure> BoardFigureByKey(std::string_view key) {
    const auto found = std::find(kKeys.begin(), kKeys.end(), key);
    if (found == kKeys.end()) {
        return std::nullopt;
    }
    return static_cast<BoardFigure>(found - kKeys.begin());
}

const std::array<BoardFigure, kBoardFigureCount>& AllBoardFigures() {
    static const std::array<BoardFigure, kBoardFigureCount> all = [] {
        std::array<BoardFigure, kBoardFigureCount> figures{};
        for (std::size_t i = 0; i < figures.size(); ++i) {
            figures[i] = static_cast<BoardFigure>(i);
        }
        return figures;
    }();
    return all;
}

BoardValue BoardValue::FromText(std::string text) {
    BoardValue value;
    const std::string_view trimmed = common::Trim(text);
    if (!trimmed.empty()) {
        value.number = common::ParseDouble(trimmed);
        const std::size_t point = trimmed.find('.');
        value.decimals =
            point == std::string_view::npos ? 0 : static_cast<int>(trimmed.size() - point - 1);
    }
    value.text = std::move(text);
    return value;
}

BoardValue BoardValue::FromInt(std::int64_t value) {
    return {std::to_string(value), static_cast<double>(value), 0};
}

BoardValue BoardValue::FromExact(std::optional<double> value) {
    BoardValue out;
    out.exact = true;
    if (value && std::isfinite(*value)) {
        char text[32];
        const auto result = std::to_chars(std::begin(text), std::end(text), *value);
        out.text.assign(text, result.ptr);
        out.number = value;
    }
    return out;
}

std::optional<double> Change(const BoardValue& today, const BoardValue& previous) {
    if (!today.number || !previous.number) {
        return std::nullopt;
    }
    if (today.exact || previous.exact) {
        const double change = *today.number - *previous.number;
        return change == 0.0 ? 0.0 : change;
    }
    const double scale = std::pow(10.0, std::max(today.decimals, previous.decimals));
    const double change = std::round((*today.number - *previous.number) * scale) / scale;
    // No "-0" for an unchanged figure.
    return change == 0.0 ? 0.0 : change;
}

ContractDayFigures ComputeContractDay(const ContractRows& rows,
                                      const std::vector<std::size_t>& positions, common::Date day,
                                      const AnalysisInput& input, double forward_point) {
    const std::string& symbol = input.symbol;
    const int price_type = input.PriceType();
    // The same sequence as a history day: the day's rows in memory stand in for the panel's
    // queries of that day.
    const DayFigures figures(rows, rows.rows, positions);
    DayContext context;
    context.symbol = symbol;
    context.date = day;
    context.forward_point = forward_point;
    figures.BasicIndicators(input.Settings(), context);
    figures.MarketBorders(input.Settings(), context);

    ContractDayFigures out;
    out.day = day;
    out.expiration = rows.expiration;
    out.forward_point = forward_point;
    const auto call_oi = figures.Sum(true, true);
    const auto put_oi = figures.Sum(false, true);
    const auto call_volume = figures.Sum(true, false);
    const auto put_volume = figures.Sum(false, false);
    out.overflow =
        !figures.PutCallRatios(context) || !call_oi || !put_oi || !call_volume || !put_volume;
    if (out.overflow) {
        context.ratio_oi = context.ratio_volume = context.ratio_avg_price = PanelNumber();
    }

    const PanelFigures texts = PanelFigureTexts(context);
    out[BoardFigure::kCallLevel] = BoardValue::FromText(texts.call_level);
    out[BoardFigure::kPutLevel] = BoardValue::FromText(texts.put_level);
    out[BoardFigure::kWidthMarket] = BoardValue::FromText(texts.width_market);
    out[BoardFigure::kDeltaBalance] = BoardValue::FromText(texts.delta_balance);
    out[BoardFigure::kUpperLimit] = BoardValue::FromText(texts.upper_limit);
    out[BoardFigure::kUpperBorder] = BoardValue::FromText(texts.upper_border);
    out[BoardFigure::kChannelCenter] = BoardValue::FromText(texts.channel_center);
    out[BoardFigure::kBottomBorder] = BoardValue::FromText(texts.bottom_border);
    out[BoardFigure::kBottomLimit] = BoardValue::FromText(texts.bottom_limit);
    out[BoardFigure::kRatioOi] = BoardValue::FromText(texts.ratio_oi);
    out[BoardFigure::kRatioVolume] = BoardValue::FromText(texts.ratio_volume);
    out[BoardFigure::kRatioAvgPrice] = BoardValue::FromText(texts.ratio_avg_price);
    if (!out.overflow) {
        out[BoardFigure::kCallOi] = BoardValue::FromInt(*call_oi);
        out[BoardFigure::kPutOi] = BoardValue::FromInt(*put_oi);
        out[BoardFigure::kCallVolume] = BoardValue::FromInt(*call_volume);
        out[BoardFigure::kPutVolume] = BoardValue::FromInt(*put_volume);
    }
    out.upper_border_strike = context.upper_border_strike;
    out.bottom_border_strike = context.bottom_border_strike;
    out.upper_limit_strike = context.upper_limit_strike;
    out.bottom_limit_strike = context.bottom_limit_strike;

    const MaxPain pain = figures.DayMaxPain(symbol, forward_point, price_type);
    out[BoardFigure::kMaxPain] = BoardValue::FromText(pain.price.Text());
    out.max_pain_strike = pain.strike;

    // The same chain `vol` reads from the file, here from the day's rows in memory.
    const ContractVolatility volatility =
        VolatilityOfChain(ChainOfDay(rows, positions, symbol), day);
    out[BoardFigure::kAtmVol] = BoardValue::FromExact(volatility.atm_vol);
    out[BoardFigure::kExpectedMove] = BoardValue::FromExact(volatility.expected_move);
    if (volatility.expected_move) {
        out.band_low = BoardValue::FromText(
            ShownPrice(volatility.bands[1], symbol, forward_point, price_type));
        out.band_high = BoardValue::FromText(
            ShownPrice(volatility.bands[2], symbol, forward_point, price_type));
    }
    return out;
}

}  // namespace zarvex::analytics
