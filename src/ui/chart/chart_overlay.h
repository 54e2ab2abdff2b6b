#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zarvex::ui {

// A horizontal line across the plot at a price (a strike of the axis), named in the legend:
// the left panel's key prices. Other marks of prices sit beside them as their own overlays.
struct PriceLine {
    double price = 0.0;
    std::string name;
    std::uint32_t colour = 0;  // 0xRRGGBB
    bool dashed = false;
};

// What a chart draws over the histogram it shows, beyond the histogram's own axis and values:
// the window's marks, which the analytics know nothing of. Empty draws the bare histogram.
struct ChartOverlay {
    // Another day's values on the shown axis (one per axis position), drawn as outlined bars
    // over the day's own; empty when nothing is compared. The legend names the two dates.
    std::vector<double> compare_put;
    std::vector<double> compare_call;
    std::string date;
    std::string compare_date;
    // Lines at prices, drawn over the bars and named in the legend; a line outside the axis
    // is left out.
    std::vector<PriceLine> price_lines;
    // Short lines under the legend: which bars the bar condition shows, why no key prices.
    std::vector<std::string> notes;
    // The -2, -1, +1 and +2 sigma prices of the expected move on the chart's axis, drawn as
    // shaded strips behind the bars; empty when they are off or unknown.
    std::vector<double> bands;
    // The settlement density as (price on the chart's axis, value >= 0), drawn as a curve on a
    // scale of its own over the bars and beneath the compared outlines and the price lines,
    // named in the legend by density_name; empty when it is off or unknown.
    std::vector<std::pair<double, double>> density;
    std::string density_name;

    bool Compared() const { return !compare_put.empty() || !compare_call.empty(); }
};

}  // namespace zarvex::ui
