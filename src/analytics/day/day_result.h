#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/day/day_context.h"
#include "analytics/panel_number.h"
#include "common/date.h"

namespace zarvex::analytics {

// Everything one day gives of one contract: the panel's figures with the decimals of its
// cells, max pain, the day's open interest and volume, and what the day's premiums imply. The
// catalogue (figure_catalogue.h) reads every output's figures from here; the history keeps one
// per day and the board one for the day and one for the previous day.
struct DayResult : DayFigureValues {
    common::Date day = common::kInvalidDate;
    double forward_point = 0.0;

    PanelNumber max_pain;
    double max_pain_strike = 0.0;

    // SUM(oi) and SUM(volume) of the day's CALL and of its PUT rows of the contract.
    std::int64_t call_oi = 0;
    std::int64_t put_oi = 0;
    std::int64_t call_volume = 0;
    std::int64_t put_volume = 0;
    // A SUM of the day overflowed: the sums above are no numbers and the ratios are empty.
    bool overflow = false;

    // What the day's premiums imply (analytics/volatility); empty where there is nothing.
    std::optional<double> atm_vol;
    std::optional<double> rr25;
    std::optional<double> bf25;
    std::optional<double> expected_move;
    // The one-sigma band of the expected move, as the panel's prices; empty without an
    // expected move.
    std::string band_low;
    std::string band_high;
    // The chances of finishing beyond the panel's borders, limits and levels (only the shown
    // day of `indicators` asks for them).
    std::optional<double> prob_above_upper_limit;
    std::optional<double> prob_above_upper_border;
    std::optional<double> prob_below_bottom_border;
    std::optional<double> prob_below_bottom_limit;
    std::optional<double> prob_above_call_level;
    std::optional<double> prob_below_put_level;
    // The chances of touching each of them before the expiration (the shown day of
    // `indicators` alone).
    std::optional<double> prob_touch_upper_limit;
    std::optional<double> prob_touch_upper_border;
    std::optional<double> prob_touch_bottom_border;
    std::optional<double> prob_touch_bottom_limit;
    std::optional<double> prob_touch_call_level;
    std::optional<double> prob_touch_put_level;

    // The CALL and PUT levels from the rows stored up to this day only: what the panel showed
    // on that evening (a contract's history fills them). call_level and put_level pour every
    // stored day of the contract, later ones included, as the panel does today.
    PanelNumber call_level_as_of;
    PanelNumber put_level_as_of;

    // The symbol's volatility set against its own stored days (`vol --history`): one value for
    // every contract of the symbol on the day, which the board fills in from the volatility
    // store; empty where it is not defined (no rank before 20 days with a cm30).
    std::optional<double> cm30;
    std::optional<double> iv_rank;
    std::optional<double> iv_percentile;
    std::optional<double> rv20;
    std::optional<double> vrp20;
};

}  // namespace zarvex::analytics
