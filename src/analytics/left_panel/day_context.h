#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/date.h"

namespace zarvex::analytics {

// The two long tables of the left panel (significant levels and fractals) have 51 rows, and
// the lists behind them hold at most 51 entries.
inline constexpr int kPanelTableRows = 51;

// The state of one left panel: which quote database, day and contract it shows, the settings
// it calculates with, and every text it has calculated. The model owns it; views and the right
// panel read it. Texts are exactly what the panel's cells show.
struct DayContext {
    std::filesystem::path database_file;
    // The first three characters of the last twelve of the database file name (EUR_data.lql).
    std::string symbol;
    int price_type = 0;  // 0 Futures, 1 Standart, 2 Forex
    int fp_switch = 0;   // 1 = use forward points
    // The forward point the latest calculation used.
    double forward_point = 0.0;

    // The selected trading day as "%dd.%mm.%yyyy"; empty while no day with data is known.
    std::string date;
    std::string contract;

    // The user's SQL fragments, appended to the queries as they are.
    std::string level_cond;
    std::string fractal_main_cond;
    std::string fractal_near_cond;

    std::string expiration;
    std::string call_level;
    std::string put_level;

    std::string width_market;
    std::string delta_balance;
    std::string upper_limit;
    std::string upper_border;
    std::string channel_center;
    std::string bottom_border;
    std::string bottom_limit;
    // The strikes of the borders and limits rounded to whole numbers; 0 when there is none.
    std::int64_t upper_border_strike = 0;
    std::int64_t bottom_border_strike = 0;
    std::int64_t upper_limit_strike = 0;
    std::int64_t bottom_limit_strike = 0;

    std::string ratio_oi;
    std::string ratio_volume;
    std::string ratio_avg_price;

    // Distinct texts in the order found, at most kPanelTableRows each.
    std::vector<std::string> put_levels;
    std::vector<std::string> call_levels;
    std::vector<std::string> put_fractals;
    std::vector<std::string> call_fractals;

    // The selected day as a date, or common::kInvalidDate while there is none.
    common::Date DateValue() const { return common::ParseDate(date, "%dd.%mm.%yyyy"); }
};

}  // namespace zarvex::analytics
