#include "ui/chart/chart_axis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "common/text.h"

namespace zarvex::ui {
namespace {

// Beyond this a range is no longer a chart's: the ends are held here so that spans and
// steps stay finite.
constexpr double kLimit = 1e300;
// A narrower span is a single value (decimals beyond this write nothing a reader can use).
constexpr double kLeastSpan = 1e-12;
constexpr int kMaxDecimals = 15;
constexpr long long kMaxTicks = 1000;
constexpr int kMaxTries = 64;

bool Whole(AxisUnit unit) {
    return unit == AxisUnit::kDays || unit == AxisUnit::kCount;
}

// Percentages are stepped and written in percent, everything else as it is.
double DisplayFactor(AxisUnit unit) {
    return unit == AxisUnit::kPercent ? 100.0 : 1.0;
}

double Held(double value) {
    return std::isfinite(value) ? std::clamp(value, -kLimit, kLimit)
                                : std::numeric_limits<double>::quiet_NaN();
}

// The smallest of 1, 2, 2.5 and 5 x 10^k not below `least`; whole units never step by less
// than one, nor by 2.5.
double RoundStepAtLeast(double least, bool whole) {
    if (!(least > 0.0) || !std::isfinite(least)) {
        least = whole ? 1.0 : kLeastSpan;
    }
    if (whole && least <= 1.0) {
        return 1.0;
    }
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (int round = 0; round < 3; ++round, power *= 10.0) {
        for (double multiple : {1.0, 2.0, 2.5, 5.0}) {
            const double step = multiple * power;
            if (whole && step != std::floor(step)) {
                continue;
            }
            if (step >= least * (1.0 - 1e-12)) {
                return step;
            }
        }
    }
    return 10.0 * power;
}

double NextRoundStep(double step, bool whole) {
    return RoundStepAtLeast(step * (1.0 + 1e-9), whole);
}

// The fewest decimals that write the step exactly.
int StepDecimals(double step) {
    for (int decimals = 0; decimals < kMaxDecimals; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) <= 1e-9 * std::max(1.0, scaled)) {
            return decimals;
        }
    }
    return kMaxDecimals;
}

struct Candidate {
    double low = 0.0;  // display units
    double high = 1.0;
    std::vector<double> values;
};

Candidate Lines(double low, double high, double step, bool extend) {
    Candidate c;
    c.low = low;
    c.high = high;
    if (extend) {
        c.low = std::floor(low / step + 1e-9) * step;
        c.high = std::ceil(high / step - 1e-9) * step;
        if (c.high <= c.low) {
            c.high = c.low + step;
        }
    }
    const double first = std::ceil(c.low / step - 1e-9);
    const double last = std::floor(c.high / step + 1e-9);
    if (last - first + 1.0 > static_cast<double>(kMaxTicks)) {
        return c;  // values stay empty: the caller takes a wider step
    }
    for (double k = first; k <= last; k += 1.0) {
        const double v = k * step;
        c.values.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
    }
    return c;
}

}  // namespace

double ChartAxis::Share(double value) const {
    return high > low ? (value - low) / (high - low) : 0.5;
}

std::string AxisLabel(double value, AxisUnit unit, int decimals) {
    std::string text = common::FormatFixed(value * DisplayFactor(unit), decimals);
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);  // "-0.00" is zero
    }
    if (unit == AxisUnit::kPercent) {
        text += '%';
    }
    return text;
}

ChartAxis MakeChartAxis(const AxisRequest& request) {
    const AxisUnit unit = request.unit;
    const bool whole = Whole(unit);
    const double factor = DisplayFactor(unit);
    double low = Held(request.low);
    double high = Held(request.high);
    if (std::isnan(low) && std::isnan(high)) {
        low = 0.0;
        high = 1.0;
    } else if (std::isnan(low)) {
        low = high;
    } else if (std::isnan(high)) {
        high = low;
    }
    if (low > high) {
        std::swap(low, high);
    }
    low *= factor;
    high *= factor;
    if (unit == AxisUnit::kDays) {
        // Days to expiry count from today: the axis never starts before it.
        low = std::max(low, 0.0);
        high = std::max(high, low);
    }
    const double magnitude = std::max(std::fabs(low), std::fabs(high));
    if (high - low < std::max(kLeastSpan, magnitude * 1e-12)) {
        const double pad = whole ? 1.0 : std::max(magnitude * 0.01, 1e-4 * factor);
        low = unit == AxisUnit::kDays ? std::max(0.0, low - pad) : low - pad;
        high += pad;
    }
    const double pixels = request.pixels >= 1.0 ? request.pixels : 1.0;
    const double min_gap = request.min_gap >= 1.0 ? request.min_gap : 1.0;
    const auto extent = [&](const std::string& label) {
        const double e = request.label_extent ? request.label_extent(label) : 0.0;
        return std::isfinite(e) ? std::max(0.0, e) : 0.0;
    };

    ChartAxis axis;
    double step = RoundStepAtLeast((high - low) * min_gap / pixels, whole);
    for (int attempt = 0;; ++attempt, step = NextRoundStep(step, whole)) {
        const Candidate c = Lines(low, high, step, request.extend);
        if (c.values.empty() && c.high - c.low > step && attempt < kMaxTries) {
            continue;  // too many lines for the pixels
        }
        axis.low = c.low / factor;
        axis.high = c.high / factor;
        axis.step = step / factor;
        axis.decimals = StepDecimals(step);
        std::vector<std::string> labels;
        for (;; ++axis.decimals) {
            labels.clear();
            bool distinct = true;
            for (double v : c.values) {
                labels.push_back(request.label ? request.label(v / factor)
                                               : AxisLabel(v / factor, unit, axis.decimals));
                distinct =
                    distinct && (labels.size() < 2 || labels.back() != labels[labels.size() - 2]);
            }
            if (distinct || request.label || axis.decimals >= kMaxDecimals) {
                break;
            }
        }
        const double span = c.high - c.low;
        bool apart = true;
        for (std::size_t i = 1; i < c.values.size() && apart; ++i) {
            const double gap = (c.values[i] - c.values[i - 1]) / span * pixels;
            apart =
                gap >= (extent(labels[i]) + extent(labels[i - 1])) / 2.0 + request.label_spacing;
        }
        // Two lines at the frame's ends cannot move further apart: their labels are thinned.
        const bool last_try =
            attempt >= kMaxTries || (request.extend ? c.values.size() <= 2 : c.values.size() <= 1);
        if (!apart && !last_try) {
            continue;
        }
        axis.ticks.clear();
        double last_end = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            const double at = (c.values[i] - c.low) / span * pixels;
            const double half = extent(labels[i]) / 2.0;
            if (apart || at - half >= last_end + request.label_spacing) {
                axis.ticks.push_back({c.values[i] / factor, labels[i]});
                last_end = at + half;
            } else {
                axis.ticks.push_back({c.values[i] / factor, std::string()});
            }
        }
        return axis;
    }
}

}  // namespace zarvex::ui
