#pragma once

#include <string>

#include "analytics/right_panel/histogram_data.h"

namespace zarvex::ui {

inline constexpr int kMaxPictureSide = 10000;

// Draws the chart of the histogram, width x height pixels, as the desktop program draws it
// (without the window's overlay), into a PNG file. Works without a window system: when the process
// has no Qt application yet, one is made for the call on the offscreen platform. Returns an empty
// text on success, else why it failed.
std::string RenderHistogramPng(const analytics::HistogramData& data, int width, int height,
                               const std::string& path);

}  // namespace zarvex::ui
