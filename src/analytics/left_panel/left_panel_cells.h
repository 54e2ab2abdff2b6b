#pragma once

#include <array>
#include <string>
#include <vector>

#include "analytics/day/day_context.h"

namespace zarvex::analytics {

using PanelTableColumn = std::array<std::string, kPanelTableRows>;

// The figures the left panel shows for a day and contract: every cell but the two long tables.
struct PanelFigures {
    // "Expiration", "CALL level", "PUT level"
    std::string expiration;
    std::string call_level;
    std::string put_level;
    // "Market borders", rows in their order on screen
    std::string market_width;
    std::string delta_balance;
    std::string upper_limit;
    std::string upper_border;
    std::string channel_center;
    std::string bottom_border;
    std::string bottom_limit;
    // "Ratio PUT/CALL:"
    std::string ratio_oi;
    std::string ratio_volume;
    std::string ratio_avg_price;
};

// What the cells of the left panel show right now: written by "fill the tables", the two long
// tables emptied by "clear the tables". A view copies these texts into its widgets as they are.
struct LeftPanelCells : PanelFigures {
    // "Significant levels:" and "Significant fractals:", 51 rows, CALL and PUT columns
    PanelTableColumn level_call;
    PanelTableColumn level_put;
    PanelTableColumn fractal_call;
    PanelTableColumn fractal_put;
};

// The entries a long-table column shows, top to bottom: the list without entries that are
// empty after trimming or read "0.0", at most kPanelTableRows.
std::vector<std::string> ShownEntries(const std::vector<std::string>& entries);

// The texts of a list of numbers, in its order.
std::vector<std::string> NumberTexts(const std::vector<PanelNumber>& numbers);

// What the cells show for the context: its numbers with their decimals, the expiration as
// stored, the long tables from the top of their lists. The one place where the panel's
// numbers become texts; the widgets, the command line and the history all show these.
LeftPanelCells PanelTexts(const DayContext& context);
// The same without the two long tables.
PanelFigures PanelFigureTexts(const DayFigureValues& figures);

}  // namespace zarvex::analytics
