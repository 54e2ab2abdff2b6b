#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "analytics/panel_number.h"
#include "common/date.h"

namespace zarvex::analytics {

// The two long tables of the left panel (significant levels and fractals) have 51 rows, and
// the lists behind them hold at most 51 entries.
inline constexpr int kPanelTableRows = 51;

// The figures of a day and contract that need no user condition, each with the decimals its
// cell shows: what the left panel shows beside its two long tables, and what a contract's
// history keeps for every day.
struct DayFigureValues {
    // Kept as the quote database stores it: it is a date text, not a number of the panel.
    std::string expiration;
    // One blank when the busiest strike is not positive.
    PanelNumber call_level;
    PanelNumber put_level;

    PanelNumber market_width;
    PanelNumber delta_balance;
    PanelNumber upper_limit;
    PanelNumber upper_border;
    PanelNumber channel_center;
    PanelNumber bottom_border;
    PanelNumber bottom_limit;
    // The strikes of the borders and limits rounded to whole numbers; 0 when there is none.
    std::int64_t upper_border_strike = 0;
    std::int64_t bottom_border_strike = 0;
    std::int64_t upper_limit_strike = 0;
    std::int64_t bottom_limit_strike = 0;

    PanelNumber ratio_oi;
    PanelNumber ratio_volume;
    PanelNumber ratio_avg_price;
};

// The state of one left panel: which quote database, day and contract it shows, and every
// number it has calculated with the decimals its cell shows. The settings it calculates with
// are the instrument's own (AnalysisInput), read where they are used. The model owns it; views
// and the right panel read it. The texts of the cells are made from it in one place, PanelTexts
// (left_panel_cells.h).
struct DayContext : DayFigureValues {
    std::filesystem::path database_file;
    // The first three characters of the last twelve of the database file name (EUR_data.lql).
    std::string symbol;
    // The forward point the latest calculation used.
    double forward_point = 0.0;

    // The selected trading day; kInvalidDate while no day with data is known. Its text
    // ("%dd.%mm.%yyyy", common::DayText) is what the queries bind.
    common::Date date = common::kInvalidDate;
    std::string contract;

    // Why the latest levels or fractals calculation stopped on one of the user's conditions,
    // naming it; empty when it did not.
    std::string condition_failure;

    // Distinct prices in the order found, at most kPanelTableRows each.
    std::vector<PanelNumber> put_levels;
    std::vector<PanelNumber> call_levels;
    std::vector<PanelNumber> put_fractals;
    std::vector<PanelNumber> call_fractals;
};

}  // namespace zarvex::analytics
