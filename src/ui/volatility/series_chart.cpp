#include "ui/volatility/series_chart.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <utility>

#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

SeriesChart::SeriesChart(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void SeriesChart::SetData(std::vector<double> x, std::vector<Pane> panes, AxisUnit x_unit,
                          std::function<std::string(double)> x_label, int marked) {
    x_ = std::move(x);
    panes_ = std::move(panes);
    x_unit_ = x_unit;
    x_label_ = std::move(x_label);
    marked_ = marked;
    update();
}

QImage SeriesChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void SeriesChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size());
}

void SeriesChart::Paint(QPainter& painter, QSize size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xFF, 0xFF, 0xFA));
    if (panes_.empty()) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(font());
    const auto [x_low, x_high] = PaddedRange(x_);
    const int pane_height = size.height() / static_cast<int>(panes_.size());
    for (std::size_t p = 0; p < panes_.size(); ++p) {
        const Pane& pane = panes_[p];
        std::vector<double> ys;
        for (const Series& series : pane.series) {
            for (const auto& value : series.values) {
                if (value) {
                    ys.push_back(*value);
                }
            }
        }
        const auto [y_low, y_high] = PaddedRange(ys);
        const QRect area(0, static_cast<int>(p) * pane_height, size.width(), pane_height);
        const VolPlot plot(area, {x_low, x_high, x_unit_, x_label_},
                           {y_low, y_high, AxisUnit::kPercent, {}}, QFontMetrics(font()));
        plot.DrawFrame(painter, pane.title);
        if (marked_ >= 0 && static_cast<std::size_t>(marked_) < x_.size()) {
            const double x = x_[static_cast<std::size_t>(marked_)];
            painter.setPen(QPen(QColor(0x88, 0x88, 0x88), 1.0, Qt::DashLine));
            painter.drawLine(plot.Map(x, plot.YAxis().low), plot.Map(x, plot.YAxis().high));
        }
        int legend_x = plot.Plot().right();
        for (auto series = pane.series.rbegin(); series != pane.series.rend(); ++series) {
            painter.setPen(QPen(series->colour, 1.5));
            const int width = painter.fontMetrics().horizontalAdvance(series->name);
            legend_x -= width + 18;
            painter.drawLine(legend_x, plot.Plot().top() - 9, legend_x + 10, plot.Plot().top() - 9);
            painter.drawText(legend_x + 13, plot.Plot().top() - 5, series->name);
            for (std::size_t i = 1; i < series->values.size() && i < x_.size(); ++i) {
                if (series->values[i - 1] && series->values[i]) {
                    painter.drawLine(plot.Map(x_[i - 1], *series->values[i - 1]),
                                     plot.Map(x_[i], *series->values[i]));
                }
            }
            painter.setBrush(series->colour);
            for (std::size_t i = 0; i < series->values.size() && i < x_.size(); ++i) {
                if (series->values[i]) {
                    painter.drawEllipse(plot.Map(x_[i], *series->values[i]), 2.0, 2.0);
                }
            }
        }
    }
}

}  // namespace zarvex::ui
