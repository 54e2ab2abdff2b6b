#include "ui/histogram_chart.h"

#include <QPainter>
#include <utility>

namespace zarvex::ui {

HistogramChart::HistogramChart(QWidget* parent, const HistogramColours& colours)
    : QFrame(parent), colours_(colours), fonts_(DefaultHistogramFonts()) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    Update();
}

void HistogramChart::SetData(HistogramData values) {
    data_ = std::move(values);
    analysis_ = AnalyseHistogram(data_);
}

void HistogramChart::ClearData() {
    SetData({});
}

void HistogramChart::Update() {
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    scale_ = ScaleHistogram(data_, analysis_, size.width(), size.height());
    picture_ = QImage(size, QImage::Format_RGB32);
    QPainter painter(&picture_);
    PaintHistogram(painter, data_, scale_, colours_, fonts_);
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
