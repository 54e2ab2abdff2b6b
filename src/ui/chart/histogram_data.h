#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarvex::ui {

// What one histogram chart draws: for each position of the price axis (ascending, a 0 ends
// the data) the PUT and the CALL value. The right panel fills it from the analytics model;
// the command-line program fills it for its picture.
// A horizontal line across the plot at a price (a strike of the axis), named in the legend:
// the left panel's key prices. Other marks of prices sit beside them as their own overlays.
struct PriceLine {
    double price = 0.0;
    std::string name;
    std::uint32_t colour = 0;  // 0xRRGGBB
    bool dashed = false;
};

struct HistogramData {
    std::vector<double> strike;
    std::vector<double> put;
    std::vector<double> call;
    // Another day's values on the same axis, drawn as outlined bars over the day's own; empty
    // when nothing is compared. The legend names the two dates.
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
};

// Colours as 0xRRGGBB.
struct HistogramColours {
    std::uint32_t background = 0xFFFFFA;
    std::uint32_t text = 0x000000;
    std::uint32_t grid = 0xDDDDDD;
    std::uint32_t frame = 0x000000;
    std::uint32_t put = 0xA8A8FD;
    std::uint32_t call = 0xFDA8A8;
    std::uint32_t overlap = 0xB463B4;
    std::uint32_t zero_line = 0x888888;
    std::uint32_t bar_edge = 0x000000;
    std::uint32_t compare_put = 0x1F3FBF;
    std::uint32_t compare_call = 0xBF1F1F;
};

}  // namespace zarvex::ui
