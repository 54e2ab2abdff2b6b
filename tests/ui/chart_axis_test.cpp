#include "ui/chart/chart_axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace zarvex::ui {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A monospaced stand-in for the font: seven pixels a character.
double Width(const std::string& label) {
    return 7.0 * static_cast<double>(label.size());
}

struct AxisCase {
    const char* name;
    double low;
    double high;
    AxisUnit unit;
    double pixels;
    double min_gap;
    bool horizontal;  // labels measured by width, otherwise by a 14-pixel line height
    bool extend;
};

class ChartAxisTable : public testing::TestWithParam<AxisCase> {};

bool IsRoundStep(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double multiple = step / power;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (std::fabs(multiple - m) < 1e-6) {
            return true;
        }
    }
    return false;
}

TEST_P(ChartAxisTable, RoundStepsDistinctLabelsAndNoOverlap) {
    const AxisCase& c = GetParam();
    AxisRequest request;
    request.low = c.low;
    request.high = c.high;
    request.unit = c.unit;
    request.pixels = c.pixels;
    request.min_gap = c.min_gap;
    request.extend = c.extend;
    if (c.horizontal) {
        request.label_extent = Width;
    } else {
        request.label_extent = [](const std::string&) { return 14.0; };
    }
    const ChartAxis axis = MakeChartAxis(request);

    ASSERT_TRUE(std::isfinite(axis.low) && std::isfinite(axis.high));
    ASSERT_LT(axis.low, axis.high);
    const double shown_step = axis.step * (c.unit == AxisUnit::kPercent ? 100.0 : 1.0);
    EXPECT_TRUE(IsRoundStep(shown_step)) << shown_step;
    if (c.unit == AxisUnit::kDays || c.unit == AxisUnit::kCount) {
        EXPECT_GE(axis.step, 1.0);
        EXPECT_EQ(axis.step, std::floor(axis.step));
    }
    if (c.unit == AxisUnit::kDays) {
        EXPECT_GE(axis.low, 0.0);
    }
    if (c.extend && std::isfinite(c.low) && std::isfinite(c.high) && c.unit != AxisUnit::kDays) {
        EXPECT_LE(axis.low, std::min(c.low, c.high));
        EXPECT_GE(axis.high, std::max(c.low, c.high));
    }
    ASSERT_FALSE(axis.ticks.empty());
    std::set<std::string> labels;
    double last_end = -kInf;
    int labelled = 0;
    for (const AxisTick& tick : axis.ticks) {
        EXPECT_GE(tick.value, axis.low - axis.step * 1e-9);
        EXPECT_LE(tick.value, axis.high + axis.step * 1e-9);
        const double steps = tick.value / axis.step;
        EXPECT_NEAR(steps, std::round(steps), 1e-6) << tick.value;
        if (tick.label.empty()) {
            continue;
        }
        ++labelled;
        EXPECT_TRUE(labels.insert(tick.label).second) << "repeated " << tick.label;
        if (c.unit == AxisUnit::kPercent) {
            EXPECT_EQ(tick.label.back(), '%');
        }
        const double at = axis.Share(tick.value) * c.pixels;
        const double half = request.label_extent(tick.label) / 2.0;
        EXPECT_GE(at - half, last_end) << tick.label << " overlaps its neighbour";
        last_end = at + half;
    }
    EXPECT_GE(labelled, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ChartAxisTable,
    testing::Values(
        // The smile's strikes, which used to read 1.2677, 1.3076, ...
        AxisCase{"smile", 1.2677, 1.4271, AxisUnit::kNumber, 500, 60, true, true},
        // ATM volatilities a few hundredths of a percent apart ("8.77%" twice before).
        AxisCase{"term", 0.08765, 0.08779, AxisUnit::kPercent, 150, 30, false, true},
        AxisCase{"percent_wide", 0.05, 0.31, AxisUnit::kPercent, 300, 30, false, true},
        AxisCase{"days", 3, 96, AxisUnit::kDays, 300, 40, true, true},
        AxisCase{"days_single", 0, 0, AxisUnit::kDays, 300, 40, true, true},
        AxisCase{"days_negative_given", -5, 40, AxisUnit::kDays, 300, 40, true, true},
        AxisCase{"tiny", 1.0000001, 1.0000004, AxisUnit::kNumber, 400, 50, true, true},
        AxisCase{"tiny_near_zero", 0, 1e-13, AxisUnit::kNumber, 400, 50, false, true},
        AxisCase{"huge", -3e9, 7e11, AxisUnit::kNumber, 300, 40, true, true},
        AxisCase{"absurd", -1e300, 1e300, AxisUnit::kNumber, 300, 40, false, true},
        AxisCase{"negative", -0.37, -0.02, AxisUnit::kNumber, 200, 30, false, true},
        AxisCase{"zero_width", 1.165, 1.165, AxisUnit::kNumber, 300, 40, true, true},
        AxisCase{"zero_width_zero", 0, 0, AxisUnit::kNumber, 300, 40, false, true},
        AxisCase{"reversed", 10, -10, AxisUnit::kNumber, 300, 40, true, true},
        AxisCase{"nan_low", kNaN, 5, AxisUnit::kNumber, 300, 40, true, true},
        AxisCase{"both_nan", kNaN, kNaN, AxisUnit::kPercent, 300, 40, true, true},
        AxisCase{"infinite", -kInf, kInf, AxisUnit::kNumber, 300, 40, true, true},
        AxisCase{"few_pixels", 0, 1000000, AxisUnit::kNumber, 30, 10, true, true},
        AxisCase{"zero_pixels", 0, 1, AxisUnit::kNumber, 0, 0, true, true},
        AxisCase{"count_scale", -48213, 48213, AxisUnit::kCount, 260, 50, true, false},
        AxisCase{"count_small", 0, 3, AxisUnit::kCount, 260, 50, true, false}),
    [](const testing::TestParamInfo<AxisCase>& param) { return std::string(param.param.name); });

TEST(ChartAxis, SmileStrikesStepRoundly) {
    AxisRequest request;
    request.low = 1.2677;
    request.high = 1.4271;
    request.pixels = 500;
    request.min_gap = 60;
    request.label_extent = Width;
    const ChartAxis axis = MakeChartAxis(request);
    EXPECT_DOUBLE_EQ(axis.step, 0.02);
    EXPECT_DOUBLE_EQ(axis.low, 1.26);
    EXPECT_DOUBLE_EQ(axis.high, 1.44);
    EXPECT_EQ(axis.ticks.front().label, "1.26");
    EXPECT_EQ(axis.ticks[1].label, "1.28");
}

TEST(ChartAxis, LabelsCarryTheDecimalsOfTheirStep) {
    EXPECT_EQ(AxisLabel(0.0875, AxisUnit::kPercent, 2), "8.75%");
    EXPECT_EQ(AxisLabel(-0.0001, AxisUnit::kNumber, 2), "0.00");
    EXPECT_EQ(AxisLabel(12.0, AxisUnit::kDays, 0), "12");
    AxisRequest request;
    request.low = 0;
    request.high = 1;
    request.pixels = 120;
    request.min_gap = 30;
    request.label_extent = [](const std::string&) { return 14.0; };
    const ChartAxis axis = MakeChartAxis(request);
    EXPECT_DOUBLE_EQ(axis.step, 0.25);
    EXPECT_EQ(axis.decimals, 2);
    EXPECT_EQ(axis.ticks[2].label, "0.50");
    request.pixels = 400;
    EXPECT_EQ(MakeChartAxis(request).decimals, 1);
}

TEST(ChartAxis, CrowdedLabelsWidenTheStep) {
    AxisRequest request;
    request.low = 0;
    request.high = 1000000;
    request.pixels = 300;
    request.min_gap = 10;
    request.label_extent = Width;  // "1000000" takes 49 pixels
    const ChartAxis axis = MakeChartAxis(request);
    EXPECT_GE(axis.step, 200000.0);
    for (const AxisTick& tick : axis.ticks) {
        EXPECT_FALSE(tick.label.empty());
    }
}

TEST(ChartAxis, ScaleWithoutExtendingKeepsItsEnds) {
    AxisRequest request;
    request.low = -48213;
    request.high = 48213;
    request.unit = AxisUnit::kCount;
    request.pixels = 260;
    request.label_extent = Width;
    request.extend = false;
    const ChartAxis axis = MakeChartAxis(request);
    EXPECT_DOUBLE_EQ(axis.low, -48213);
    EXPECT_DOUBLE_EQ(axis.high, 48213);
    bool zero = false;
    for (const AxisTick& tick : axis.ticks) {
        zero = zero || (tick.value == 0.0 && tick.label == "0");
    }
    EXPECT_TRUE(zero);
}

}  // namespace
}  // namespace zarvex::ui
