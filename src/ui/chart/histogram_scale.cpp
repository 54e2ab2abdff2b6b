#include "ui/chart/histogram_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zarvex::ui {
namespace {

constexpr int kMaxDecimals = 10;
// Scaled numbers stay below this so that they are exact in a double and the grid loops stay
// short, whatever the data holds.
constexpr double kMaxScaled = 1e15;
// More grid lines than this on one axis means the data is out of all proportion; the step
// is widened instead of drawing millions of lines.
constexpr std::int64_t kMaxGridLines = 4000;
constexpr int kCoordinateLimit = 1000000;

double Finite(double value) {
    return std::isfinite(value) ? value : 0.0;
}

double At(const std::vector<double>& values, std::size_t index) {
    return index < values.size() ? Finite(values[index]) : 0.0;
}

std::int64_t RoundScaled(double value) {
    return std::llround(std::clamp(value, -kMaxScaled, kMaxScaled));
}

// Lowers the decimals until the largest magnitude, scaled, fits.
int FitDecimals(int decimals, double largest_magnitude) {
    while (decimals > 0 && largest_magnitude * PowerOfTen(decimals) > kMaxScaled) {
        --decimals;
    }
    return decimals;
}

int ClampCoordinate(double value) {
    return static_cast<int>(std::clamp(value, -double{kCoordinateLimit}, double{kCoordinateLimit}));
}

// The first of first, first + increment, ... up to last with step * pixels >= 50; when none
// qualifies, the value after last (as a counting loop leaves it).
std::int64_t FirstStep(std::int64_t first, std::int64_t increment, std::int64_t last,
                       double pixels_per_unit) {
    std::int64_t step = first;
    for (; step <= last; step += increment) {
        if (static_cast<double>(step) * pixels_per_unit >= 50.0) {
            return step;
        }
    }
    return step;
}

// Grid lines closer than two pixels merge into a grey plane: that happens only when the
// numbers are far beyond the step tables (values with many decimals, absurd strikes). Then
// the step grows to the first 1-2-5 number that reaches 50 pixels again.
std::int64_t WidenStep(std::int64_t step, std::int64_t range, double pixels_per_unit) {
    step = std::max<std::int64_t>(step, 1);
    if (pixels_per_unit > 0.0 && static_cast<double>(step) * pixels_per_unit < 2.0 &&
        range / step > 2) {
        std::int64_t nice = 1;
        for (std::int64_t base = 1; base <= 100000000000000000; base *= 10) {
            nice = 0;
            for (std::int64_t multiple : {1, 2, 5}) {
                if (static_cast<double>(base * multiple) * pixels_per_unit >= 50.0) {
                    nice = base * multiple;
                    break;
                }
            }
            if (nice != 0) {
                break;
            }
        }
        step = std::max(step, nice);
    }
    if (range / step > kMaxGridLines) {
        step = range / kMaxGridLines + 1;
    }
    return step;
}

// The value grid at round numbers a reader adds up at a glance: the first of 1, 2, 2.5 and 5
// times a power of ten, in the values' own units, whose lines stand at least 50 pixels apart.
// Scaled by 10^dv it must be a whole number of units.
std::int64_t RoundValueStep(int dv, double pixels_per_unit) {
    const double unit = PowerOfTen(dv);
    for (double base = 1e-10; base <= 1e18; base *= 10.0) {
        for (double multiple : {1.0, 2.0, 2.5, 5.0}) {
            const double scaled = std::round(base * multiple * unit * 1e6) / 1e6;
            if (scaled > 1e17) {
                return static_cast<std::int64_t>(1e17);
            }
            if (scaled < 1.0 || scaled != std::floor(scaled)) {
                continue;
            }
            if (scaled * pixels_per_unit >= 50.0) {
                return static_cast<std::int64_t>(scaled);
            }
        }
    }
    return 1;
}

// The round number before a round one: 5 -> 2.5 (when whole) or 2, 2 -> 1, 1 -> 0.5 ...
std::int64_t NextSmallerRound(std::int64_t step) {
    std::int64_t base = 1;
    while (base * 10 <= step) {
        base *= 10;
    }
    const std::int64_t multiple = step / base;
    if (step % base != 0) {  // 2.5 x 10^k
        return base * 2;
    }
    if (multiple >= 5) {
        return base >= 2 && (base * 25) % 10 == 0 ? base * 25 / 10 : base * 2;
    }
    if (multiple >= 2) {
        return base;
    }
    return base / 2;
}

}  // namespace

double PowerOfTen(int n) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
    return kPowers[std::clamp(n, 0, kMaxDecimals)];
}

int DecimalsOf(double value) {
    if (!std::isfinite(value) || value == 0.0) {
        return 0;
    }
    const double magnitude = std::fabs(value);
    const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    const int shown = std::clamp(14 - exponent, 0, 30);
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", shown, magnitude);
    const char* point = std::strchr(text, '.');
    if (point == nullptr) {
        return 0;
    }
    int decimals = static_cast<int>(std::strlen(point + 1));
    while (decimals > 0 && point[decimals] == '0') {
        --decimals;
    }
    return std::min(decimals, kMaxDecimals);
}

