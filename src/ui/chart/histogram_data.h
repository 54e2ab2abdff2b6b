#pragma once

#include <cstdint>
#include <vector>

namespace zarvex::ui {

// What one histogram chart draws: for each position of the price axis (ascending, a 0 ends
// the data) the PUT and the CALL value. The right panel fills it from the analytics model;
// the command-line program fills it for its picture.
struct HistogramData {
    std::vector<double> strike;
    std::vector<double> put;
    std::vector<double> call;
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
};

}  // namespace zarvex::ui
