#include "analytics/volatility/gamma_exposure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analytics/volatility/black76.h"

namespace zarvex::analytics {
namespace {

constexpr double kYears = 0.25;
constexpr double kDiscount = 0.99;
constexpr double kSize = 125000.0;

struct Row {
    double strike;
    bool call;
    std::int64_t oi;
    double vol;  // 0: the row has none
};

// Figures as the volatility code leaves them, built straight from the rows' volatilities.
ContractVolatility Contract(double forward, std::int64_t days, const std::vector<Row>& rows) {
    ContractVolatility figures;
    figures.status = VolatilityStatus::kReady;
    figures.forward = forward;
    figures.days = days;
    figures.years = static_cast<double>(days) / 365.0;
    figures.discount = kDiscount;
    for (const Row& row : rows) {
        if (figures.points.empty() || figures.points.back().quote.strike != row.strike) {
            figures.points.push_back({});
            figures.points.back().quote.strike = row.strike;
        }
        VolatilityPoint& point = figures.points.back();
        ChainSide& quote = row.call ? point.quote.call : point.quote.put;
        SideVolatility& side = row.call ? point.call : point.put;
        quote.present = true;
        quote.oi = row.oi;
        if (row.vol > 0.0) {
            side.vol = row.vol;
            side.reason = NoVolReason::kNone;
            side.greeks = black76::GreeksOf(row.call ? common::Side::kCall : common::Side::kPut,
                                            forward, row.strike, row.vol, figures.years, kDiscount);
        } else {
            side.reason = NoVolReason::kNoPremium;
        }
    }
    return figures;
}

double Expected(double forward, double years, const Row& row) {
    return *black76::Gamma(forward, row.strike, row.vol * std::sqrt(years), kDiscount) *
           static_cast<double>(row.oi) * kSize * forward * forward * 0.01;
}

TEST(GammaExposure, TheSearchsGammaIsQuantLibs) {
    for (const double strike : {0.6, 1.1, 1.2, 1.31, 2.5}) {
        for (const double vol : {0.01, 0.09, 0.8}) {
            const auto greeks = black76::GreeksOf(common::Side::kCall, 1.2, strike, vol, 0.3, 0.97);
            ASSERT_TRUE(greeks);
            const double gamma = *black76::Gamma(1.2, strike, vol * std::sqrt(0.3), 0.97);
            EXPECT_NEAR(gamma, greeks->gamma, 1e-12 * std::max(1.0, greeks->gamma))
                << strike << " " << vol;
        }
    }
    EXPECT_FALSE(black76::Gamma(1.2, 1.2, 0.0, 0.97));
    EXPECT_FALSE(black76::Gamma(-1.2, 1.2, 0.1, 0.97));
}

TEST(GammaExposure, CallsAddPutsSubtractAndTheSwitchFlipsBoth) {
    const std::vector<Row> rows{{1.18, true, 300, 0.085},
                                {1.18, false, 900, 0.09},
                                {1.22, true, 700, 0.08},
                                {1.22, false, 0, 0.081},
                                {1.24, true, 50, 0.0}};
    const ContractVolatility figures = Contract(1.20, 91, rows);
    const double years = figures.years;
    const GammaExposure dealers_long =
        ExposureOf({{nullptr, &figures}}, kSize, GammaSign::kDealerLongCalls);
    ASSERT_EQ(dealers_long.strikes.size(), 3U);
    const ExposureStrike& low = dealers_long.strikes[0];
    EXPECT_DOUBLE_EQ(low.strike, 1.18);
    EXPECT_NEAR(low.call, Expected(1.20, years, rows[0]), 1e-9 * std::fabs(low.call));
    EXPECT_NEAR(low.put, -Expected(1.20, years, rows[1]), 1e-9 * std::fabs(low.put));
    EXPECT_DOUBLE_EQ(low.total, low.call + low.put);
    EXPECT_LT(low.total, 0.0);
    EXPECT_GT(dealers_long.strikes[1].total, 0.0);
    EXPECT_EQ(dealers_long.strikes[1].put, 0.0);
    EXPECT_EQ(dealers_long.strikes[2].total, 0.0);
    EXPECT_EQ(dealers_long.left_out, 1);
    EXPECT_DOUBLE_EQ(dealers_long.total,
                     low.total + dealers_long.strikes[1].total + dealers_long.strikes[2].total);

    const GammaExposure dealers_short =
        ExposureOf({{nullptr, &figures}}, kSize, GammaSign::kDealerShortCalls);
    for (std::size_t i = 0; i < dealers_long.strikes.size(); ++i) {
        EXPECT_EQ(dealers_short.strikes[i].call, -dealers_long.strikes[i].call);
        EXPECT_EQ(dealers_short.strikes[i].put, -dealers_long.strikes[i].put);
    }
    EXPECT_EQ(dealers_short.total, -dealers_long.total);
    ASSERT_TRUE(dealers_long.zero_gamma && dealers_short.zero_gamma);
    EXPECT_DOUBLE_EQ(*dealers_long.zero_gamma, *dealers_short.zero_gamma);
}

TEST(GammaExposure, ZeroGammaWhereAKnownChainChangesSign) {
    // As many CALLs at K1 as PUTs at K2 < K1, one volatility v * sqrt(T) = s: gamma * F^2 is
    // D * F * n(d1) / s, so the two cancel where d1 at K1 is minus d1 at K2, that is at
    // F = sqrt(K1 * K2) * exp(-s^2 / 2): below it the PUTs weigh more.
    const double vol = 0.09;
    const ContractVolatility figures =
        Contract(1.20, 91, {{1.16, false, 1000, vol}, {1.25, true, 1000, vol}});
    const double s2 = vol * vol * figures.years;
    const double expected = std::sqrt(1.16 * 1.25) * std::exp(-s2 / 2);
    const GammaExposure exposure =
        ExposureOf({{nullptr, &figures}}, kSize, GammaSign::kDealerLongCalls);
    ASSERT_TRUE(exposure.zero_gamma);
    EXPECT_NEAR(*exposure.zero_gamma, expected, 1e-5);
}

TEST(GammaExposure, NoZeroGammaWithoutAChangeOfSign) {
    const ContractVolatility calls = Contract(1.20, 91, {{1.20, true, 1000, 0.09}});
    EXPECT_FALSE(ExposureOf({{nullptr, &calls}}, kSize, GammaSign::kDealerLongCalls).zero_gamma);
    const ContractVolatility nothing = Contract(1.20, 91, {{1.20, true, 10, 0.0}});
    const GammaExposure empty =
        ExposureOf({{nullptr, &nothing}}, kSize, GammaSign::kDealerLongCalls);
    EXPECT_FALSE(empty.zero_gamma);
    EXPECT_EQ(empty.total, 0.0);
}

TEST(GammaExposure, SeveralContractsSumByStrikeAndMoveTogether) {
    // The later contract's forward stands 1% above the nearer one's. The nearer CALLs' sharp
    // gamma wins near the money and the later PUTs' wider one away from it, on both sides; the
    // answer is the crossing nearer the nearer contract's forward.
    const ContractVolatility near = Contract(1.20, 30, {{1.20, true, 400, 0.08}});
    const ContractVolatility far = Contract(1.212, 120, {{1.20, false, 500, 0.09}});
    OptionChain expired_chain;
    expired_chain.strikes.push_back({1.30, {true, 0.01, 0.01, 0.1, 5}, {true, 0.1, 0.1, -0.9, 5}});
    ContractVolatility expired;
    expired.status = VolatilityStatus::kExpired;
    const GammaExposure both =
        ExposureOf({{nullptr, &far}, {&expired_chain, &expired}, {nullptr, &near}}, kSize,
                   GammaSign::kDealerLongCalls);
    ASSERT_EQ(both.strikes.size(), 2U);
    EXPECT_DOUBLE_EQ(both.reference_forward, 1.20);
    EXPECT_EQ(both.left_out, 2);
    const GammaExposure alone_near =
        ExposureOf({{nullptr, &near}}, kSize, GammaSign::kDealerLongCalls);
    const GammaExposure alone_far =
        ExposureOf({{nullptr, &far}}, kSize, GammaSign::kDealerLongCalls);
    EXPECT_DOUBLE_EQ(both.strikes[0].call, alone_near.strikes[0].call);
    EXPECT_DOUBLE_EQ(both.strikes[0].put, alone_far.strikes[0].put);
    EXPECT_DOUBLE_EQ(both.total, alone_near.total + alone_far.total);
    EXPECT_EQ(both.strikes[1].total, 0.0);

    // Where the total changes sign: found again by bisection on the same held rows.
    const auto total_at = [&](double factor) {
        const auto part = [&](const ContractVolatility& c, bool call, double sign) {
            const double f = c.forward * factor;
            const double vol = *(call ? c.points[0].call : c.points[0].put).vol;
            const auto oi = (call ? c.points[0].quote.call : c.points[0].quote.put).oi;
            return sign * *black76::Gamma(f, 1.20, vol * std::sqrt(c.years), kDiscount) *
                   static_cast<double>(oi) * f * f;
        };
        return part(near, true, 1.0) + part(far, false, -1.0);
    };
    const auto root = [&](double low, double high) {
        EXPECT_LT(total_at(low) * total_at(high), 0.0);
        for (int i = 0; i < 60; ++i) {
            const double middle = (low + high) / 2;
            (total_at(low) * total_at(middle) <= 0.0 ? high : low) = middle;
        }
        return low;
    };
    const double below = root(0.9, 1.0);
    const double above = root(1.0, 1.1);
    const double nearest = 1.0 - below < above - 1.0 ? below : above;
    ASSERT_TRUE(both.zero_gamma);
    EXPECT_NEAR(*both.zero_gamma, 1.20 * nearest, 1e-4);
}

}  // namespace
}  // namespace zarvex::analytics
