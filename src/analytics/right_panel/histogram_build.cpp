#include "analytics/right_panel/histogram_build.h"

#include "analytics/right_panel/histogram_arrays.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel/right_panel_texts.h"

namespace zarvex::analytics {

HistogramData BuildHistogram(const storage::Database& db, const RightPanelDay& day,
                             const settings::HistogramSettings& histogram, int n,
                             const common::Host& host) {
    const common::ScopedUiLock lock(host.lock);

    host.ShowStatus(HistogramStepStartText(host, HistogramStep::kScale, n));
    const HistogramBounds bounds = ComputeHistogramBounds(db, day, histogram);
    host.ShowStatus(HistogramStepEndText(host, HistogramStep::kScale, n));

    host.ShowStatus(HistogramStepStartText(host, HistogramStep::kDataArrays, n));
    HistogramData data = BuildHistogramArrays(db, day, histogram, bounds, host);
    host.ShowStatus(HistogramStepEndText(host, HistogramStep::kDataArrays, n));
    return data;
}

}  // namespace zarvex::analytics
