#include "ui/volatility/exposure_chart.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/side_caption.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

const QColor kCall(0x1F, 0x5F, 0xBF);
const QColor kPut(0xBF, 0x1F, 0x1F);
const QColor kTotal(0x20, 0x20, 0x20);
const QColor kZero(0x22, 0x88, 0x22);

// Millions and thousands the way a trader reads a money amount.
QString Money(double value) {
    const double size = std::fabs(value);
    if (size >= 1e6) {
        return QString::number(value / 1e6, 'f', 1) + QStringLiteral("M");
    }
    if (size >= 1e3) {
        return QString::number(value / 1e3, 'f', 0) + QStringLiteral("k");
    }
    return QString::number(value, 'f', 0);
}

}  // namespace

ExposureChart::ExposureChart(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void ExposureChart::SetData(analytics::GammaExposure exposure, QString title, QString assumption,
                            QString note, QString zero_gamma_label) {
    exposure_ = std::move(exposure);
    title_ = std::move(title);
    assumption_ = std::move(assumption);
    note_ = std::move(note);
    zero_gamma_label_ = std::move(zero_gamma_label);
    update();
}

QImage ExposureChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void ExposureChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size());
}

void ExposureChart::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(assumption_);
    menu.actions().front()->setEnabled(false);
    menu.addSeparator();
    connect(menu.addAction(switch_label_), &QAction::triggered, this,
            &ExposureChart::SignSwitchRequested);
    menu.exec(event->globalPos());
}

void ExposureChart::Paint(QPainter& painter, QSize size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xFF, 0xFF, 0xFA));
    std::vector<double> xs;
    std::vector<double> ys{0.0};
    double spacing = 0.0;
    for (std::size_t i = 0; i < exposure_.strikes.size(); ++i) {
        const analytics::ExposureStrike& s = exposure_.strikes[i];
        xs.push_back(s.strike);
        ys.insert(ys.end(), {s.call, s.put, s.total});
        if (i > 0) {
            const double gap = s.strike - exposure_.strikes[i - 1].strike;
            spacing = spacing == 0.0 ? gap : std::min(spacing, gap);
        }
    }
    if (exposure_.zero_gamma) {
        xs.push_back(*exposure_.zero_gamma);
    }
    const auto [x_low, x_high] = PaddedRange(xs.empty() ? std::vector<double>{0.0, 1.0} : xs);
    const auto [y_low, y_high] = PaddedRange(ys);
    const VolPlot plot(
        QRect(QPoint(0, 0), size), {x_low, x_high, AxisUnit::kNumber, {}},
        {y_low, y_high, AxisUnit::kNumber, [](double value) { return Money(value).toStdString(); }},
        painter.fontMetrics());
    painter.setRenderHint(QPainter::Antialiasing, true);
    plot.DrawFrame(painter, title_);
    painter.save();
    painter.setClipRect(plot.Plot());
    painter.setPen(QPen(QColor(0x99, 0x99, 0x99), 1.0));
    painter.drawLine(plot.Map(x_low, 0.0), plot.Map(x_high, 0.0));
    const double half = (spacing > 0.0 ? spacing : (x_high - x_low) / 20.0) * 0.4;
    const auto bar = [&](double left, double right, double value, const QColor& colour) {
        if (value == 0.0) {
            return;
        }
        painter.fillRect(
            QRectF(plot.Map(left, std::max(0.0, value)), plot.Map(right, std::min(0.0, value))),
            colour);
    };
    for (const analytics::ExposureStrike& s : exposure_.strikes) {
        bar(s.strike - half, s.strike, s.call, kCall);
        bar(s.strike, s.strike + half, s.put, kPut);
    }
    painter.setPen(QPen(kTotal, 1.5));
    for (std::size_t i = 1; i < exposure_.strikes.size(); ++i) {
        painter.drawLine(plot.Map(exposure_.strikes[i - 1].strike, exposure_.strikes[i - 1].total),
                         plot.Map(exposure_.strikes[i].strike, exposure_.strikes[i].total));
    }
    if (exposure_.zero_gamma) {
        painter.setPen(QPen(kZero, 1.5, Qt::DashLine));
        const QPointF top = plot.Map(*exposure_.zero_gamma, y_high);
        painter.drawLine(top, plot.Map(*exposure_.zero_gamma, y_low));
        painter.drawText(QPointF(top.x() + 3, top.y() + 40),
                         zero_gamma_label_ + QStringLiteral(" ") +
                             QString::number(*exposure_.zero_gamma, 'f', 4));
    }
    painter.restore();
    painter.setPen(kTotal);
    painter.drawText(QPointF(plot.Plot().left() + 4, plot.Plot().top() + 13), assumption_);
    painter.drawText(QPointF(plot.Plot().left() + 4, plot.Plot().top() + 26), note_);
    painter.setPen(kCall);
    painter.drawText(QPointF(plot.Plot().right() - 70, plot.Plot().bottom() - 5),
                     SideCaption(common::Side::kCall));
    painter.setPen(kPut);
    painter.drawText(QPointF(plot.Plot().right() - 32, plot.Plot().bottom() - 5),
                     SideCaption(common::Side::kPut));
}

}  // namespace zarvex::ui
