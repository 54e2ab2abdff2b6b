#include "ui/chart/histogram_bands.h"

#include <QColor>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zarvex::ui {

namespace {

// Warm and see-through, so the grid and the bars stay as they are.
const QColor kInner(255, 196, 64, 70);
const QColor kOuter(255, 196, 64, 32);

}  // namespace

void PaintHistogramBands(QPainter& painter, const HistogramScale& scale,
                         const std::vector<double>& bands) {
    if (scale.empty || scale.single_row || bands.size() != 4 ||
        !std::all_of(bands.begin(), bands.end(), [](double b) { return std::isfinite(b); })) {
        return;
    }
    const double factor = PowerOfTen(scale.ds);
    const double lowest = static_cast<double>(scale.kmin) / factor;
    const double highest = static_cast<double>(scale.kmax) / factor;
    const int left = scale.ValueToX(scale.vmin);
    const int right = scale.ValueToX(scale.vmax);
    const auto strip = [&](double a, double b, const QColor& colour) {
        const double low = std::clamp(std::min(a, b), lowest, highest);
        const double high = std::clamp(std::max(a, b), lowest, highest);
        if (high <= low) {
            return;
        }
        const int top = scale.StrikeToY(std::llround(high * factor));
        const int bottom = scale.StrikeToY(std::llround(low * factor));
        painter.fillRect(left, top, right - left, bottom - top + 1, colour);
    };
    strip(bands[0], bands[1], kOuter);
    strip(bands[1], bands[2], kInner);
    strip(bands[2], bands[3], kOuter);
}

}  // namespace zarvex::ui
