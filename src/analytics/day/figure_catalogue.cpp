#include "analytics/day/figure_catalogue.h"

#include <algorithm>
#include <array>

#include "common/text.h"
#include "common/text_id.h"

namespace zarvex::analytics {

namespace {

namespace text = common::text;
using namespace figure_output;
using Form = FigureForm;

// The panel's figures: in `indicators`, `history`, the History table, compared on the board.
constexpr std::uint8_t kPanelFigure = kIndicators | kHistory | kHistoryTable | kCompared;
// The whole strikes of the borders and limits say what the prices beside them say: the
// History table keeps them out of sight.
constexpr std::uint8_t kStrikeFigure = kIndicators | kHistory | kBoard;
constexpr std::uint8_t kSumFigure = kHistory | kHistoryTable | kCompared;

FigureValue Sum(const DayResult& day, std::int64_t sum) {
    return day.overflow ? FigureValue() : FigureValue::FromInt(sum);
}

// To add a figure: one entry here, and its calculation (a field of DayResult filled by
// DayResultOf, by `indicators` for the shown day alone, or by the board for a symbol's figures
// across days). The entry's key, caption, form and
// outputs then carry it into `indicators`, `history` (JSON, CSV, the window's table), the
// board (its JSON, changes and arrows), the alert rules and the levels feed; a number that may
// be missing is kExact on a std::optional (null in JSON, an empty cell in CSV). Entries go at
// the end, so that every existing output keeps its order; the positions (board_tail,
// feed_column, board_column) place a figure in the outputs whose order is their own.
constexpr FigureEntry kCatalogue[] = {
    {.key = "date",
     .caption = text::kDayColumn,
     .form = Form::kDate,
     .outputs = kHistory | kHistoryTable,
     .read = [](const DayResult& d) { return FigureValue::Plain(common::DayText(d.day)); }},
    {.key = "forward_point",
     .caption = text::kForwardPointCaption,
     .form = Form::kShort,
     .outputs = kIndicators | kHistory | kHistoryTable | kBoard,
     .read = [](const DayResult& d) { return FigureValue::FromShort(d.forward_point); }},
    {.key = "expiration",
     .caption = text::kExpiration,
     .form = Form::kText,
     .outputs = kIndicators | kHistory | kHistoryTable,
     .read = [](const DayResult& d) { return FigureValue::FromText(d.expiration); }},
    {.key = "call_level",
     .caption = text::kCallLevel,
     .outputs = kPanelFigure,
     .feed_column = 1,
     .board_column = 1,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.call_level); }},
    {.key = "put_level",
     .caption = text::kPutLevel,
     .outputs = kPanelFigure,
     .feed_column = 2,
     .board_column = 2,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.put_level); }},
    {.key = "width_market",
     .caption = text::kWidthMarket,
     .outputs = kPanelFigure,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.market_width); }},
    {.key = "delta_balance",
     .caption = text::kDeltaBalance,
     .outputs = kPanelFigure,
     .feed_column = 8,
     .board_column = 5,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.delta_balance); }},
    {.key = "upper_limit",
     .caption = text::kUpperLimit,
     .outputs = kPanelFigure,
     .feed_column = 5,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.upper_limit); }},
    {.key = "upper_border",
     .caption = text::kUpperBorder,
     .outputs = kPanelFigure,
     .feed_column = 3,
     .board_column = 3,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.upper_border); }},
    {.key = "channel_center",
     .caption = text::kChannelCenter,
     .outputs = kPanelFigure,
     .feed_column = 7,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.channel_center); }},
    {.key = "bottom_border",
     .caption = text::kBottomBorder,
     .outputs = kPanelFigure,
     .feed_column = 4,
     .board_column = 4,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.bottom_border); }},
    {.key = "bottom_limit",
     .caption = text::kBottomLimit,
     .outputs = kPanelFigure,
     .feed_column = 6,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.bottom_limit); }},
    {.key = "upper_border_strike",
     .form = Form::kCount,
     .outputs = kStrikeFigure,
     .board_tail = 2,
     .read = [](const DayResult& d) { return FigureValue::FromInt(d.upper_border_strike); }},
    {.key = "bottom_border_strike",
     .form = Form::kCount,
     .outputs = kStrikeFigure,
     .board_tail = 3,
     .read = [](const DayResult& d) { return FigureValue::FromInt(d.bottom_border_strike); }},
    {.key = "upper_limit_strike",
     .form = Form::kCount,
     .outputs = kStrikeFigure,
     .board_tail = 4,
     .read = [](const DayResult& d) { return FigureValue::FromInt(d.upper_limit_strike); }},
    {.key = "bottom_limit_strike",
     .form = Form::kCount,
     .outputs = kStrikeFigure,
     .board_tail = 5,
     .read = [](const DayResult& d) { return FigureValue::FromInt(d.bottom_limit_strike); }},
    {.key = "ratio_oi",
     .caption = text::kRatioByOi,
     .outputs = kPanelFigure,
     .board_column = 7,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.ratio_oi); }},
    {.key = "ratio_volume",
     .caption = text::kRatioByVolume,
     .outputs = kPanelFigure,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.ratio_volume); }},
    {.key = "ratio_avg_price",
     .caption = text::kByAveragePrice,
     .outputs = kPanelFigure,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.ratio_avg_price); }},
    {.key = "max_pain",
     .caption = text::kMaxPain,
     .outputs = kPanelFigure,
     .feed_column = 9,
     .board_column = 6,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.max_pain); }},
    {.key = "max_pain_strike",
     .caption = text::kMaxPainStrike,
     .form = Form::kShort,
     .outputs = kIndicators | kHistory | kHistoryTable | kBoard,
     .board_tail = 1,
     .read = [](const DayResult& d) { return FigureValue::FromShort(d.max_pain_strike); }},
    {.key = "call_oi",
     .caption = text::kCallOi,
     .form = Form::kCount,
     .outputs = kSumFigure,
     .board_column = 8,
     .read = [](const DayResult& d) { return Sum(d, d.call_oi); }},
    {.key = "put_oi",
     .caption = text::kPutOi,
     .form = Form::kCount,
     .outputs = kSumFigure,
     .board_column = 9,
     .read = [](const DayResult& d) { return Sum(d, d.put_oi); }},
    {.key = "call_volume",
     .caption = text::kCallVolume,
     .form = Form::kCount,
     .outputs = kSumFigure,
     .read = [](const DayResult& d) { return Sum(d, d.call_volume); }},
    {.key = "put_volume",
     .caption = text::kPutVolume,
     .form = Form::kCount,
     .outputs = kSumFigure,
     .read = [](const DayResult& d) { return Sum(d, d.put_volume); }},
    {.key = "atm_vol",
     .caption = text::kAtmVol,
     .form = Form::kExact,
     .outputs = kIndicators | kHistory | kCompared,
     .feed_column = 10,
     .board_column = 10,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.atm_vol); }},
    {.key = "rr25",
     .form = Form::kExact,
     .outputs = kHistory,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.rr25); }},
    {.key = "bf25",
     .form = Form::kExact,
     .outputs = kHistory,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.bf25); }},
    {.key = "expected_move",
     .form = Form::kExact,
     .outputs = kIndicators | kHistory | kCompared,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.expected_move); }},
    {.key = "prob_above_upper_limit",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_above_upper_limit); }},
    {.key = "prob_touch_upper_limit",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_touch_upper_limit); }},
    {.key = "prob_above_upper_border",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_above_upper_border); }},
    {.key = "prob_touch_upper_border",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_touch_upper_border); }},
    {.key = "prob_below_bottom_border",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_below_bottom_border); }},
    {.key = "prob_touch_bottom_border",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_touch_bottom_border); }},
    {.key = "prob_below_bottom_limit",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_below_bottom_limit); }},
    {.key = "prob_touch_bottom_limit",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_touch_bottom_limit); }},
    {.key = "prob_above_call_level",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_above_call_level); }},
    {.key = "prob_touch_call_level",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_touch_call_level); }},
    {.key = "prob_below_put_level",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_below_put_level); }},
    {.key = "prob_touch_put_level",
     .form = Form::kExact,
     .outputs = kIndicators,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.prob_touch_put_level); }},
    {.key = "band_low",
     .form = Form::kText,
     .feed_column = 11,
     .read = [](const DayResult& d) { return FigureValue::FromText(d.band_low); }},
    {.key = "band_high",
     .form = Form::kText,
     .feed_column = 12,
     .read = [](const DayResult& d) { return FigureValue::FromText(d.band_high); }},
    {.key = "call_level_as_of",
     .outputs = kHistory,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.call_level_as_of); }},
    {.key = "put_level_as_of",
     .outputs = kHistory,
     .read = [](const DayResult& d) { return FigureValue::FromPanel(d.put_level_as_of); }},
    {.key = "cm30",
     .form = Form::kExact,
     .outputs = kSymbol,
     .feed_column = 13,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.cm30); }},
    {.key = "iv_rank",
     .form = Form::kExact,
     .outputs = kSymbol,
     .feed_column = 14,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.iv_rank); }},
    {.key = "iv_percentile",
     .form = Form::kExact,
     .outputs = kSymbol,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.iv_percentile); }},
    {.key = "rv20",
     .form = Form::kExact,
     .outputs = kSymbol,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.rv20); }},
    {.key = "vrp20",
     .form = Form::kExact,
     .outputs = kSymbol,
     .read = [](const DayResult& d) { return FigureValue::FromExact(d.vrp20); }},
};

