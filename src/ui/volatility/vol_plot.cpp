#include "ui/volatility/vol_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zarvex::ui {

VolPlot::VolPlot(QRect area, double x_low, double x_high, double y_low, double y_high)
    : plot_(area.adjusted(48, 18, -8, -18)),
      x_low_(x_low),
      x_high_(x_high > x_low ? x_high : x_low + 1.0),
      y_low_(y_low),
      y_high_(y_high > y_low ? y_high : y_low + 1.0) {}

QPointF VolPlot::Map(double x, double y) const {
    const double px = plot_.left() + (x - x_low_) / (x_high_ - x_low_) * plot_.width();
    const double py = plot_.bottom() - (y - y_low_) / (y_high_ - y_low_) * plot_.height();
    return {px, py};
}

double VolPlot::XAt(double pixel) const {
    return x_low_ + (pixel - plot_.left()) / plot_.width() * (x_high_ - x_low_);
}

void VolPlot::DrawFrame(QPainter& painter, const std::function<QString(double)>& x_label,
                        const std::function<QString(double)>& y_label, const QString& title) const {
    painter.save();
    painter.setPen(QColor(0xDD, 0xDD, 0xDD));
    const QFontMetrics metrics(painter.font());
    for (int i = 0; i <= 4; ++i) {
        const double x = x_low_ + (x_high_ - x_low_) * i / 4.0;
        const double y = y_low_ + (y_high_ - y_low_) * i / 4.0;
        const QPointF vertical = Map(x, y_low_);
        const QPointF horizontal = Map(x_low_, y);
        painter.setPen(QColor(0xDD, 0xDD, 0xDD));
        painter.drawLine(QPointF(vertical.x(), plot_.top()), QPointF(vertical.x(), plot_.bottom()));
        painter.drawLine(QPointF(plot_.left(), horizontal.y()),
                         QPointF(plot_.right(), horizontal.y()));
        painter.setPen(Qt::black);
        const QString xs = x_label(x);
        painter.drawText(QPointF(vertical.x() - metrics.horizontalAdvance(xs) / 2.0,
                                 plot_.bottom() + metrics.ascent() + 3),
                         xs);
        const QString ys = y_label(y);
        painter.drawText(QPointF(plot_.left() - metrics.horizontalAdvance(ys) - 4,
                                 horizontal.y() + metrics.ascent() / 2.0 - 1),
                         ys);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot_);
    painter.drawText(QPointF(plot_.left(), plot_.top() - 5), title);
    painter.restore();
}

std::pair<double, double> PaddedRange(const std::vector<double>& values) {
    if (values.empty()) {
        return {0.0, 1.0};
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    double span = *high - *low;
    if (span <= 0.0) {
        span = std::max(std::fabs(*low) * 0.1, 1e-3);
        return {*low - span, *high + span};
    }
    return {*low - span / 20.0, *high + span / 20.0};
}

QString Percent(double vol) {
    return QString::number(vol * 100.0, 'f', 2) + QStringLiteral("%");
}

}  // namespace zarvex::ui
