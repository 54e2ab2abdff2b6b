#pragma once

#include <QFontMetrics>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "ui/chart/chart_axis.h"

class QPainter;

namespace zarvex::ui {

// The frame of the volatility page's small charts: value ranges widened to round grid lines,
// mapped into a rectangle that leaves room for the labels.
class VolPlot final {
public:
    struct Axis {
        double low = 0.0;
        double high = 1.0;
        AxisUnit unit = AxisUnit::kNumber;
        std::function<std::string(double)> label;  // see AxisRequest::label
    };

    VolPlot(QRect area, Axis x, Axis y, const QFontMetrics& metrics);

    QPointF Map(double x, double y) const;
    double XAt(double pixel) const;
    const QRect& Plot() const { return plot_; }
    const ChartAxis& XAxis() const { return x_; }
    const ChartAxis& YAxis() const { return y_; }

    // Background grid, frame, labels and the title above the frame.
    void DrawFrame(QPainter& painter, const QString& title) const;

private:
    QRect plot_;
    ChartAxis x_;
    ChartAxis y_;
    QFontMetrics metrics_;
};

// The low and high of the values with a margin of a twentieth on each side (a single value
// gets a small range around it).
std::pair<double, double> PaddedRange(const std::vector<double>& values);

// The title shortened with an ellipsis to what leaves room for a legend of these names drawn
// right to left above the frame (a line and a name each).
QString TitleBesideLegend(const QString& title, const QStringList& legend, const QRect& plot,
                          const QFontMetrics& metrics);

// A volatility as percent with two decimals ("7.63%").
QString Percent(double vol);

}  // namespace zarvex::ui
