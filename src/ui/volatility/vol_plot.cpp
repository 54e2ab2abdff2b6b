#include "ui/volatility/vol_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zarvex::ui {

namespace {

ChartAxis AxisOf(const VolPlot::Axis& axis, double pixels, double min_gap,
                 std::function<double(const std::string&)> extent) {
    AxisRequest request;
    request.low = axis.low;
    request.high = axis.high;
    request.unit = axis.unit;
    request.pixels = pixels;
    request.min_gap = min_gap;
    request.label_extent = std::move(extent);
    request.label = axis.label;
    return MakeChartAxis(request);
}

}  // namespace

VolPlot::VolPlot(QRect area, Axis x, Axis y, const QFontMetrics& metrics)
    : plot_(area.adjusted(48, 18, -8, -18)), metrics_(metrics) {
    const double line = metrics.height();
    y_ = AxisOf(y, plot_.height(), std::max(24.0, line * 1.6),
                [line](const std::string&) { return line; });
    x_ = AxisOf(x, plot_.width(), 56.0, [&metrics](const std::string& label) {
        return static_cast<double>(metrics.horizontalAdvance(QString::fromStdString(label)));
    });
}

QPointF VolPlot::Map(double x, double y) const {
    return {plot_.left() + x_.Share(x) * plot_.width(),
            plot_.bottom() - y_.Share(y) * plot_.height()};
}

double VolPlot::XAt(double pixel) const {
    return x_.low + (pixel - plot_.left()) / plot_.width() * (x_.high - x_.low);
}

void VolPlot::DrawFrame(QPainter& painter, const QString& title) const {
    painter.save();
    const QColor grid(0xDD, 0xDD, 0xDD);
    for (const AxisTick& tick : x_.ticks) {
        const double px = Map(tick.value, y_.low).x();
        painter.setPen(grid);
        painter.drawLine(QPointF(px, plot_.top()), QPointF(px, plot_.bottom()));
        if (!tick.label.empty()) {
            const QString text = QString::fromStdString(tick.label);
            painter.setPen(Qt::black);
            // The last label stays inside the chart's own area.
            const double w = metrics_.horizontalAdvance(text);
            const double left = std::min(px - w / 2.0, plot_.right() + 8.0 - w);
            painter.drawText(QPointF(left, plot_.bottom() + metrics_.ascent() + 3), text);
        }
    }
    for (const AxisTick& tick : y_.ticks) {
        const double py = Map(x_.low, tick.value).y();
        painter.setPen(grid);
        painter.drawLine(QPointF(plot_.left(), py), QPointF(plot_.right(), py));
        if (!tick.label.empty()) {
            const QString text = QString::fromStdString(tick.label);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(plot_.left() - metrics_.horizontalAdvance(text) - 4,
                                     py + metrics_.ascent() / 2.0 - 1),
                             text);
        }
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

QString TitleBesideLegend(const QString& title, const QStringList& legend, const QRect& plot,
                          const QFontMetrics& metrics) {
    int room = plot.width() - 8;
    for (const QString& name : legend) {
        room -= metrics.horizontalAdvance(name) + 18;
    }
    return metrics.elidedText(title, Qt::ElideRight, std::max(room, 0));
}

QString Percent(double vol) {
    return QString::number(vol * 100.0, 'f', 2) + QStringLiteral("%");
}

}  // namespace zarvex::ui
