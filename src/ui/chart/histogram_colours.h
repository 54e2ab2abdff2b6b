#pragma once

#include <cstdint>

namespace zarvex::ui {

// Colours of a histogram chart as 0xRRGGBB.
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
    // Apart from the fills, the outlines and the key-price lines, so it reads as none of them.
    std::uint32_t density = 0x7A1FBF;
};

}  // namespace zarvex::ui
