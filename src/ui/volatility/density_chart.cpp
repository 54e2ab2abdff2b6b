#include "ui/volatility/density_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

const QColor kCurve(0x6A, 0x1F, 0xBF);
const QColor kQuantile(0x88, 0x88, 0x88);
const QColor kMedian(0xBF, 0x1F, 0x1F);
const QColor kForward(0x22, 0x88, 0x22);
constexpr std::array<const char*, analytics::kDensityQuantiles.size()> kNames{"5%", "25%", "50%",
                                                                              "75%", "95%"};

}  // namespace

DensityChart::DensityChart(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void DensityChart::SetData(analytics::SettlementDensity density, double forward, QString title,
                           QString negative_label) {
    density_ = std::move(density);
    forward_ = forward;
    title_ = std::move(title);
    negative_label_ = std::move(negative_label);
    update();
}

QImage DensityChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void DensityChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size());
}

void DensityChart::Paint(QPainter& painter, QSize size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xFF, 0xFF, 0xFA));
    const bool ready = density_.ready && !density_.density.empty();
    double highest = 1.0;
    if (ready) {
        highest =
            std::max(1e-12, *std::max_element(density_.density.begin(), density_.density.end()));
    }
    const double x_low = ready ? density_.grid.front() : 0.0;
    const double x_high = ready ? density_.grid.back() : 1.0;
    const VolPlot plot(QRect(QPoint(0, 0), size), {x_low, x_high, AxisUnit::kNumber, {}},
                       {0.0, highest * 1.08, AxisUnit::kNumber, {}}, painter.fontMetrics());
    painter.setRenderHint(QPainter::Antialiasing, true);
    plot.DrawFrame(painter, title_);
    if (!ready) {
        return;
    }
    painter.save();
    painter.setClipRect(plot.Plot());
    if (forward_ > x_low && forward_ < x_high) {
        painter.setPen(QPen(kForward, 1.0, Qt::DashDotLine));
        painter.drawLine(plot.Map(forward_, 0.0), plot.Map(forward_, highest * 1.08));
    }
    for (std::size_t q = 0; q < density_.quantiles.size(); ++q) {
        if (!density_.quantiles[q]) {
            continue;
        }
        const double x = *density_.quantiles[q];
        painter.setPen(QPen(q == 2 ? kMedian : kQuantile, 1.0, Qt::DashLine));
        const QPointF top = plot.Map(x, highest * 1.08);
        painter.drawLine(top, plot.Map(x, 0.0));
        painter.drawText(QPointF(top.x() + 2, top.y() + 12 + 12 * static_cast<double>(q % 2)),
                         QString::fromLatin1(kNames[q]));
    }
    QPainterPath path;
    QPainterPath area;
    area.moveTo(plot.Map(density_.grid[1], 0.0));
    for (std::size_t i = 0; i < density_.density.size(); ++i) {
        // A negative value is a smile no arbitrage-free market could quote there; it is drawn
        // on the axis and counted below.
        const QPointF at = plot.Map(density_.grid[i + 1], std::max(0.0, density_.density[i]));
        if (i == 0) {
            path.moveTo(at);
        } else {
            path.lineTo(at);
        }
        area.lineTo(at);
    }
    area.lineTo(plot.Map(density_.grid[density_.density.size()], 0.0));
    QColor fill = kCurve;
    fill.setAlpha(40);
    painter.fillPath(area, fill);
    painter.setPen(QPen(kCurve, 1.5));
    painter.drawPath(path);
    painter.restore();
    if (density_.negative > 0) {
        painter.setPen(kMedian);
        painter.drawText(QPointF(plot.Plot().left() + 4, plot.Plot().bottom() - 4),
                         negative_label_ + QString::number(density_.negative));
    }
}

}  // namespace zarvex::ui
