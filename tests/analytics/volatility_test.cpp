#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "analytics/volatility/black76.h"
#include "analytics/volatility/contract_volatility.h"
#include "analytics/volatility/parity_fit.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/smile.h"
#include "common/text.h"

namespace zarvex::analytics {
namespace {

double Premium(bool call, double forward, double strike, double vol, double years,
               double discount) {
    return *black76::Price(call ? common::Side::kCall : common::Side::kPut, forward, strike,
                           vol * std::sqrt(years), discount);
}

// A chain priced exactly by Black-76 with a volatility that falls linearly with the strike.
OptionChain SkewedChain(double forward, double discount, double years, double base_vol,
                        double skew) {
    OptionChain chain;
    for (int i = -12; i <= 12; ++i) {
        const double strike = forward + 0.01 * i;
        const double vol = base_vol + skew * (strike - forward);
        ChainStrike entry;
        entry.strike = strike;
        entry.call = {true, Premium(true, forward, strike, vol, years, discount), 0.5, 100};
        entry.put = {true, Premium(false, forward, strike, vol, years, discount), -0.5, 100};
        chain.strikes.push_back(entry);
    }
    return chain;
}

TEST(Black76Solver, RecoversTheVolatilityOfAnyPriceItMade) {
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> forward_of(0.005, 150.0);
    std::uniform_real_distribution<double> moneyness(-0.3, 0.3);
    std::uniform_real_distribution<double> vol_of(0.02, 1.5);
    std::uniform_real_distribution<double> years_of(1.0 / 365.0, 2.0);
    std::uniform_real_distribution<double> discount_of(0.85, 1.0);
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        const bool call = (i % 2) == 0;
        const double forward = forward_of(random);
        const double strike = forward * std::exp(moneyness(random));
        const double vol = vol_of(random);
        const double years = years_of(random);
        const double discount = discount_of(random);
        const double std_dev = vol * std::sqrt(years);
        const double price = Premium(call, forward, strike, vol, years, discount);
        // Where the time value is below about 1e-10 of the forward the price no longer pins the
        // volatility down: the solver may refuse it, but must not answer wrongly.
        const auto solved_dev = black76::ImpliedStdDev(
            call ? common::Side::kCall : common::Side::kPut, forward, strike, price, discount);
        const double intrinsic =
            discount * std::max(0.0, call ? forward - strike : strike - forward);
        if (price - intrinsic < 1e-10 * forward) {
            continue;
        }
        ASSERT_TRUE(solved_dev) << forward << " " << strike << " " << vol << " " << years;
        const auto again = black76::Price(call ? common::Side::kCall : common::Side::kPut, forward,
                                          strike, *solved_dev, discount);
        EXPECT_NEAR(*again, price, 1e-12 * forward);
        const double vega = black76::GreeksOf(call ? common::Side::kCall : common::Side::kPut,
                                              forward, strike, vol, years, discount)
                                ->vega *
                            100.0;
        if (vega > 1e-6 * forward) {
            EXPECT_NEAR(*solved_dev, std_dev, 1e-8) << forward << " " << strike;
        }
        ++solved;
    }
    EXPECT_GT(solved, 1500);
}

TEST(Black76Solver, RefusesWhatNoVolatilityPricesWithoutThrowing) {
    // Below the discounted intrinsic value, at or above the forward for a CALL, nonsense input.
    EXPECT_FALSE(black76::ImpliedStdDev(common::Side::kCall, 1.2, 1.1, 0.05, 0.99));
    EXPECT_FALSE(black76::ImpliedStdDev(common::Side::kCall, 1.2, 1.1, 1.3, 1.0));
    EXPECT_FALSE(black76::ImpliedStdDev(common::Side::kPut, -1.0, 1.1, 0.01, 1.0));
    EXPECT_FALSE(black76::ImpliedStdDev(common::Side::kPut, 1.2, 1.1, std::nan(""), 1.0));
    EXPECT_FALSE(black76::Price(common::Side::kCall, 1.2, 0.0, 0.1, 1.0));
    EXPECT_FALSE(black76::GreeksOf(common::Side::kCall, 1.2, 1.1, 0.1, 0.0, 1.0));
}

TEST(Black76Greeks, MatchTheirDefinitionsByFiniteDifferences) {
    const double f = 1.21, k = 1.25, vol = 0.11, years = 0.3, d = 0.995;
    for (const bool call : {true, false}) {
        const auto greeks = *black76::GreeksOf(call ? common::Side::kCall : common::Side::kPut, f,
                                               k, vol, years, d);
        const double h = 1e-5;
        const auto price = [&](double ff, double vv, double tt) {
            // The discount of a rate held fixed while time passes.
            const double dd = std::pow(d, tt / years);
            return Premium(call, ff, k, vv, tt, dd);
        };
        EXPECT_NEAR(greeks.delta, (price(f + h, vol, years) - price(f - h, vol, years)) / (2 * h),
                    1e-7);
        EXPECT_NEAR(
            greeks.gamma,
            (price(f + h, vol, years) - 2 * price(f, vol, years) + price(f - h, vol, years)) /
                (h * h),
            1e-3);
        EXPECT_NEAR(greeks.vega,
                    (price(f, vol + h, years) - price(f, vol - h, years)) / (2 * h) * 0.01, 1e-9);
        const double day = 1.0 / 365.0;
        EXPECT_NEAR(greeks.theta, price(f, vol, years - day) - price(f, vol, years), 1e-6);
    }
}

TEST(ParityFit, RecoversForwardAndDiscountOfAnExactChain) {
    const OptionChain chain = SkewedChain(1.2345, 0.9871, 0.25, 0.10, -0.3);
    const auto fit = FitParity(chain.strikes);
    ASSERT_TRUE(fit);
    EXPECT_TRUE(fit->fitted);
    EXPECT_NEAR(fit->forward, 1.2345, 1e-12);
    EXPECT_NEAR(fit->discount, 0.9871, 1e-12);
}

struct FallbackCase {
    const char* name;
    std::vector<ChainStrike> strikes;
    double forward;  // expected, with D = 1
};

class ParityFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(ParityFallback, UsesTheStrikeNearestTheMoney) {
    const auto fit = FitParity(GetParam().strikes);
    ASSERT_TRUE(fit);
    EXPECT_FALSE(fit->fitted);
    EXPECT_EQ(fit->discount, 1.0);
    EXPECT_DOUBLE_EQ(fit->forward, GetParam().forward);
}

ChainStrike Pair(double strike, double call, double put) {
    return {strike, {true, call, 0.0, 1}, {true, put, 0.0, 1}};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParityFallback,
    ::testing::Values(
        FallbackCase{"two_strikes", {Pair(1.1, 0.03, 0.02), Pair(1.2, 0.01, 0.07)}, 1.11},
        // C - P rises with K: a negative discount.
        FallbackCase{"upward_line",
                     {Pair(1.1, 0.01, 0.02), Pair(1.2, 0.03, 0.02), Pair(1.3, 0.05, 0.02)},
                     1.2 + 0.01},
        // Equal |C - P| at two strikes: the lower strike counts.
        FallbackCase{"tie_takes_lower",
                     {Pair(1.1, 0.03, 0.02), Pair(1.2, 0.02, 0.03), Pair(1.0, 0.0, 0.5)},
                     1.11},
        // Rows without both premiums above zero take no part.
        FallbackCase{"one_usable",
                     {Pair(1.1, 0.0, 0.02), Pair(1.2, 0.02, 0.05), {1.3, {true, 0.01, 0, 1}, {}}},
                     1.17}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ParityFit, NoStrikeWithBothPremiumsGivesNothing) {
    EXPECT_FALSE(FitParity({}));
    EXPECT_FALSE(FitParity({Pair(1.1, 0.0, 0.02), {1.2, {true, 0.02, 0, 1}, {}}}));
    // A forward below zero is no forward.
    EXPECT_FALSE(FitParity({Pair(0.01, 0.001, 0.5)}));
}

TEST(ContractVolatility, ExactChainGivesItsSmileBackAndFiguresAgree) {
    const double forward = 1.2345, discount = 0.9871, years = 73.0 / 365.0;
    const OptionChain chain = SkewedChain(forward, discount, years, 0.10, -0.3);
    const ContractVolatility figures = VolatilityForDays(chain, 73);
    ASSERT_EQ(figures.status, VolatilityStatus::kReady);
    EXPECT_NEAR(figures.years, 0.2, 1e-15);
    ASSERT_EQ(figures.points.size(), chain.strikes.size());
    for (const VolatilityPoint& point : figures.points) {
        const double vol = 0.10 - 0.3 * (point.quote.strike - forward);
        ASSERT_TRUE(point.call.vol && point.put.vol);
        EXPECT_NEAR(*point.call.vol, vol, 1e-9);
        EXPECT_NEAR(*point.put.vol, vol, 1e-9);
        EXPECT_NEAR(*point.smile_vol, vol, 1e-9);
        ASSERT_TRUE(point.call.greeks && point.put.greeks);
        // Parity in the greeks: delta(C) - delta(P) = D.
        EXPECT_NEAR(point.call.greeks->delta - point.put.greeks->delta, discount, 1e-9);
    }
    // Linear smile: ATM is the line at F; the risk reversal and the butterfly are the slope times
    // the distance between the two 25-delta strikes and the offset of their middle from F.
    EXPECT_NEAR(*figures.atm_vol, 0.10, 1e-9);
    ASSERT_TRUE(figures.rr25 && figures.bf25);
    EXPECT_LT(*figures.rr25, 0.0);
    const double k25c = *StrikeAtCallDelta(figures.smile, forward, years, 0.25);
    const double k25p = *StrikeAtCallDelta(figures.smile, forward, years, 0.75);
    EXPECT_NEAR(*figures.bf25, -0.3 * ((k25c + k25p) / 2 - forward), 1e-9);
    EXPECT_NEAR(*figures.rr25, -0.3 * (k25c - k25p), 1e-9);
    EXPECT_NEAR(*black76::CallForwardDelta(forward, k25c,
                                           *SmileVolAt(figures.smile, k25c) * std::sqrt(years)),
                0.25, 2e-3);

    const double spread = 0.10 * std::sqrt(years);
    EXPECT_NEAR(*figures.expected_move, forward * spread, 1e-9);
    EXPECT_NEAR(figures.bands[0], forward * std::exp(-2 * spread), 1e-9);
    EXPECT_NEAR(figures.bands[3], forward * std::exp(2 * spread), 1e-9);
    // At the forward the chance of finishing above is N(-sigma sqrt(T) / 2).
    EXPECT_NEAR(*ProbabilityAbove(figures, forward), 0.5 * std::erfc(spread / 2 / std::sqrt(2.0)),
                1e-9);
    EXPECT_GT(*ProbabilityAbove(figures, figures.bands[1]), 0.7);
    EXPECT_LT(*ProbabilityAbove(figures, figures.bands[3]), 0.05);
    EXPECT_FALSE(ProbabilityAbove(figures, 0.0));
    EXPECT_EQ(CountMissing(figures).Total(), 0);
}

TEST(ContractVolatility, RowsWithoutVolatilityNameTheirReason) {
    const double forward = 1.2, discount = 0.99;
    OptionChain chain = SkewedChain(forward, discount, 0.2, 0.1, 0.0);
    // Strike 1.08 (in the money for the CALL): CALL premium at its discounted intrinsic value.
    chain.strikes[0].call.premium = discount * (forward - chain.strikes[0].strike) - 1e-6;
    chain.strikes[1].put.premium = 0.0;    // OTM PUT without premium
    chain.strikes[1].call.premium = 0.0;   // and no CALL to fall back on
    chain.strikes[2].put.present = false;  // no PUT row: the CALL stands in
    chain.strikes[24].call.premium = 1.1;  // above what any sigma <= 5 gives
    const ContractVolatility figures = VolatilityForDays(chain, 73);
    ASSERT_EQ(figures.status, VolatilityStatus::kReady);
    EXPECT_EQ(figures.points[0].call.reason, NoVolReason::kNotAboveIntrinsic);
    EXPECT_TRUE(figures.points[0].smile_vol);  // its PUT is out of the money
    EXPECT_EQ(figures.points[1].put.reason, NoVolReason::kNoPremium);
    EXPECT_FALSE(figures.points[1].smile_vol);
    EXPECT_EQ(figures.points[2].put.reason, NoVolReason::kNoRow);
    EXPECT_NEAR(*figures.points[2].smile_vol, 0.1, 1e-9);
    EXPECT_EQ(figures.points[24].call.reason, NoVolReason::kNoFit);
    EXPECT_NEAR(*figures.points[24].smile_vol, 0.1, 1e-9);  // from its PUT
    const MissingVolCounts counts = CountMissing(figures);
    EXPECT_EQ(counts.no_premium, 1);
    EXPECT_EQ(counts.Total(), 1);
}

TEST(ContractVolatility, NoFiguresWithoutTimeOrForward) {
    const OptionChain chain = SkewedChain(1.2, 0.99, 0.2, 0.1, 0.0);
    EXPECT_EQ(VolatilityForDays(chain, 0).status, VolatilityStatus::kExpired);
    EXPECT_EQ(VolatilityForDays(chain, -3).status, VolatilityStatus::kExpired);
    EXPECT_EQ(VolatilityForDays(OptionChain(), 30).status, VolatilityStatus::kNoRows);
    OptionChain calls_only = chain;
    for (ChainStrike& entry : calls_only.strikes) {
        entry.put.present = false;
    }
    const ContractVolatility figures = VolatilityForDays(calls_only, 30);
    EXPECT_EQ(figures.status, VolatilityStatus::kNoForward);
    EXPECT_FALSE(figures.atm_vol);
    OptionChain bad_expiry = chain;
    bad_expiry.expiration = "31.02.2026";
    EXPECT_EQ(VolatilityOfChain(bad_expiry, common::Date{0}).status, VolatilityStatus::kExpired);
}

TEST(Smile, InterpolatesLinearlyAndStaysFlatBeyond) {
    const std::vector<SmilePoint> points{{1.0, 0.2}, {1.1, 0.1}, {1.3, 0.3}};
    EXPECT_DOUBLE_EQ(*SmileVolAt(points, 0.5), 0.2);
    EXPECT_DOUBLE_EQ(*SmileVolAt(points, 1.05), 0.15);
    EXPECT_DOUBLE_EQ(*SmileVolAt(points, 1.2), 0.2);
    EXPECT_DOUBLE_EQ(*SmileVolAt(points, 9.0), 0.3);
    EXPECT_FALSE(SmileVolAt({}, 1.0));
    // A smile too narrow to hold the 25-delta strikes has no wings.
    const std::vector<SmilePoint> narrow{{1.19, 0.1}, {1.2, 0.1}, {1.21, 0.1}};
    EXPECT_FALSE(WingsOf(narrow, 1.2, 0.25, 0.1));
}

TEST(ShownPrices, ThePanelsPriceTurnsBackIntoTheFuturesPrice) {
    // Every price type of every currency: shown as the panel shows it, then turned back, the
    // price comes home to within the shown decimals (relative, since the yen inverts to ~100).
    for (const char* symbol : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
        const double futures = std::string_view(symbol) == "JPY" ? 0.8123 : 1.2345;
        for (const common::PriceType type :
             {common::PriceType::kFutures, common::PriceType::kStandart,
              common::PriceType::kForex}) {
            const std::string shown = ShownPrice(futures, symbol, -12.5, type);
            const auto back = FuturesPriceOf(*common::ParseDouble(shown), symbol, -12.5, type);
            ASSERT_TRUE(back) << symbol << " " << common::PriceTypeCode(type);
            EXPECT_NEAR(*back / futures, 1.0, 2e-4)
                << symbol << " " << common::PriceTypeCode(type) << " " << shown;
        }
    }
    EXPECT_FALSE(FuturesPriceOf(0.0, "EUR", 0.0, common::PriceType::kFutures));
    EXPECT_FALSE(FuturesPriceOf(1.2, "WTI", 0.0, common::PriceType::kForex));
    // A shown Forex price that the forward point turns negative has no futures price.
    EXPECT_FALSE(FuturesPriceOf(0.001, "CAD", -50.0, common::PriceType::kForex));
}

}  // namespace
}  // namespace zarvex::analytics
