#include "analytics/right_panel/rebinning.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analytics/reference_rebinning.h"
#include "analytics/right_panel/histogram_arrays.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel_fixture.h"
#include "common/currency_conventions.h"
#include "common/plain_host.h"

namespace zarvex::analytics {
namespace {

TEST(Rebinning, LeavesStrikeHistogramsAndEmptyOnesAlone) {
    HistogramData data;
    data.ResetArrays(3);
    data.axis = {1.0, 1.00025, 1.0005};
    data.call_premium = {0.01, 0.0, 0.0};
    data.call = {5.0, 0.0, 7.0};
    settings::HistogramSettings histogram;
    histogram.market_type = 1;
    const RightPanelDay day{"EUR", testing::kDay, testing::kContract, 0.0};
    HistogramData same = data;
    RebinOnPriceAxis(same, day, histogram);
    EXPECT_EQ(same.axis, data.axis);
    EXPECT_EQ(same.call_premium, data.call_premium);

    HistogramData empty;
    histogram.market_type = 0;
    RebinOnPriceAxis(empty, day, histogram);
    EXPECT_TRUE(empty.axis.empty());
}

// The fast placement against the comparison of every position with every bin, on random days
// of every currency under every display scale, for Futures and Forex.
class RebinningAgreement : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RebinningAgreement, FastPlacementEqualsTheTextComparison) {
    const testing::GeneratedDay generated = testing::GenerateDay(GetParam());
    const testing::QuoteDb db(generated.symbol);
    db.Insert(generated.rows);
    const RightPanelDay day{generated.symbol, testing::kDay, testing::kContract,
                            generated.forward_point};
    common::PlainHost plain;
    const common::Host host = plain.AsHost();
    for (const int price_type : {0, 2}) {
        for (const int scale : {0, 1, 2}) {
            settings::HistogramSettings histogram;
            histogram.bar_cond = "oi>100";
            histogram.market_type = static_cast<std::int8_t>(price_type);
            histogram.market_scale = static_cast<std::int8_t>(scale);
            histogram.param = static_cast<std::int8_t>(GetParam() % 5);
            const HistogramBounds bounds = ComputeHistogramBounds(db.Db(), day, histogram);
            const HistogramData strikes = BuildStrikeArrays(db.Db(), day, histogram, bounds, host);
            HistogramData fast = strikes;
            RebinOnPriceAxis(fast, day, histogram);
            HistogramData slow = strikes;
            reference::Rebin(slow, day, histogram);
            SCOPED_TRACE(generated.symbol + " type " + std::to_string(price_type) + " scale " +
                         std::to_string(scale));
            ASSERT_EQ(fast.axis, slow.axis);
            ASSERT_EQ(fast.put, slow.put);
            ASSERT_EQ(fast.call, slow.call);
            ASSERT_EQ(fast.call_premium, slow.call_premium);
            ASSERT_EQ(fast.put_premium, slow.put_premium);
            for (std::size_t i = 0; i < fast.Size(); ++i) {
                ASSERT_TRUE(std::isfinite(fast.axis[i]));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(GeneratedDays, RebinningAgreement, ::testing::Range<std::uint64_t>(1, 17));

// The strike grid's placement against the comparison with every grid position: on a random day
// every row that meets the bar condition lands where the text comparison puts it.
TEST(StrikePlacement, AgreesWithTheTextComparisonOnGeneratedDays) {
    for (std::uint64_t seed = 100; seed < 115; ++seed) {
        const testing::GeneratedDay generated = testing::GenerateDay(seed);
        const testing::QuoteDb db(generated.symbol);
        db.Insert(generated.rows);
        const RightPanelDay day{generated.symbol, testing::kDay, testing::kContract,
                                generated.forward_point};
        settings::HistogramSettings histogram;
        histogram.bar_cond = "1=1";
        histogram.market_type = 0;
        histogram.market_scale = 0;
        common::PlainHost plain;
        const HistogramData strikes =
            BuildStrikeArrays(db.Db(), day, histogram,
                              ComputeHistogramBounds(db.Db(), day, histogram), plain.AsHost());
        // Expected values: the last row of each side whose strike reads as a position.
        std::vector<double> call(strikes.Size(), 0.0);
        std::vector<double> put(strikes.Size(), 0.0);
        if (!strikes.axis.empty()) {
            for (const testing::QuoteRow& row : generated.rows) {
                const auto i = reference::FindOnGridByText(row.strike, strikes.axis[0],
                                                           common::StrikeGridStep(generated.symbol),
                                                           strikes.Size());
                if (i) {
                    (row.option == "CALL" ? call : put)[*i] = static_cast<double>(row.oi);
                }
            }
        }
        ASSERT_EQ(strikes.call, call) << seed;
        ASSERT_EQ(strikes.put, put) << seed;
    }
}

}  // namespace
}  // namespace zarvex::analytics
