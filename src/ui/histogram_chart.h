#pragma once

#include <QFrame>
#include <QImage>
#include <functional>
#include <memory>

#include "analytics/right_panel/histogram_data.h"
#include "ui/chart/chart_overlay.h"
#include "ui/chart/histogram_colours.h"
#include "ui/chart/histogram_painter.h"
#include "ui/chart/histogram_scale.h"

namespace zarvex::ui {

// The drawn histogram control: a bordered canvas that keeps its last picture between
// updates. Data is set, analysed, then drawn by Update(); a resize redraws it. The chart
// shares the histogram it shows with whoever built it: a model that builds anew replaces its
// own and leaves the shown one alone until it is set again.
class HistogramChart final : public QFrame {
    Q_OBJECT

public:
    explicit HistogramChart(QWidget* parent = nullptr, const HistogramColours& colours = {});

    // The histogram (null for none) and what the window draws over it, analysed in one step.
    void SetData(std::shared_ptr<const analytics::HistogramData> histogram,
                 ChartOverlay overlay = {});
    void ClearData();
    // Scales the data to the canvas and draws it.
    void Update();

    // The shown histogram; an empty one when none is set.
    const analytics::HistogramData& Data() const;
    const ChartOverlay& Overlay() const { return overlay_; }
    const HistogramAnalysis& Analysis() const { return analysis_; }
    const HistogramScale& Scale() const { return scale_; }
    // Where the plot starts below the legend, in the canvas.
    int PlotTop() const;
    // The canvas picture (the inside of the border), redrawn first when the canvas changed
    // size while hidden.
    const QImage& Picture();
    // The picture drawn afresh at the widget's size times ratio (2 for a sharper copy).
    QImage Render(qreal ratio) const;

    // The data position whose bar is under the point (widget coordinates), or -1.
    int PositionAt(QPoint point) const;
    // Text of the tooltip over the bar of a data position.
    void SetToolTipText(std::function<QString(int)> text) { tooltip_ = std::move(text); }
    // The overlay's price line under the point (widget coordinates) where no bar is, or -1.
    int PriceLineAt(QPoint point) const;
    // Text of the tooltip over a price line (its index in the overlay).
    void SetLineToolTipText(std::function<QString(int)> text) { line_tooltip_ = std::move(text); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool HasBar(std::size_t i) const;

    HistogramColours colours_;
    HistogramFonts fonts_;
    std::shared_ptr<const analytics::HistogramData> data_;
    ChartOverlay overlay_;
    HistogramAnalysis analysis_;
    HistogramScale scale_;
    int plot_top_ = 0;
    QImage picture_;
    std::function<QString(int)> tooltip_;
    std::function<QString(int)> line_tooltip_;
};

}  // namespace zarvex::ui
