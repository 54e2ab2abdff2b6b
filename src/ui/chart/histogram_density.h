#pragma once

#include <utility>
#include <vector>

#include "ui/chart/histogram_scale.h"

class QPainter;

namespace zarvex::ui {

// The settlement density the premiums imply as a curve over the bars, on a scale of its own
// (its highest value near the plot's right edge): the shape is what is read against the open
// interest, not its units. curve: (price on the chart's axis, density >= 0), in any order of
// the prices; points beyond the plot are cut off, fewer than two draw nothing.
void PaintHistogramDensity(QPainter& painter, const HistogramScale& scale,
                           std::vector<std::pair<double, double>> curve);

}  // namespace zarvex::ui
