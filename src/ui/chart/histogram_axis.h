#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/chart/histogram_scale.h"

namespace zarvex::ui {

// Decimals of the value-axis labels: the fewest that write every grid value exactly, so that
// neighbouring labels differ (a step of 0.25 needs two, a step of 1.00 none), and never more
// than the values' own.
int ValueLabelDecimals(const HistogramScale& scale);

// One line of the value grid: its scaled value and its label.
struct ValueGridLine {
    std::int64_t value = 0;
    std::string label;
};

// The value grid in drawing order: from zero rightwards up to vmax, then, when vmin is
// negative, from one step left of zero leftwards while above vmin. A line at vmin is labelled with
// its scaled value.
std::vector<ValueGridLine> ValueGrid(const HistogramScale& scale);

}  // namespace zarvex::ui