constexpr std::size_t kFigureCount = std::size(kCatalogue);

}  // namespace

std::span<const FigureEntry> FigureCatalogue() {
    return kCatalogue;
}

const FigureEntry& Figure(FigureId id) {
    return kCatalogue[static_cast<std::size_t>(id)];
}

std::optional<FigureId> FigureByKey(std::string_view key) {
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (kCatalogue[i].key == key) {
            return static_cast<FigureId>(i);
        }
    }
    return std::nullopt;
}

const std::vector<FigureId>& FiguresIn(std::uint8_t output) {
    // Every combination of the six outputs, made once.
    static const std::array<std::vector<FigureId>, 64> all = [] {
        std::array<std::vector<FigureId>, 64> lists;
        for (std::size_t mask = 0; mask < lists.size(); ++mask) {
            for (std::size_t i = 0; i < kFigureCount; ++i) {
                if ((kCatalogue[i].outputs & mask) != 0) {
                    lists[mask].push_back(static_cast<FigureId>(i));
                }
            }
        }
        return lists;
    }();
    return all[output & 63U];
}

std::vector<FigureId> FiguresByPosition(std::uint8_t FigureEntry::*position) {
    std::vector<FigureId> ids;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (kCatalogue[i].*position != 0) {
            ids.push_back(static_cast<FigureId>(i));
        }
    }
    std::stable_sort(ids.begin(), ids.end(), [position](FigureId a, FigureId b) {
        return Figure(a).*position < Figure(b).*position;
    });
    return ids;
}

std::vector<FigureValue> FigureValues(const DayResult& day) {
    std::vector<FigureValue> values;
    values.reserve(kFigureCount);
    for (const FigureEntry& entry : kCatalogue) {
        values.push_back(entry.read(day));
    }
    return values;
}

}  // namespace zarvex::analytics
