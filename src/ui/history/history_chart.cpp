#include "ui/history/history_chart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <utility>

#include "ui/chart/histogram_painter.h"

namespace zarvex::ui {

HistoryChart::HistoryChart(QWidget* parent) : QFrame(parent), font_(DefaultHistogramFonts().axis) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setMouseTracking(true);
    Redraw();
}

void HistoryChart::SetCaptions(HistoryCaptions captions) {
    captions_ = std::move(captions);
    Redraw();
}

void HistoryChart::SetData(HistoryChartData values) {
    data_ = std::move(values);
    shown_day_ = -1;
    Redraw();
}

void HistoryChart::SetShownDay(int day) {
    if (day != shown_day_) {
        shown_day_ = day;
        Redraw();
    }
}

QImage HistoryChart::Render(qreal ratio) const {
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    const HistoryLayout layout = LayoutHistoryChart(size, data_, captions_, font_);
    PaintHistoryChart(painter, layout, data_, captions_, shown_day_, colours_, font_);
    return image;
}

void HistoryChart::Redraw() {
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    layout_ = LayoutHistoryChart(size, data_, captions_, font_);
    picture_ = QImage(size, QImage::Format_RGB32);
    QPainter painter(&picture_);
    PaintHistoryChart(painter, layout_, data_, captions_, shown_day_, colours_, font_);
    painter.end();
    update();
}

const QImage& HistoryChart::Picture() {
    if (picture_.size() != contentsRect().size().expandedTo(QSize(1, 1))) {
        Redraw();
    }
    return picture_;
}

QPoint HistoryChart::ToCanvas(QPoint widget_point) const {
    return widget_point - contentsRect().topLeft();
}

bool HistoryChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int day = layout_.DayAt(ToCanvas(help->pos()));
        if (day >= 0 && tooltip_) {
            QToolTip::showText(help->globalPos(), tooltip_(day), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QFrame::event(event);
}

void HistoryChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), Picture());
}

void HistoryChart::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Redraw();
}

void HistoryChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int day = layout_.DayAt(ToCanvas(event->position().toPoint()));
        if (day >= 0) {
            emit DayClicked(day);
            return;
        }
    }
    QFrame::mousePressEvent(event);
}

}  // namespace zarvex::ui
