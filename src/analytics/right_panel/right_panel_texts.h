#pragma once

#include <string>

#include "common/host.h"

namespace zarvex::analytics {

// The three steps of one histogram, each announced in the status bar.
enum class HistogramStep { kScale, kDataArrays, kDrawing };

// The start text of a step with the histogram's number and the locked text:
// "Calculation of the scale of the histogram N" + "1. " + "The window is temporarily locked. ..."
std::string HistogramStepStartText(const common::Host& host, HistogramStep step, int n);
// Its end text with the number, then "Data processing is in progress. ", or after the drawing
// "The program is prepared to use.".
std::string HistogramStepEndText(const common::Host& host, HistogramStep step, int n);

}  // namespace zarvex::analytics
