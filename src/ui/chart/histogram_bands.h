#pragma once

#include <vector>

#include "ui/chart/histogram_scale.h"

class QPainter;

namespace zarvex::ui {

// Shades the plot between the -1 sigma and +1 sigma prices of the expected move, and more
// lightly out to -2 and +2 sigma, so that the bars read against the market's own range.
// bands: the four prices on the chart's axis, in any order of the two sides (an inverted Forex
// quotation runs the other way); anything but four finite prices draws nothing. Parts beyond
// the plot are cut off.
void PaintHistogramBands(QPainter& painter, const HistogramScale& scale,
                         const std::vector<double>& bands);

}  // namespace zarvex::ui
