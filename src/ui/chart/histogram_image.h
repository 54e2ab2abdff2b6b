#pragma once

#include <QImage>
#include <QSize>

#include "ui/chart/histogram_data.h"

namespace zarvex::ui {

// The chart as the desktop program draws it, as an image of the given size. Needs a
// QGuiApplication (fonts).
QImage RenderHistogramImage(const HistogramData& data, QSize size,
                            const HistogramColours& colours = {});

}  // namespace zarvex::ui
