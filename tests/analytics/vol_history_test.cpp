#include "analytics/volatility/vol_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analytics/volatility/constant_maturity.h"
#include "analytics/volatility/realized_volatility.h"
#include "analytics/volatility/vol_cone.h"

namespace zarvex::analytics {
namespace {

ContractSummary Contract(std::string code, std::int64_t days, std::optional<double> atm,
                         std::int64_t oi = 100, std::optional<double> forward = 1.0) {
    ContractSummary c;
    c.contract = std::move(code);
    c.expiration = "E" + std::to_string(days);
    c.days = days;
    c.years = static_cast<double>(days) / 365.0;
    c.atm_vol = atm;
    c.total_oi = oi;
    c.forward = forward;
    c.discount = forward ? std::optional<double>(1.0) : std::nullopt;
    return c;
}

std::optional<double> Cm(const std::vector<ContractSummary>& contracts, int days) {
    return ConstantMaturityVol(TakingPart(contracts), days);
}

TEST(ConstantMaturityTest, InterpolatesTotalVarianceAndTakesTheEdgesAsDefined) {
    const double t1 = 20 / 365.0;
    const double t2 = 50 / 365.0;
    const double tau = 30 / 365.0;
    const double w = 0.01 * t1 + (0.04 * t2 - 0.01 * t1) * (tau - t1) / (t2 - t1);
    EXPECT_NEAR(*Cm({Contract("A", 20, 0.1), Contract("B", 50, 0.2)}, 30), std::sqrt(w / tau),
                1e-15);
    // A contract right at the maturity gives its own volatility, whatever lies around it.
    EXPECT_EQ(Cm({Contract("A", 20, 0.1), Contract("B", 30, 0.17), Contract("C", 50, 0.2)}, 30),
              0.17);
    // Every contract further out: the nearest one's volatility; every one nearer: none.
    EXPECT_EQ(Cm({Contract("A", 40, 0.11), Contract("B", 80, 0.2)}, 30), 0.11);
    EXPECT_FALSE(Cm({Contract("A", 10, 0.11), Contract("B", 20, 0.2)}, 30));
    // Contracts without an ATM volatility are stepped over; those under 5 days take no part.
    EXPECT_EQ(Cm({Contract("A", 20, std::nullopt), Contract("B", 40, 0.3)}, 30), 0.3);
    EXPECT_EQ(Cm({Contract("A", 4, 0.5), Contract("B", 10, 0.3)}, 7), 0.3);
    EXPECT_EQ(Cm({Contract("A", 5, 0.5), Contract("B", 10, 0.3)}, 5), 0.5);
    EXPECT_FALSE(Cm({}, 7));
}

TEST(ConstantMaturityTest, SharedExpirationsKeepTheLargerOpenInterestThenTheSmallerCode) {
    std::vector<ContractSummary> day{Contract("B", 30, 0.1, 50), Contract("A", 30, 0.2, 50),
                                     Contract("C", 30, 0.3, 10)};
    EXPECT_EQ(Cm(day, 30), 0.2);  // A and B tie on interest: A
    day[2].total_oi = 60;
    EXPECT_EQ(Cm(day, 30), 0.3);
    // The winner without a volatility leaves the expiration without one.
    day[2].atm_vol.reset();
    EXPECT_EQ(Cm(day, 30), std::nullopt);
}

TEST(ConstantMaturityTest, WingsAreLinearOnTheSameTwoContracts) {
    std::vector<ContractSummary> day{Contract("A", 20, 0.1), Contract("B", 40, 0.2)};
    day[0].rr25 = -0.01;
    day[1].rr25 = 0.03;
    day[0].bf25 = 0.002;
    const Wings wings = ConstantMaturityWings(TakingPart(day), 30);
    EXPECT_NEAR(*wings.rr25, 0.01, 1e-15);
    EXPECT_FALSE(wings.bf25);  // one of the two has none
    day.erase(day.begin());
    EXPECT_EQ(ConstantMaturityWings(TakingPart(day), 30).rr25, 0.03);
}

TEST(FuturesStepTest, FollowsTheNearestContractOnBothDays) {
    DaySummary before{1,
                      {Contract("NEAR", 10, 0.1, 5, 1.0), Contract("B", 40, 0.1, 5, 2.0),
                       Contract("A", 40, 0.1, 5, 4.0)}};
    DaySummary day{2,
                   {Contract("NEAR", 4, 0.1, 5, 1.1), Contract("B", 39, 0.1, 9, 2.2),
                    Contract("A", 39, 0.1, 9, 4.4), Contract("NEW", 6, 0.1, 99, 3.0)}};
    // NEAR has 4 days left, NEW was not there before; A and B tie on days and interest: A.
    FuturesStep step = FuturesStepOf(day, before);
    EXPECT_EQ(step.contract, "A");
    EXPECT_EQ(step.price, 4.4);
    EXPECT_NEAR(*step.log_return, std::log(1.1), 1e-15);
    day.contracts[1].total_oi = 10;
    EXPECT_EQ(FuturesStepOf(day, before).contract, "B");
    // Without a forward on either day the contract is named, without a price.
    before.contracts[1].forward.reset();
    step = FuturesStepOf(day, before);
    EXPECT_EQ(step.contract, "B");
    EXPECT_FALSE(step.price);
    EXPECT_FALSE(step.log_return);
    EXPECT_EQ(FuturesStepOf(day, DaySummary{}).contract, "");
}

TEST(RealizedVolatilityTest, PassesOverDaysWithoutAReturn) {
    std::vector<std::optional<double>> returns;
    for (int i = 0; i < 25; ++i) {
        returns.push_back(i % 5 == 2 ? std::nullopt : std::optional<double>(0.001 * i));
    }
    const auto rv = RealizedVolatility(returns, 20);
    // 20 returns exist first on day 24 (days 2, 7, 12, 17 and 22 have none).
    for (std::size_t i = 0; i < 24; ++i) {
        EXPECT_FALSE(rv[i]) << i;
    }
    double sum = 0.0;
    int used = 0;
    for (int i = 24; used < 20; --i) {
        if (returns[static_cast<std::size_t>(i)]) {
            sum += 1e-6 * i * i;
            ++used;
        }
    }
    EXPECT_NEAR(*rv[24], std::sqrt(252.0 / 20.0 * sum), 1e-15);
}

// A day whose only contract is 30 days out with the given volatility (none for nullopt).
DaySummary Day30(common::Date date, std::optional<double> vol) {
    return {date, {Contract("A", 30, vol)}};
}

TEST(VolHistoryTest, RankAndPercentileNeedTwentyDaysAndPassOverDaysWithoutCm30) {
    std::vector<DaySummary> days;
    for (int i = 0; i < 19; ++i) {
        days.push_back(Day30(i, 0.1 + 0.001 * i));
    }
    days.push_back(Day30(19, std::nullopt));
    days.push_back(Day30(20, 0.1055));
    const auto history = VolHistory(days);
    EXPECT_FALSE(history[18].iv_rank);
    EXPECT_FALSE(history[19].iv_percentile);  // no cm30
    // The 20th day with a cm30: 0.100 .. 0.118 and 0.1055, above six of the other 19.
    ASSERT_TRUE(history[20].iv_rank);
    EXPECT_NEAR(*history[20].iv_rank, 100.0 * 0.0055 / 0.018, 1e-9);
    EXPECT_NEAR(*history[20].iv_percentile, 100.0 * 6.0 / 19.0, 1e-12);
}

TEST(VolHistoryTest, TheWindowHolds252DaysAndAFlatOneHasNoRank) {
    std::vector<DaySummary> days;
    for (int i = 0; i < 300; ++i) {
        days.push_back(Day30(i, i < 48 ? 0.5 : 0.2));
    }
    days.push_back(Day30(300, 0.3));
    const auto history = VolHistory(days);
    EXPECT_FALSE(history[299].iv_rank);  // the last 252 are all 0.2: max = min
    EXPECT_EQ(history[299].iv_percentile, 0.0);
    // Day 300's window starts at day 49: the 0.5 days have left it.
    EXPECT_EQ(history[300].iv_rank, 100.0);
    EXPECT_EQ(history[300].iv_percentile, 100.0);
}

TEST(VolHistoryTest, ThePremiumIsCm30LessRv20) {
    std::vector<DaySummary> days;
    for (int i = 0; i < 22; ++i) {
        const double forward = 1.0 + 0.01 * (i % 2);
        days.push_back({i, {Contract("A", 60 - i, 0.1, 1, forward)}});
    }
    const auto history = VolHistory(days);
    EXPECT_FALSE(history[0].log_return);
    EXPECT_EQ(history[0].futures_contract, "");
    EXPECT_FALSE(history[19].rv20);  // 19 returns
    ASSERT_TRUE(history[20].rv20);
    ASSERT_TRUE(history[21].rv20);
    EXPECT_NEAR(*history[21].rv20, std::sqrt(252.0 * std::pow(std::log(1.01), 2)), 1e-12);
    EXPECT_NEAR(*history[21].vrp20, *history[21].Cm30() - *history[21].rv20, 1e-15);
    EXPECT_FALSE(history[21].rv60);
}

TEST(VolConeTest, PercentilesAreLinearBetweenTheClosestRanks) {
    EXPECT_EQ(LinearPercentile({}, 50), std::nullopt);
    EXPECT_EQ(LinearPercentile({3.0}, 90), 3.0);
    EXPECT_NEAR(*LinearPercentile({1.0, 2.0, 4.0, 8.0, 16.0}, 90), 8.0 + 0.6 * 8.0, 1e-12);
    EXPECT_EQ(LinearPercentile({1.0, 2.0, 4.0, 8.0, 16.0}, 25), 2.0);

    std::vector<DaySummary> days;
    const std::optional<double> vols[] = {0.5, 0.4, 0.3, std::nullopt, 0.1};
    for (int i = 0; i < 5; ++i) {
        days.push_back(Day30(i, vols[i]));
    }
    const auto history = VolHistory(days);
    const auto cone = VolCone(history, 3);
    ASSERT_EQ(cone.size(), kConstantMaturities.size());
    const ConeTenor& m30 = cone[kMaturity30];
    EXPECT_EQ(m30.count, 3u);  // 0.5, 0.4, 0.3; day 3 has none
    EXPECT_EQ(m30.min, 0.3);
    EXPECT_EQ(m30.max, 0.5);
    EXPECT_EQ(m30.p50, 0.4);
    EXPECT_FALSE(m30.today);
    EXPECT_EQ(cone[4].count, 0u);  // nothing reaches 90 days
    EXPECT_FALSE(cone[4].p50);
    EXPECT_TRUE(VolCone(history, 5).empty());
}

}  // namespace
}  // namespace zarvex::analytics
