#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "ui/chart/histogram_scale.h"

class QPainter;

namespace zarvex::ui {

// The settlement density the premiums imply as a curve over the bars, on a scale of its own
// (its highest value at nine tenths of the plot's width): the shape is what is read against the
// open interest, not its units. curve: (price on the chart's axis, density >= 0), in any order
// of the prices (an inverted Forex quotation runs the other way); points beyond the plot are cut
// off, fewer than two or none above zero draw nothing. Painted before the compared day's
// outlines and the price lines, which stay whole over it.
void PaintHistogramDensity(QPainter& painter, const HistogramScale& scale,
                           std::vector<std::pair<double, double>> curve, std::uint32_t colour);

}  // namespace zarvex::ui
