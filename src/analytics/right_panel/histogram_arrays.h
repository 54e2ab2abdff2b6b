#pragma once

#include "analytics/right_panel/histogram_data.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel/right_panel_day.h"
#include "common/host.h"
#include "common/price_type.h"
#include "settings/settings.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The strike grid of a day and contract: origin + k x step for k = 0 .. count - 1, from the
// lowest PUT strike to the highest CALL strike (within the bounds, widened by one step each
// way, for "Standart"). count 0: the day has no strikes and no histogram.
struct StrikeGrid {
    double origin = 0.0;
    double step = 0.0;
    std::size_t count = 0;
};
StrikeGrid ComputeStrikeGrid(const storage::Database& db, const RightPanelDay& day,
                             const HistogramBounds& bounds, common::PriceType price_type);

// The axis of data set to the grid, and the values and premiums of the day's rows that meet
// the bar condition at the positions that read as their strikes. The grid may be another
// day's: rows whose strikes are not on it are left out. A failed row query sets rows_failed.
void FillStrikeValues(const storage::Database& db, const RightPanelDay& day,
                      const settings::HistogramSettings& histogram, const HistogramBounds& bounds,
                      const StrikeGrid& grid, HistogramData& data, const common::Host& host);

// The data arrays of one histogram on the bounds its scale step found:
// - the strike grid from the lowest PUT strike to the highest CALL strike of the day and
//   contract (within the bounds, widened by one step each way, for the price type "Standart");
// - for every option row that meets the bar condition, its premium and the displayed
//   parameter's value at the grid position that reads as its strike (a later row for the same
//   strike wins; a strike off the grid shows no bar);
// - for Futures and Forex, the re-binning onto the price axis (rebinning.h).
// A day and contract without strikes give an empty histogram. A bar condition that is not
// valid SQL leaves the values empty and sets rows_failed. host's pump runs after every
// row so that the window stays painted.
HistogramData BuildHistogramArrays(const storage::Database& db, const RightPanelDay& day,
                                   const settings::HistogramSettings& histogram,
                                   const HistogramBounds& bounds, const common::Host& host);

// The same without the re-binning: the values and premiums on the strike grid, whatever the
// price type.
HistogramData BuildStrikeArrays(const storage::Database& db, const RightPanelDay& day,
                                const settings::HistogramSettings& histogram,
                                const HistogramBounds& bounds, const common::Host& host);

// The value a row gives to a bar under the displayed parameter: oi, doi (negated when the
// sign reads "-1"), volume, or premium x oi / premium x volume rounded to cents half away from
// zero. 0 for a parameter outside 0..4 and for anything that is not a finite number.
double BarValue(int param, double price, std::int64_t oi, std::int64_t doi, std::int64_t volume,
                std::string_view sign);

}  // namespace zarvex::analytics
