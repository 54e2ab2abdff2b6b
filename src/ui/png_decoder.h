#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zarvex::ui {

// Pixels as 8-bit R, G, B, A, row after row.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes a PNG file held in memory with libpng. Damaged or oversized input gives nothing.
std::optional<RgbaImage> DecodePng(std::span<const unsigned char> bytes);

}  // namespace zarvex::ui
