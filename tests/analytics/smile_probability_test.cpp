#include "analytics/volatility/smile_probability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analytics/volatility/black76.h"
#include "analytics/volatility/density.h"
#include "analytics/volatility/smooth_smile.h"

namespace zarvex::analytics {
namespace {

struct SplineCase {
    const char* name;
    std::vector<SmilePoint> points;
    double x;
    double vol;
    double slope;
};

// Worked by hand: for (1, .10) (2, .08) (3, .09) (4, .12) the natural spline's second
// derivatives are 0, .04, .02, 0; for the first three points alone 0, .045, 0.
const std::vector<SmilePoint> kFour{{1, 0.10}, {2, 0.08}, {3, 0.09}, {4, 0.12}};
const std::vector<SmilePoint> kThree{{1, 0.10}, {2, 0.08}, {3, 0.09}};

class SplineByHand : public ::testing::TestWithParam<SplineCase> {};

TEST_P(SplineByHand, GivesTheHandValueAndSlope) {
    const SplineCase& c = GetParam();
    const SmoothSmile smile(c.points);
    ASSERT_TRUE(smile.Usable());
    EXPECT_NEAR(*smile.VolAt(c.x), c.vol, 1e-12);
    EXPECT_NEAR(*smile.SlopeAt(c.x), c.slope, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplineByHand,
    ::testing::Values(
        SplineCase{"FourInFirstInterval", kFour, 1.5, 0.0875, -0.02 - 0.01 / 6},
        SplineCase{"FourInMiddleInterval", kFour, 2.5, 0.08125, 0.01 + 0.005 / 6},
        SplineCase{"FourAtInnerPoint", kFour, 2.0, 0.08, -0.02 / 3},
        SplineCase{"FourAtLowestPointSlopeFromInside", kFour, 1.0, 0.10, -0.08 / 3},
        SplineCase{"FourFlatBelow", kFour, 0.5, 0.10, 0.0},
        SplineCase{"FourFlatAbove", kFour, 5.0, 0.12, 0.0},
        SplineCase{"Three", kThree, 1.5, 0.0871875, -0.02 - 0.25 * 0.045 / 6},
        SplineCase{"TwoIsTheLine", {{1, 0.10}, {3, 0.08}}, 2.0, 0.09, -0.01},
        SplineCase{
            "RepeatedStrikeKeepsTheFirst", {{1, 0.10}, {1, 0.5}, {3, 0.08}}, 2.0, 0.09, -0.01}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(SmoothSmile, FewerThanTwoPointsIsNoCurve) {
    EXPECT_FALSE(SmoothSmile({}).Usable());
    EXPECT_FALSE(SmoothSmile({{1.2, 0.1}}).VolAt(1.2));
    EXPECT_FALSE(SmoothSmile(kFour).VolAt(std::nan("")));
}

ContractVolatility Figures(std::vector<SmilePoint> smile, double forward = 1.20,
                           double years = 0.25, double discount = 0.99) {
    ContractVolatility figures;
    figures.status = VolatilityStatus::kReady;
    figures.forward = forward;
    figures.years = years;
    figures.days = 91;
    figures.discount = discount;
    figures.smile = std::move(smile);
    return figures;
}

// A smile falling with the strike (PUTs dearer), in strikes around 1.20.
std::vector<SmilePoint> Skewed() {
    std::vector<SmilePoint> smile;
    for (int i = -10; i <= 10; ++i) {
        const double strike = 1.20 + 0.01 * i;
        const double x = (strike - 1.20) / 0.05;
        smile.push_back({strike, 0.08 - 0.006 * x + 0.002 * x * x});
    }
    return smile;
}

TEST(SmileProbability, IsMinusTheUndiscountedSlopeOfTheCallPrice) {
    const SmileProbability probability(Figures(Skewed()));
    for (const double x : {1.115, 1.153, 1.20, 1.237, 1.281}) {
        const double e = 1e-6;
        const double slope =
            (*probability.CallPrice(x + e) - *probability.CallPrice(x - e)) / (2 * e);
        EXPECT_NEAR(*probability.Above(x), -slope / probability.Discount(), 1e-7) << x;
        EXPECT_NEAR(*probability.Below(x), 1.0 - *probability.Above(x), 1e-15);
    }
}

TEST(SmileProbability, FlatSmileAndBeyondTheEndsIsNd2) {
    const SmileProbability flat(Figures({{1.1, 0.09}, {1.2, 0.09}, {1.3, 0.09}}));
    const SmileProbability skewed(Figures(Skewed()));
    const double root_years = std::sqrt(0.25);
    for (const double x : {1.12, 1.2, 1.29}) {
        EXPECT_DOUBLE_EQ(*flat.Above(x), *black76::ChanceAbove(1.2, x, 0.09 * root_years));
    }
    // Outside the listed strikes the smile is flat, so nothing of its slope is added.
    EXPECT_DOUBLE_EQ(*skewed.Above(1.05),
                     *black76::ChanceAbove(1.2, 1.05, Skewed().front().vol * root_years));
    EXPECT_DOUBLE_EQ(*skewed.Above(1.40),
                     *black76::ChanceAbove(1.2, 1.40, Skewed().back().vol * root_years));
}

TEST(SmileProbability, ClipsASlopeNoMarketCouldQuote) {
    // A smile so steep that the correction passes 1.
    const SmileProbability steep(Figures({{1.19, 0.60}, {1.21, 0.05}}));
    EXPECT_DOUBLE_EQ(*steep.Above(1.20), 1.0);
    EXPECT_DOUBLE_EQ(*steep.Below(1.20), 0.0);
}

TEST(SmileProbability, TouchIsTwiceTheFinishBeyondCappedAndOneAtTheForward) {
    const SmileProbability probability(Figures(Skewed()));
    EXPECT_DOUBLE_EQ(*probability.Touch(1.20), 1.0);
    EXPECT_DOUBLE_EQ(*probability.Touch(1.27), 2.0 * *probability.Above(1.27));
    EXPECT_DOUBLE_EQ(*probability.Touch(1.13), 2.0 * *probability.Below(1.13));
}

TEST(SmileProbability, NoneWithoutFiguresOrForABadPrice) {
    ContractVolatility not_ready = Figures(Skewed());
    not_ready.status = VolatilityStatus::kNoForward;
    EXPECT_FALSE(SmileProbability(not_ready).Above(1.2));
    EXPECT_FALSE(SmileProbability(Figures({{1.2, 0.1}})).Above(1.2));
    const SmileProbability probability(Figures(Skewed()));
    EXPECT_FALSE(probability.Above(0.0));
    EXPECT_FALSE(probability.Touch(-1.0));
    EXPECT_FALSE(probability.Above(INFINITY));
}

TEST(SettlementDensity, SumsToTheChanceBetweenItsEndsAndFindsItsQuantiles) {
    const SmileProbability probability(Figures(Skewed()));
    const SettlementDensity density = DensityOf(probability);
    ASSERT_TRUE(density.ready);
    ASSERT_EQ(density.grid.size(), 401U);
    ASSERT_EQ(density.density.size(), 399U);
    EXPECT_DOUBLE_EQ(density.grid.front(), 1.10);
    EXPECT_DOUBLE_EQ(density.grid.back(), 1.30);
    EXPECT_NEAR(density.step, 0.0005, 1e-15);
    EXPECT_EQ(density.negative, 0);
    // The second differences telescope: the mass is the chance between the grid's second
    // point and its last but one, to the first order of h.
    const double h = density.step;
    EXPECT_NEAR(density.mass_inside,
                *probability.Below(1.30 - h / 2) - *probability.Below(1.10 + h / 2), 1e-5);
    for (std::size_t q = 0; q < kDensityQuantiles.size(); ++q) {
        ASSERT_TRUE(density.quantiles[q]) << q;
        EXPECT_NEAR(*probability.Below(*density.quantiles[q]), kDensityQuantiles[q], 5e-5);
    }
    EXPECT_LT(*density.quantiles[0], *density.quantiles[2]);
}

TEST(SettlementDensity, QuantilesOutsideTheGridAreNone) {
    // A wide volatility on a narrow smile: the grid holds much less than the middle 90%.
    const SettlementDensity density =
        DensityOf(SmileProbability(Figures({{1.19, 0.3}, {1.20, 0.3}, {1.21, 0.3}})));
    ASSERT_TRUE(density.ready);
    EXPECT_FALSE(density.quantiles.front());
    EXPECT_FALSE(density.quantiles.back());
}

TEST(SettlementDensity, CountsAndKeepsNegativeValues) {
    // A hump in the middle of the smile is more than an arbitrage-free CALL curve can bend.
    const SettlementDensity density = DensityOf(SmileProbability(Figures({{1.10, 0.08},
                                                                          {1.16, 0.08},
                                                                          {1.18, 0.08},
                                                                          {1.20, 0.11},
                                                                          {1.22, 0.08},
                                                                          {1.24, 0.08},
                                                                          {1.30, 0.08}})));
    ASSERT_TRUE(density.ready);
    EXPECT_GT(density.negative, 0);
    double sum = 0.0;
    for (const double value : density.density) {
        sum += value * density.step;
    }
    EXPECT_DOUBLE_EQ(density.mass_inside, sum);
}

}  // namespace
}  // namespace zarvex::analytics
