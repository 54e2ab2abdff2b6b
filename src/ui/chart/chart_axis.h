#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zarvex::ui {

// What the numbers on an axis stand for: plain numbers; fractions shown as percentages (0.0877
// is "8.77%", the step is round in percent); whole days to expiry, which never go below zero;
// whole counts (contracts of open interest).
enum class AxisUnit { kNumber, kPercent, kDays, kCount };

// A grid line; an empty label is a line whose label had no room beside its neighbours'.
struct AxisTick {
    double value = 0.0;
    std::string label;
};

// The grid of one axis: the drawn range, its round step and the labelled lines inside it.
struct ChartAxis {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
    int decimals = 0;
    std::vector<AxisTick> ticks;  // ascending

    // The share of the range (0 at low, 1 at high) where a value lies.
    double Share(double value) const;
};

struct AxisRequest {
    double low = 0.0;
    double high = 1.0;
    AxisUnit unit = AxisUnit::kNumber;
    // Length of the axis in pixels and the least distance between two grid lines.
    double pixels = 200.0;
    double min_gap = 40.0;
    // Pixels a label takes along the axis (its width on a horizontal axis, the font's height
    // on a vertical one); labels keep `label_spacing` pixels between them.
    std::function<double(const std::string&)> label_extent;
    double label_spacing = 4.0;
    // Writes a line's value when the numbers stand for something else (the index of a day
    // on a category axis); AxisLabel when empty.
    std::function<std::string(double)> label;
    // Widens the range to whole steps, so the frame ends on labelled lines; otherwise the
    // range stays as given and only the lines inside it are drawn.
    bool extend = true;
};

// The one axis of every chart but the histograms (whose integer grid, pinned by their picture
// tests, keeps its own 1-2-2.5-5 ladder): the smallest step of 1, 2, 2.5 or 5 x 10^k whose
// lines stand min_gap apart and whose labels do not touch, with the fewest decimals that write
// every line apart from its neighbours. Any input, NaN and infinities included, gives an axis.
ChartAxis MakeChartAxis(const AxisRequest& request);

// A value written as the axis writes it.
std::string AxisLabel(double value, AxisUnit unit, int decimals);

}  // namespace zarvex::ui
