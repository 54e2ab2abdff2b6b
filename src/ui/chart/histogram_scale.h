#pragma once

#include <cstdint>

#include "analytics/right_panel/histogram_data.h"

namespace zarvex::ui {

// Digits after the decimal point needed to write the value exactly, taking the value as it
// was meant (15 significant digits, so 1.0951000000000002 counts as 1.0951) and never more
// than ten.
int DecimalsOf(double value);

// The chart's reading of its data: decimals and strike range.
struct HistogramAnalysis {
    bool empty = true;
    int ds = 0;  // decimals of the strikes
    int dv = 0;  // decimals of the CALL and PUT values
    double lowest_strike = 0.0;
    double highest_strike = 0.0;
};

HistogramAnalysis AnalyseHistogram(const analytics::HistogramData& data);

// Scale of one chart of width x height pixels: the scaled (integer) strike and value ranges,
// pixels per scaled unit and the grid steps. Strikes and values are scaled by 10^ds and
// 10^dv so that the grid works in whole units.
struct HistogramScale {
    bool empty = true;
    int width = 0;
    int height = 0;
    int ds = 0;
    int dv = 0;
    std::int64_t kmin = 0;
    std::int64_t kmax = 0;
    std::int64_t vmin = 0;
    std::int64_t vmax = 0;
    double ky = 0.0;
    double kx = 0.0;
    std::int64_t strike_step = 0;
    std::int64_t value_step = 0;
    // All strikes are one: no strike scale exists, the one row sits in the middle.
    bool single_row = false;
    // The band above the plot that the legend takes (see ScaleForCanvas); the canvas is
    // height + legend_band high.
    int legend_band = 0;

    int StrikeToY(std::int64_t scaled_strike) const;
    int ValueToX(std::int64_t scaled_value) const;
    // Rows of the highest and the lowest strike (the plot's top and bottom edges).
    int TopY() const;
    int BottomY() const;
};

HistogramScale ScaleHistogram(const analytics::HistogramData& data,
                              const HistogramAnalysis& analysis, int width, int height);

// 10^n as a double, for n in 0..10.
double PowerOfTen(int n);

}  // namespace zarvex::ui
