#pragma once

#include <QImage>
#include <QSize>

#include "analytics/right_panel/histogram_data.h"
#include "ui/chart/chart_overlay.h"
#include "ui/chart/histogram_colours.h"

namespace zarvex::ui {

// The chart as the desktop program draws it, as an image of the given size. Needs a
// QGuiApplication (fonts).
QImage RenderHistogramImage(const analytics::HistogramData& data, const ChartOverlay& overlay,
                            QSize size, const HistogramColours& colours = {});

}  // namespace zarvex::ui
