#include "ui/histogram_chart.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace zarvex::ui {
namespace {

const analytics::HistogramData kNoData;

}  // namespace

HistogramChart::HistogramChart(QWidget* parent, const HistogramColours& colours)
    : QFrame(parent), colours_(colours), fonts_(DefaultHistogramFonts()) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    Update();
}

void HistogramChart::SetData(std::shared_ptr<const analytics::HistogramData> histogram,
                             ChartOverlay overlay) {
    data_ = std::move(histogram);
    overlay_ = std::move(overlay);
    analysis_ = AnalyseHistogram(Data());
}

const analytics::HistogramData& HistogramChart::Data() const {
    return data_ ? *data_ : kNoData;
}

int HistogramChart::PlotTop() const {
    return plot_top_;
}

void HistogramChart::ClearData() {
    SetData(nullptr);
}

void HistogramChart::Update() {
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    scale_ = ScaleForCanvas(Data(), overlay_, analysis_, size, fonts_);
    plot_top_ = scale_.legend_band;
    picture_ = QImage(size, QImage::Format_RGB32);
    QPainter painter(&picture_);
    PaintHistogram(painter, Data(), overlay_, scale_, colours_, fonts_);
    painter.end();
    update();
}

const QImage& HistogramChart::Picture() {
    // A hidden widget gets its resize event only when shown.
    if (picture_.size() != contentsRect().size().expandedTo(QSize(1, 1))) {
        Update();
    }
    return picture_;
}

QImage HistogramChart::Render(qreal ratio) const {
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    PaintHistogram(painter, Data(), overlay_,
                   ScaleForCanvas(Data(), overlay_, analysis_, size, fonts_), colours_, fonts_);
    return image;
}

bool HistogramChart::HasBar(std::size_t i) const {
    // Rows between the bars are empty positions of the axis: the pointer means the bar.
    const analytics::HistogramData& shown = Data();
    for (const std::vector<double>* values :
         {&shown.put, &shown.call, &overlay_.compare_put, &overlay_.compare_call}) {
        if (i < values->size() && (*values)[i] != 0.0 && std::isfinite((*values)[i])) {
            return true;
        }
    }
    return false;
}

int HistogramChart::PositionAt(QPoint point) const {
    if (scale_.empty) {
        return -1;
    }
    const QPoint at = point - contentsRect().topLeft() - QPoint(0, PlotTop());
    if (at.x() < scale_.ValueToX(scale_.vmin) || at.x() > scale_.ValueToX(scale_.vmax)) {
        return -1;
    }
    const double factor = PowerOfTen(scale_.ds);
    int best = -1;
    int best_distance = 3;  // a bar is five pixels high
    const std::vector<double>& axis = Data().axis;
    for (std::size_t i = 0; i < axis.size(); ++i) {
        const double strike = axis[i];
        if (strike == 0.0) {
            break;
        }
        if (!(strike > 0.0) || !HasBar(i)) {
            continue;
        }
        const int distance = std::abs(scale_.StrikeToY(std::llround(strike * factor)) - at.y());
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int HistogramChart::PriceLineAt(QPoint point) const {
    if (scale_.empty || PositionAt(point) >= 0) {
        return -1;
    }
    const QPoint at = point - contentsRect().topLeft() - QPoint(0, PlotTop());
    if (at.x() < scale_.ValueToX(scale_.vmin) || at.x() > scale_.ValueToX(scale_.vmax)) {
        return -1;
    }
    const double factor = PowerOfTen(scale_.ds);
    const double lowest = static_cast<double>(scale_.kmin) / factor;
    const double highest = static_cast<double>(scale_.kmax) / factor;
    int best = -1;
    int best_distance = 3;  // a line is one pixel: the pointer need not hit it exactly
    for (std::size_t k = 0; k < overlay_.price_lines.size(); ++k) {
        const double price = overlay_.price_lines[k].price;
        if (!std::isfinite(price) || price < lowest || price > highest) {
            continue;
        }
        const int distance = std::abs(scale_.StrikeToY(std::llround(price * factor)) - at.y());
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(k);
        }
    }
    return best;
}

bool HistogramChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int position = tooltip_ ? PositionAt(help->pos()) : -1;
        const int line = position < 0 && line_tooltip_ ? PriceLineAt(help->pos()) : -1;
        if (position >= 0) {
            QToolTip::showText(help->globalPos(), tooltip_(position), this);
        } else if (line >= 0) {
            QToolTip::showText(help->globalPos(), line_tooltip_(line), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QFrame::event(event);
}

void HistogramChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), Picture());
}

void HistogramChart::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Update();
}

}  // namespace zarvex::ui
