#include "ui/chart/histogram_density.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace zarvex::ui {

void PaintHistogramDensity(QPainter& painter, const HistogramScale& scale,
                           std::vector<std::pair<double, double>> curve, std::uint32_t colour) {
    std::erase_if(curve, [](const auto& point) {
        return !std::isfinite(point.first) || !std::isfinite(point.second);
    });
    if (scale.empty || scale.single_row || curve.size() < 2) {
        return;
    }
    std::sort(curve.begin(), curve.end());
    double highest = 0.0;
    for (const auto& point : curve) {
        highest = std::max(highest, point.second);
    }
    if (!(highest > 0.0)) {
        return;
    }
    const double factor = PowerOfTen(scale.ds);
    const double lowest_price = static_cast<double>(scale.kmin) / factor;
    const double highest_price = static_cast<double>(scale.kmax) / factor;
    const int left = scale.ValueToX(scale.vmin);
    const double width = 0.9 * static_cast<double>(scale.ValueToX(scale.vmax) - left);
    QPainterPath path;
    bool started = false;
    for (const auto& [price, value] : curve) {
        if (price < lowest_price || price > highest_price) {
            started = false;
            continue;
        }
        // Rows of prices the way the bars find theirs, through the middle of the pixel row (as
        // the bars, drawn without antialiasing, fill it), so a peak stands level with its bar.
        const QPointF at(left + 0.5 + width * std::max(0.0, value) / highest,
                         scale.StrikeToY(std::llround(price * factor)) + 0.5);
        if (started) {
            path.lineTo(at);
        } else {
            path.moveTo(at);
            started = true;
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor::fromRgb(static_cast<QRgb>(colour)), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

}  // namespace zarvex::ui
