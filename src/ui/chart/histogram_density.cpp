#include "ui/chart/histogram_density.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace zarvex::ui {

namespace {

const QColor kCurve(0x6A, 0x1F, 0xBF, 200);

}  // namespace

void PaintHistogramDensity(QPainter& painter, const HistogramScale& scale,
                           std::vector<std::pair<double, double>> curve) {
    curve.erase(std::remove_if(curve.begin(), curve.end(),
                               [](const auto& point) {
                                   return !std::isfinite(point.first) ||
                                          !std::isfinite(point.second);
                               }),
                curve.end());
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
    const int right = scale.ValueToX(scale.vmax);
    const double width = 0.9 * static_cast<double>(right - left);
    QPainterPath path;
    bool started = false;
    for (const auto& [price, value] : curve) {
        if (price < lowest_price || price > highest_price) {
            started = false;
            continue;
        }
        const QPointF at(left + width * std::max(0.0, value) / highest,
                         scale.StrikeToY(std::llround(price * factor)));
        if (started) {
            path.lineTo(at);
        } else {
            path.moveTo(at);
            started = true;
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kCurve, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

}  // namespace zarvex::ui
