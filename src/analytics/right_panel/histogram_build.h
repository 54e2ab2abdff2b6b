#pragma once

#include "analytics/right_panel/histogram_data.h"
#include "analytics/right_panel/right_panel_day.h"
#include "common/host.h"
#include "settings/settings.h"
#include "storage/database.h"

namespace zarvex::analytics {

// Histogram n (1..4) of the day with its settings, as the panel builds it: the scale step and
// then the data arrays, each announced in the status bar with the number n, under the UI lock.
// The drawing step is the chart's (its texts: HistogramStepStartText in right_panel_texts.h).
HistogramData BuildHistogram(const storage::Database& db, const RightPanelDay& day,
                             const settings::HistogramSettings& histogram, int n,
                             const common::Host& host);

}  // namespace zarvex::analytics
