#include "analytics/history/compare_histogram.h"

#include <algorithm>

#include "analytics/prices.h"
#include "analytics/right_panel/histogram_arrays.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel/rebinning.h"

namespace zarvex::analytics {

CompareArrays CompareHistogram(const storage::Database& shown_rows,
                               const storage::Database& other_rows, const RightPanelDay& day,
                               const RightPanelDay& other_day,
                               const settings::HistogramSettings& histogram,
                               const HistogramData& shown, const common::Host& host) {
    CompareArrays compare;
    compare.date = other_day.date;
    compare.put.assign(shown.Size(), 0.0);
    compare.call.assign(shown.Size(), 0.0);
    if (shown.axis.empty()) {
        return compare;
    }
    // The shown day's own strike grid: its bounds are those of the histogram, and the grid
    // follows from them and the shown day's strikes as it did when the histogram was built.
    const HistogramBounds bounds{shown.lower_bound, shown.upper_bound};
    const StrikeGrid grid = ComputeStrikeGrid(shown_rows, day, bounds,
                                              common::PriceTypeFromCode(histogram.market_type));
    if (grid.count == 0) {
        return compare;
    }
    HistogramData strikes;
    strikes.lower_bound = bounds.lower;
    strikes.upper_bound = bounds.upper;
    FillStrikeValues(other_rows, other_day, histogram, bounds, grid, strikes, host);
    compare.rows_failed = strikes.rows_failed;
    if (!RebinsOnPriceAxis(common::PriceTypeFromCode(histogram.market_type))) {
        // The shown axis is this very grid.
        const std::size_t count = std::min(strikes.Size(), shown.Size());
        std::copy_n(strikes.put.begin(), count, compare.put.begin());
        std::copy_n(strikes.call.begin(), count, compare.call.begin());
        return compare;
    }
    PlaceOnPriceBins(strikes, other_day, common::PriceTypeFromCode(histogram.market_type), shown,
                     compare.put, compare.call);
    return compare;
}

}  // namespace zarvex::analytics
