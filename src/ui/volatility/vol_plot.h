#pragma once

#include <QPointF>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace zarvex::ui {

// The frame of the volatility page's small charts: value ranges padded a little, mapped into
// a rectangle that leaves room for the labels, with a few grid lines and their labels.
class VolPlot final {
public:
    VolPlot(QRect area, double x_low, double x_high, double y_low, double y_high);

    QPointF Map(double x, double y) const;
    double XAt(double pixel) const;
    const QRect& Plot() const { return plot_; }

    // Background, frame, about five grid lines a side; labels written by the two functions.
    void DrawFrame(QPainter& painter, const std::function<QString(double)>& x_label,
                   const std::function<QString(double)>& y_label, const QString& title) const;

private:
    QRect plot_;
    double x_low_;
    double x_high_;
    double y_low_;
    double y_high_;
};

// The low and high of the values with a margin of a twentieth on each side (a single value
// gets a small range around it).
std::pair<double, double> PaddedRange(const std::vector<double>& values);

// A volatility as percent with two decimals ("7.63%").
QString Percent(double vol);

}  // namespace zarvex::ui
