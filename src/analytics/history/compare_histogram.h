#pragma once

#include <string>
#include <vector>

#include "analytics/right_panel/histogram_data.h"
#include "analytics/right_panel/right_panel_day.h"
#include "common/host.h"
#include "settings/settings.h"
#include "storage/database.h"

namespace zarvex::analytics {

// Another day's values of a histogram on the shown day's axis, for drawing over its bars.
struct CompareArrays {
    std::string date;          // the other day, "%dd.%mm.%yyyy"
    std::vector<double> put;   // as long as the shown histogram's axis
    std::vector<double> call;  // zeros where the other day has nothing
    bool rows_failed = false;  // the other day's rows could not be read (a bad bar condition)
};

// The other day's rows placed by the shown histogram's own rules, with the same parameter, bar
// condition and price type: matched by strike on the shown day's strike grid (within the shown
// day's bounds for "Standart"), then, for Futures and Forex, moved to their shown price with the
// other day's premiums and forward point onto the shown day's price bins. The axis, scale and
// bounds stay the shown day's; rows that fall outside them are dropped.
// shown_rows and other_rows: where the two days' rows are read (the file, or a copy of each
// day and contract); shown: the histogram as built for `day` with `histogram`.
CompareArrays CompareHistogram(const storage::Database& shown_rows,
                               const storage::Database& other_rows, const RightPanelDay& day,
                               const RightPanelDay& other_day,
                               const settings::HistogramSettings& histogram,
                               const HistogramData& shown, const common::Host& host);

}  // namespace zarvex::analytics
