#include "ui/chart/histogram_axis.h"

#include "common/text.h"

namespace zarvex::ui {

int ValueLabelDecimals(const HistogramScale& scale) {
    if (scale.value_step <= 0) {
        return scale.dv;
    }
    int decimals = scale.dv;
    std::int64_t unit = 10;
    while (decimals > 0 && scale.value_step % unit == 0) {
        --decimals;
        unit *= 10;
    }
    return decimals;
}

std::vector<ValueGridLine> ValueGrid(const HistogramScale& scale) {
    std::vector<ValueGridLine> lines;
    if (scale.empty || scale.value_step <= 0) {
        return lines;
    }
    const int decimals = ValueLabelDecimals(scale);
    const double factor = PowerOfTen(scale.dv);
    auto add = [&](std::int64_t v) {
        lines.push_back({v, v == scale.vmin
                                ? std::to_string(v)
                                : common::FormatFixed(static_cast<double>(v) / factor, decimals)});
    };
    for (std::int64_t v = 0; v <= scale.vmax; v += scale.value_step) {
        add(v);
    }
    if (scale.vmin < 0) {
        // Zero has its line already.
        for (std::int64_t v = -scale.value_step; v > scale.vmin; v -= scale.value_step) {
            add(v);
        }
    }
    return lines;
}

}  // namespace zarvex::ui
