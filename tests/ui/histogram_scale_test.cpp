#include "ui/chart/histogram_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace zarvex::ui {
namespace {

struct DecimalsCase {
    double value;
    int decimals;
};

class DecimalsOfTest : public testing::TestWithParam<DecimalsCase> {};

TEST_P(DecimalsOfTest, CountsTheDigitsOfTheShortestExactForm) {
    EXPECT_EQ(DecimalsOf(GetParam().value), GetParam().decimals) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, DecimalsOfTest,
                         testing::Values(DecimalsCase{0.0, 0}, DecimalsCase{3.0, 0},
                                         DecimalsCase{0.5, 1}, DecimalsCase{1.25, 2},
                                         DecimalsCase{-1.25, 2}, DecimalsCase{1.09975, 5},
                                         DecimalsCase{1.0950 + 0.0001, 4},
                                         DecimalsCase{0.1 + 0.2, 1}, DecimalsCase{123456.789, 3},
                                         DecimalsCase{0.00001, 5}, DecimalsCase{1.0 / 3.0, 10},
                                         DecimalsCase{1500000.0, 0},
                                         DecimalsCase{std::numeric_limits<double>::quiet_NaN(), 0},
                                         DecimalsCase{std::numeric_limits<double>::infinity(), 0}),
                         [](const testing::TestParamInfo<DecimalsCase>& param_info) {
                             return "Case" + std::to_string(param_info.index);
                         });

analytics::HistogramData Data(std::vector<double> strike, std::vector<double> call,
                              std::vector<double> put) {
    analytics::HistogramData data;
    data.axis = std::move(strike);
    data.call = std::move(call);
    data.put = std::move(put);
    return data;
}

HistogramScale Scale(const analytics::HistogramData& data, int width = 300, int height = 600) {
    return ScaleHistogram(data, AnalyseHistogram(data), width, height);
}

TEST(HistogramAnalysisTest, DataStartingWithZeroIsEmpty) {
    EXPECT_TRUE(AnalyseHistogram({}).empty);
    EXPECT_TRUE(AnalyseHistogram(Data({0.0, 1.1}, {5, 5}, {5, 5})).empty);
    EXPECT_TRUE(Scale(Data({0.0}, {1}, {1})).empty);
}

TEST(HistogramAnalysisTest, DecimalsRunOverStrikesAndBothValueArrays) {
    const auto analysis =
        AnalyseHistogram(Data({1.1, 1.10025, 1.1005, 0.0}, {0.5, 0, 0}, {0, 1.25, 0}));
    EXPECT_EQ(analysis.ds, 5);
    EXPECT_EQ(analysis.dv, 2);
    EXPECT_DOUBLE_EQ(analysis.lowest_strike, 1.1);
    EXPECT_DOUBLE_EQ(analysis.highest_strike, 1.1005);
}

TEST(HistogramAnalysisTest, HugeNumbersLoseDecimalsInsteadOfOverflowing) {
    const auto analysis = AnalyseHistogram(Data({1e9 + 0.5, 1e9 + 1}, {1e12 + 0.25}, {0}));
    EXPECT_LE(analysis.highest_strike * PowerOfTen(analysis.ds), 1e15);
    EXPECT_LE(1e12 * PowerOfTen(analysis.dv), 1e15);
}

struct ScaleCase {
    const char* name;
    double call;
    double put;
    std::int64_t vmin;
    std::int64_t vmax;
    std::int64_t value_step;
};

class ValueScaleTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(ValueScaleTest, PadsTheRangeAndPicksTheStep) {
    const ScaleCase& c = GetParam();
    const auto scale = Scale(Data({1.1, 1.2}, {c.call, 0}, {c.put, 0}));
    EXPECT_EQ(scale.vmin, c.vmin);
    EXPECT_EQ(scale.vmax, c.vmax);
    EXPECT_EQ(scale.value_step, c.value_step);
}

// Width 300: 255 pixels for the values.
INSTANTIATE_TEST_SUITE_P(
    Cases, ValueScaleTest,
    testing::Values(
        // Below 5 units the range is raised to 5, plus 30 %: 6. Steps are round numbers (1, 2,
        // 2.5, 5 x 10^k) at least 50 pixels apart: 2 here.
        ScaleCase{"BelowFive", 3, 2, 0, 6, 2},
        // 0.5 and 1.25 are scaled by 100.
        ScaleCase{"Hundredths", 0.5, 1.25, 0, 162, 50},
        ScaleCase{"Thousands", 10000, 0, 0, 13000, 5000},
        ScaleCase{"AboveOneHundredFiftyThousand", 200000, 0, 0, 260000, 100000},
        ScaleCase{"AboveFifteenMillion", 20000000, 0, 0, 26000000, 10000000},
        // -8 becomes -10; the pad of 4 keeps it there.
        ScaleCase{"SmallNegativePadFour", 5, -8, -10, 9, 5},
        // -8 becomes -10; a pad of 12 takes it to -20.
        // The negative side gets a line of its own: the step shrinks to 10.
        ScaleCase{"SmallNegativePadTwelve", 30, -8, -20, 42, 10},
        ScaleCase{"MidNegative", 30, -20, -40, 46, 20},
        ScaleCase{"LargeNegative", 1000, -500, -950, 1450, 500}),
    [](const testing::TestParamInfo<ScaleCase>& param_info) { return param_info.param.name; });

TEST(HistogramScaleTest, StrikeAxisRunsFromTheBottomMargin) {
    // EUR strikes 1.1000 .. 1.1050 need four decimals: 50 units over 575 pixels.
    const auto scale = Scale(Data({1.1, 1.1025, 1.105}, {1, 1, 1}, {1, 1, 1}));
    EXPECT_EQ(scale.ds, 4);
    EXPECT_EQ(scale.kmin, 11000);
    EXPECT_EQ(scale.kmax, 11050);
    EXPECT_DOUBLE_EQ(scale.ky, 575.0 / 50.0);
    EXPECT_EQ(scale.strike_step, 10);
    EXPECT_EQ(scale.StrikeToY(11000), 580);
    EXPECT_EQ(scale.StrikeToY(11025), 580 - 288);
    EXPECT_EQ(scale.StrikeToY(11050), 5);
    EXPECT_EQ(scale.ValueToX(0), 40);
}

TEST(HistogramScaleTest, StrikeStepReachesFiftyPixels) {
    std::vector<double> strikes;
    for (int i = 0; i <= 200; ++i) {
        strikes.push_back(1.0 + i * 0.0025);
    }
    const auto scale = Scale(Data(strikes, std::vector<double>(201, 1), {}));
    EXPECT_EQ(scale.kmax - scale.kmin, 5000);
    // 575 / 5000 pixels a unit: 440 is the first multiple of ten reaching 50 pixels.
    EXPECT_EQ(scale.strike_step, 440);
}

TEST(HistogramScaleTest, OneDistinctStrikeSitsInTheMiddleWithFiniteNumbers) {
    const auto scale = Scale(Data({1.1}, {100}, {60}), 300, 600);
    EXPECT_TRUE(scale.single_row);
    EXPECT_TRUE(std::isfinite(scale.ky));
    EXPECT_TRUE(std::isfinite(scale.kx));
    EXPECT_EQ(scale.TopY(), 5);
    EXPECT_EQ(scale.BottomY(), 580);
    EXPECT_EQ(scale.StrikeToY(scale.kmin), (5 + 580) / 2);
    EXPECT_GE(scale.strike_step, 1);
}

TEST(HistogramScaleTest, NonFiniteValuesCountAsZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const auto scale = Scale(Data({1.1, 1.2}, {nan, 3}, {inf, 2}));
    EXPECT_EQ(scale.vmin, 0);
    EXPECT_EQ(scale.vmax, 6);
}

TEST(HistogramScaleTest, TinyCanvasStillGivesFiniteSteps) {
    const auto scale = Scale(Data({1.1, 1.2}, {1e6, 0}, {-1e6, 0}), 3, 3);
    EXPECT_GE(scale.value_step, 1);
    EXPECT_GE(scale.strike_step, 1);
    EXPECT_LE((scale.vmax - scale.vmin) / scale.value_step, 4000);
}

TEST(HistogramScaleTest, ValuesWithManyDecimalsKeepGridLinesFiftyPixelsApart) {
    // 1/3 needs ten decimals: far beyond the step tables.
    const auto scale = Scale(Data({1.1, 1.2}, {3000.0 / 3.0, 0}, {0, 0}));
    EXPECT_GE(static_cast<double>(scale.value_step) * scale.kx, 50.0);
    EXPECT_LT(static_cast<double>(scale.value_step) * scale.kx, 130.0);
}

}  // namespace
}  // namespace zarvex::ui
