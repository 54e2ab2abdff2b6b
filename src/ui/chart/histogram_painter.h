#pragma once

#include <QFont>
#include <QSize>

#include "analytics/right_panel/histogram_data.h"
#include "ui/chart/chart_overlay.h"
#include "ui/chart/histogram_colours.h"
#include "ui/chart/histogram_scale.h"

class QPainter;

namespace zarvex::ui {

// The chart's faces: axis labels and strike labels, both "Nina" 8 or the platform's stand-in.
struct HistogramFonts {
    QFont axis;
    QFont label;
};
HistogramFonts DefaultHistogramFonts();

// Draws one chart of scale.width x (scale.height + scale.legend_band) at the painter's origin:
// clears it to the background and, unless the histogram is empty, draws the legend above the
// plot, then the overlay's bands, grid, labels, zero line, frame, bars, the density's curve,
// the compared day's outlines and the price lines. The chart widget and the command-line picture
// both draw through here.
void PaintHistogram(QPainter& painter, const analytics::HistogramData& data,
                    const ChartOverlay& overlay, const HistogramScale& scale,
                    const HistogramColours& colours, const HistogramFonts& fonts);

// Height of the band above the plot that holds the legend (CALL and PUT, the compared dates,
// the price lines) and the notes, for a chart of that width; 0 for an empty histogram.
int LegendBand(const analytics::HistogramData& data, const ChartOverlay& overlay, int width,
               const HistogramFonts& fonts);

// The scale of the plot of a canvas of that size: what the legend band leaves.
HistogramScale ScaleForCanvas(const analytics::HistogramData& data, const ChartOverlay& overlay,
                              const HistogramAnalysis& analysis, QSize size,
                              const HistogramFonts& fonts);

// Analyses and scales the histogram for the size, then paints.
void PaintHistogram(QPainter& painter, QSize size, const analytics::HistogramData& data,
                    const ChartOverlay& overlay, const HistogramColours& colours,
                    const HistogramFonts& fonts);

}  // namespace zarvex::ui
