#include "ui/volatility/vol_cone_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <optional>

#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

using Bound = std::optional<double> analytics::ConeTenor::*;

// Outermost first, so that the narrower bands are drawn over the wider.
struct Band {
    Bound low;
    Bound high;
    QColor fill;
};
const std::array<Band, 3> kBands{{
    {&analytics::ConeTenor::min, &analytics::ConeTenor::max, QColor(0x1F, 0x5F, 0xBF, 30)},
    {&analytics::ConeTenor::p10, &analytics::ConeTenor::p90, QColor(0x1F, 0x5F, 0xBF, 45)},
    {&analytics::ConeTenor::p25, &analytics::ConeTenor::p75, QColor(0x1F, 0x5F, 0xBF, 70)},
}};
const QColor kMedian(0x1F, 0x5F, 0xBF);
const QColor kToday(0xBF, 0x1F, 0x1F);

}  // namespace

VolConeChart::VolConeChart(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void VolConeChart::SetData(std::vector<analytics::ConeTenor> cone, Names names) {
    cone_ = std::move(cone);
    names_ = std::move(names);
    update();
}

QImage VolConeChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void VolConeChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size());
}

void VolConeChart::Paint(QPainter& painter, QSize size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xFF, 0xFF, 0xFA));
    painter.setFont(font());
    std::vector<double> xs;
    std::vector<double> ys;
    for (const analytics::ConeTenor& tenor : cone_) {
        xs.push_back(tenor.days);
        for (const auto& value : {tenor.min, tenor.max, tenor.today}) {
            if (value) {
                ys.push_back(*value);
            }
        }
    }
    const double x_low = xs.empty() ? 0.0 : xs.front();
    const double x_high = xs.empty() ? 1.0 : xs.back();
    const auto [y_low, y_high] = PaddedRange(ys);
    const VolPlot plot(QRect(QPoint(0, 0), size), {x_low, x_high, AxisUnit::kDays, {}},
                       {y_low, y_high, AxisUnit::kPercent, {}}, QFontMetrics(font()));
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QStringList legend_names{names_.today, names_.median, QStringLiteral("25–75%"),
                                   QStringLiteral("10–90%"), names_.range};
    plot.DrawFrame(
        painter, TitleBesideLegend(names_.title, legend_names, plot.Plot(), painter.fontMetrics()));

    int legend_x = plot.Plot().right();
    const auto legend = [&](const QString& name, const QColor& colour, bool area) {
        legend_x -= painter.fontMetrics().horizontalAdvance(name) + 18;
        const int y = plot.Plot().top() - 9;
        if (area) {
            painter.fillRect(QRect(legend_x, y - 4, 10, 8), colour);
        } else {
            painter.setPen(QPen(colour, 1.5));
            painter.drawLine(legend_x, y, legend_x + 10, y);
        }
        painter.setPen(Qt::black);
        painter.drawText(legend_x + 13, plot.Plot().top() - 5, name);
    };
    legend(legend_names[0], kToday, false);
    legend(legend_names[1], kMedian, false);
    legend(legend_names[2], kBands[2].fill, true);
    legend(legend_names[3], kBands[1].fill, true);
    legend(legend_names[4], kBands[0].fill, true);

    painter.save();
    painter.setClipRect(plot.Plot());
    // A band runs across the neighbouring maturities that both have it; a maturity no stored
    // day reaches breaks it.
    painter.setPen(Qt::NoPen);
    for (const Band& band : kBands) {
        for (std::size_t i = 1; i < cone_.size(); ++i) {
            const analytics::ConeTenor& a = cone_[i - 1];
            const analytics::ConeTenor& b = cone_[i];
            if (!(a.*band.low) || !(a.*band.high) || !(b.*band.low) || !(b.*band.high)) {
                continue;
            }
            QPainterPath path;
            path.moveTo(plot.Map(a.days, *(a.*band.high)));
            path.lineTo(plot.Map(b.days, *(b.*band.high)));
            path.lineTo(plot.Map(b.days, *(b.*band.low)));
            path.lineTo(plot.Map(a.days, *(a.*band.low)));
            path.closeSubpath();
            painter.fillPath(path, band.fill);
        }
    }
    const auto line = [&](Bound value, const QPen& pen, bool dots) {
        painter.setPen(pen);
        for (std::size_t i = 1; i < cone_.size(); ++i) {
            if (cone_[i - 1].*value && cone_[i].*value) {
                painter.drawLine(plot.Map(cone_[i - 1].days, *(cone_[i - 1].*value)),
                                 plot.Map(cone_[i].days, *(cone_[i].*value)));
            }
        }
        if (dots) {
            painter.setBrush(pen.color());
            for (const analytics::ConeTenor& tenor : cone_) {
                if (tenor.*value) {
                    painter.drawEllipse(plot.Map(tenor.days, *(tenor.*value)), 3.0, 3.0);
                }
            }
            painter.setBrush(Qt::NoBrush);
        }
    };
    line(&analytics::ConeTenor::p50, QPen(kMedian, 1.2, Qt::DashLine), false);
    line(&analytics::ConeTenor::today, QPen(kToday, 2.0), true);
    painter.restore();
}

}  // namespace zarvex::ui