HistogramAnalysis AnalyseHistogram(const analytics::HistogramData& data) {
    HistogramAnalysis result;
    // Strikes are positive prices; data that does not start with one is no data.
    if (data.axis.empty() || !(Finite(data.axis[0]) > 0.0)) {
        return result;
    }
    result.empty = false;
    double largest_strike = 0.0;
    double largest_value = 0.0;
    double lowest = Finite(data.axis[0]);
    double highest = lowest;
    for (double raw : data.axis) {
        const double strike = Finite(raw);
        result.ds = std::max(result.ds, DecimalsOf(strike));
        largest_strike = std::max(largest_strike, std::fabs(strike));
        if (strike > 0.0) {
            lowest = std::min(lowest, strike);
            highest = std::max(highest, strike);
        }
    }
    for (const auto* values : {&data.call, &data.put}) {
        for (double raw : *values) {
            const double value = Finite(raw);
            result.dv = std::max(result.dv, DecimalsOf(value));
            largest_value = std::max(largest_value, std::fabs(value));
        }
    }
    result.ds = FitDecimals(result.ds, largest_strike);
    result.dv = FitDecimals(result.dv, largest_value);
    result.lowest_strike = lowest;
    result.highest_strike = highest;
    return result;
}

HistogramScale ScaleHistogram(const analytics::HistogramData& data,
                              const HistogramAnalysis& analysis, int width, int height) {
    HistogramScale scale;
    scale.width = width;
    scale.height = height;
    if (analysis.empty) {
        return scale;
    }
    scale.empty = false;
    scale.ds = analysis.ds;
    scale.dv = analysis.dv;
    const int h_avail = height - 10;
    const int w_avail = width - 40;
    const double strike_factor = PowerOfTen(scale.ds);
    const double value_factor = PowerOfTen(scale.dv);
    scale.kmin = RoundScaled(analysis.lowest_strike * strike_factor);
    scale.kmax = RoundScaled(analysis.highest_strike * strike_factor);

    double vlow = 9999999999.0;
    double vhigh = 0.0;
    for (std::size_t i = 0; i < data.axis.size(); ++i) {
        if (!(Finite(data.axis[i]) > 0.0)) {
            continue;
        }
        for (double value : {At(data.call, i), At(data.put, i)}) {
            vlow = std::min(vlow, value);
            vhigh = std::max(vhigh, value);
        }
    }
    if (vlow > 0.0) {
        vlow = 0.0;
    }
    scale.vmin = RoundScaled(vlow * value_factor);
    scale.vmax = RoundScaled(vhigh * value_factor);
    if (scale.vmax < 5) {
        scale.vmax = 5;
    }
    if (scale.vmin >= -10 && scale.vmin < 0) {
        scale.vmin = -10;
    } else if (scale.vmin >= -25 && scale.vmin < -10) {
        scale.vmin = -25;
    }
    const std::int64_t pad = (scale.vmax - scale.vmin) * 30 / 100;
    scale.vmax += pad;
    if (scale.vmin != 0) {
        const float tenths = static_cast<float>(scale.vmin - pad) / 10.0f;
        scale.vmin = std::llround(10.0 * std::ceil(static_cast<double>(tenths)));
    }

    if (scale.kmax == scale.kmin) {
        scale.single_row = true;
        scale.ky = 0.0;
    } else {
        scale.ky = (h_avail - 15) / static_cast<double>(scale.kmax - scale.kmin);
    }
    scale.kx = (w_avail - 5) / static_cast<double>(scale.vmax - scale.vmin);

    scale.strike_step = FirstStep(0, 10, 20000, scale.ky);

    const std::int64_t range = scale.vmax - scale.vmin;
    std::int64_t step = RoundValueStep(scale.dv, scale.kx);
    // A negative side narrower than one step would show no value of its own: the step shrinks
    // to a round one that fits it, as long as its lines stay readable apart.
    if (scale.vmin < 0 && step >= -scale.vmin) {
        for (std::int64_t smaller = step; smaller >= 1;) {
            const std::int64_t next = NextSmallerRound(smaller);
            if (next < 1 || static_cast<double>(next) * scale.kx < 30.0) {
                break;
            }
            smaller = next;
            if (smaller < -scale.vmin) {
                step = smaller;
                break;
            }
        }
    }
    scale.value_step = WidenStep(step, range, scale.kx);
    scale.strike_step = WidenStep(scale.strike_step, scale.kmax - scale.kmin, scale.ky);
    return scale;
}

int HistogramScale::BottomY() const {
    return height - 20;
}

int HistogramScale::TopY() const {
    if (single_row) {
        return BottomY() - (height - 10 - 15);
    }
    return StrikeToY(kmax);
}

int HistogramScale::StrikeToY(std::int64_t scaled_strike) const {
    if (single_row) {
        return (TopY() + BottomY()) / 2;
    }
    const double offset = std::round(static_cast<double>(scaled_strike - kmin) * ky);
    return ClampCoordinate(BottomY() - offset);
}

int HistogramScale::ValueToX(std::int64_t scaled_value) const {
    const double offset = std::round(static_cast<double>(scaled_value - vmin) * kx);
    return ClampCoordinate(offset + 40.0);
}

}  // namespace zarvex::ui
