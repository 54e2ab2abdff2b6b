#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zarvex::analytics {

// A chart holds at most this many axis positions. Arrays are sized to what a histogram holds,
// never to the capacity: 24 charts of 5 x 150,001 doubles would take 144 MB for nothing.
inline constexpr std::size_t kHistogramCapacity = 150001;

// An option row that stands on a histogram's axis: its strike (a position of the strike grid,
// grid_index), its premium, the value it gives to its bar and the axis position of that bar.
struct BarSource {
    double strike = 0.0;
    double premium = 0.0;
    double value = 0.0;
    std::size_t grid_index = 0;
    std::size_t position = 0;
};

// One histogram as the chart draws it: the price axis (ascending from index 0) and, for every
// axis position, the PUT and CALL values of the displayed parameter and the premiums of the
// options at that position. All five arrays have the same length; an empty histogram has
// empty arrays. No entry is ever inf or nan.
struct HistogramData {
    double lower_bound = 0.0;  // the axis range of the scale step, in shown prices
    double upper_bound = 0.0;
    std::vector<double> axis;
    std::vector<double> put;
    std::vector<double> call;
    std::vector<double> call_premium;
    std::vector<double> put_premium;
    // Per axis position, the strike of the row whose bar stands there (0 where none does);
    // where re-binning puts rows of several strikes in one position, the strike that gives
    // the most of the bar (the lowest on a tie).
    std::vector<double> call_strike;
    std::vector<double> put_strike;
    // Every row on the axis, per side, in the order of its strikes: what a bar is made of.
    std::vector<BarSource> call_sources;
    std::vector<BarSource> put_sources;

    // The row queries failed: a bar condition that is not valid SQL (or that fails while
    // stepping), or a table without the quote columns. The axis is built, the values stay
    // empty (or hold the rows read before the failure). rows_error holds the reason.
    bool rows_failed = false;
    std::string rows_error;

    std::size_t Size() const { return axis.size(); }
    // Nothing to draw: no axis, or an axis that starts at 0 (the chart reads a first strike of
    // 0 as the end of the data).
    bool Empty() const { return axis.empty() || axis.front() == 0.0; }
    // The largest axis position; 0.0 when empty.
    double HighestStrike() const;
    // One distinct axis position only (the highest equals the lowest): the chart has no strike
    // scale then and draws its one row in the middle of the plot.
    bool SingleStrike() const { return !Empty() && HighestStrike() == axis.front(); }

    // All seven arrays to the given length, filled with zeros; no sources.
    void ResetArrays(std::size_t size);
};

}  // namespace zarvex::analytics
