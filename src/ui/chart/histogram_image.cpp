#include "ui/chart/histogram_image.h"

#include <QPainter>

#include "ui/chart/histogram_painter.h"

namespace zarvex::ui {

QImage RenderHistogramImage(const analytics::HistogramData& data, const ChartOverlay& overlay,
                            QSize size, const HistogramColours& colours) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintHistogram(painter, size, data, overlay, colours, DefaultHistogramFonts());
    return image;
}

}  // namespace zarvex::ui
