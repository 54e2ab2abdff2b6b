#include "analytics/right_panel/decimal_grid.h"

#include <cmath>
#include <string>

#include "common/text.h"

namespace zarvex::analytics {

namespace {

bool ReadsTheSame(double a, const std::string& b_text) {
    return common::FormatShort(a) == b_text;
}

}  // namespace

std::optional<std::size_t> FindOnDecimalGrid(double value, double origin, double step,
                                             std::size_t count) {
    if (count == 0 || !std::isfinite(value) || !std::isfinite(origin) || !std::isfinite(step) ||
        step <= 0.0) {
        return std::nullopt;
    }
    const double offset = (value - origin) / step;
    const double last = static_cast<double>(count - 1);
    // Two texts that read the same differ by less than 1e-10, far less than any step of the
    // program (at least 1e-4), so a match can only be the nearest position; one position on
    // either side is still looked at, for rounding at the edges of the double's precision.
    if (!(offset > -1.5 && offset < last + 1.5)) {
        return std::nullopt;
    }
    const double nearest = std::nearbyint(offset);
    const std::string value_text = common::FormatShort(value);
    for (const double k : {nearest, nearest - 1.0, nearest + 1.0}) {
        if (k < 0.0 || k > last) {
            continue;
        }
        const auto index = static_cast<std::size_t>(k);
        if (ReadsTheSame(GridPosition(origin, step, index), value_text)) {
            return index;
        }
    }
    return std::nullopt;
}

}  // namespace zarvex::analytics
