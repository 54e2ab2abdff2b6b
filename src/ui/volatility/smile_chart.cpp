#include "ui/volatility/smile_chart.h"

#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

const QColor kSmile(0x1F, 0x5F, 0xBF);
const QColor kCompare(0xBF, 0x5F, 0x1F);
const QColor kForward(0x22, 0x88, 0x22);

std::int64_t OpenInterest(const analytics::VolatilityPoint& point) {
    return std::max<std::int64_t>(0, point.quote.call.oi) +
           std::max<std::int64_t>(0, point.quote.put.oi);
}

struct Ranges {
    double x_low = 0.0;
    double x_high = 1.0;
    double y_low = 0.0;
    double y_high = 1.0;
};

Ranges RangesOf(const analytics::ContractVolatility& figures,
                const std::optional<analytics::ContractVolatility>& compare) {
    std::vector<double> xs;
    std::vector<double> ys;
    for (const auto* f : {&figures, compare ? &*compare : nullptr}) {
        if (f == nullptr) {
            continue;
        }
        for (const analytics::SmilePoint& point : f->smile) {
            xs.push_back(point.strike);
            ys.push_back(point.vol);
        }
    }
    if (figures.status == analytics::VolatilityStatus::kReady) {
        xs.push_back(figures.forward);
    }
    const auto [x_low, x_high] = PaddedRange(xs);
    const auto [y_low, y_high] = PaddedRange(ys);
    return {x_low, x_high, std::max(0.0, y_low), y_high};
}

VolPlot PlotOf(QRect area, const analytics::ContractVolatility& figures,
               const std::optional<analytics::ContractVolatility>& compare,
               const QFontMetrics& metrics) {
    const Ranges r = RangesOf(figures, compare);
    return VolPlot(area, {r.x_low, r.x_high, AxisUnit::kNumber, {}},
                   {r.y_low, r.y_high, AxisUnit::kPercent, {}}, metrics);
}

}  // namespace

SmileChart::SmileChart(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMouseTracking(true);
}

void SmileChart::SetData(const analytics::ContractVolatility& figures,
                         std::optional<analytics::ContractVolatility> compare, QString title) {
    figures_ = figures;
    compare_ = std::move(compare);
    title_ = std::move(title);
    update();
}

int SmileChart::PointAt(int x, int y) const {
    if (figures_.smile.empty()) {
        return -1;
    }
    const VolPlot plot = PlotOf(rect(), figures_, compare_, fontMetrics());
    int best = -1;
    double best_distance = 8.0;
    for (std::size_t i = 0; i < figures_.points.size(); ++i) {
        const analytics::VolatilityPoint& point = figures_.points[i];
        if (!point.smile_vol) {
            continue;
        }
        const QPointF at = plot.Map(point.quote.strike, *point.smile_vol);
        const double distance = std::hypot(at.x() - x, at.y() - y);
        if (distance <= best_distance) {
            best_distance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

QImage SmileChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void SmileChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size());
}

bool SmileChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int point = PointAt(help->pos().x(), help->pos().y());
        if (point >= 0 && tooltip_) {
            QToolTip::showText(help->globalPos(), tooltip_(point), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QFrame::event(event);
}

void SmileChart::Paint(QPainter& painter, QSize size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xFF, 0xFF, 0xFA));
    painter.setFont(font());
    const VolPlot plot = PlotOf(QRect(QPoint(0, 0), size), figures_, compare_, fontMetrics());
    painter.setRenderHint(QPainter::Antialiasing, true);
    plot.DrawFrame(painter, title_);
    if (figures_.smile.empty() && !compare_) {
        return;
    }
    const auto draw_line = [&](const analytics::ContractVolatility& f, const QColor& colour,
                               Qt::PenStyle style) {
        QPen pen(colour, 1.5, style);
        painter.setPen(pen);
        for (std::size_t i = 1; i < f.smile.size(); ++i) {
            painter.drawLine(plot.Map(f.smile[i - 1].strike, f.smile[i - 1].vol),
                             plot.Map(f.smile[i].strike, f.smile[i].vol));
        }
    };
    if (compare_) {
        draw_line(*compare_, kCompare, Qt::DashLine);
        painter.setBrush(Qt::NoBrush);
        for (const analytics::SmilePoint& point : compare_->smile) {
            painter.drawEllipse(plot.Map(point.strike, point.vol), 3.0, 3.0);
        }
    }
    if (figures_.status == analytics::VolatilityStatus::kReady) {
        const QPointF top = plot.Map(figures_.forward, plot.YAxis().high);
        const QPointF bottom = plot.Map(figures_.forward, plot.YAxis().low);
        painter.setPen(QPen(kForward, 1.0, Qt::DashDotLine));
        painter.drawLine(top, bottom);
        painter.drawText(QPointF(top.x() + 3, top.y() + 12), QStringLiteral("F"));
        if (figures_.atm_vol) {
            painter.setBrush(kForward);
            painter.drawEllipse(plot.Map(figures_.forward, *figures_.atm_vol), 3.0, 3.0);
        }
    }
    draw_line(figures_, kSmile, Qt::SolidLine);
    std::int64_t most = 1;
    for (const analytics::VolatilityPoint& point : figures_.points) {
        most = std::max(most, OpenInterest(point));
    }
    painter.setPen(QPen(kSmile.darker(), 1.0));
    QColor fill = kSmile;
    fill.setAlpha(120);
    painter.setBrush(fill);
    for (const analytics::VolatilityPoint& point : figures_.points) {
        if (!point.smile_vol) {
            continue;
        }
        // Area grows with the open interest: the radius with its square root.
        const double share = static_cast<double>(OpenInterest(point)) / static_cast<double>(most);
        const double radius = 2.0 + 7.0 * std::sqrt(share);
        painter.drawEllipse(plot.Map(point.quote.strike, *point.smile_vol), radius, radius);
    }
}

}  // namespace zarvex::ui
