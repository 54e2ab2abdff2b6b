#pragma once

#include "analytics/right_panel/right_panel_day.h"
#include "settings/settings.h"
#include "storage/database.h"

namespace zarvex::analytics {

// The axis range of one histogram, in shown prices.
struct HistogramBounds {
    double lower = 0.0;
    double upper = 0.0;
};

// The scale step: by the display scale, the upper bound from a CALL strike and the lower bound
// from a PUT strike of the day and contract (the strikes of the largest open interest, of the
// market limits, or the outermost strikes with open interest), each converted with its premium
// to the histogram's price type. A side without such a strike is 0.0, and so are both for a
// display scale outside 0..2. Under Forex the inverted quotations (JPY, CHF, CAD) exchange the
// two bounds so that lower stays the lower price.
HistogramBounds ComputeHistogramBounds(const storage::Database& db, const RightPanelDay& day,
                                       const settings::HistogramSettings& histogram);

}  // namespace zarvex::analytics
