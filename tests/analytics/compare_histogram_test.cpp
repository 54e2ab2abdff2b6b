#include "analytics/history/compare_histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "analytics/right_panel/histogram_build.h"
#include "analytics/right_panel_fixture.h"
#include "common/plain_host.h"
#include "common/text.h"

namespace zarvex::analytics {
namespace {

using testing::QuoteDb;
using testing::QuoteRow;

constexpr const char* kOtherDay = "06.12.2012";

// The fixture's strikes: 1.1000 to 1.1040 by 0.0005.
bool index_of_grid(double strike) {
    const double steps = (strike - 1.1000) / 0.0005;
    return std::fabs(steps - std::round(steps)) < 1e-6 && steps > -0.5 && steps < 8.5;
}

QuoteRow Row(const char* option, double strike, std::int64_t oi, const char* date,
             double price = 0.0100) {
    QuoteRow row;
    row.option = option;
    row.strike = strike;
    row.oi = oi;
    row.price = price;
    row.date = date;
    return row;
}

settings::HistogramSettings Settings(int price_type) {
    settings::HistogramSettings histogram;
    histogram.bar_cond = "oi>=0";
    histogram.market_scale = 0;
    histogram.market_type = static_cast<std::int8_t>(price_type);
    histogram.param = 0;
    return histogram;
}

class CompareHistogramTest : public ::testing::Test {
protected:
    CompareHistogramTest() {
        for (int i = 0; i <= 8; ++i) {
            const double strike = 1.1000 + 0.0005 * i;
            db.Insert(Row("PUT", strike, 100 + i, testing::kDay, 0.0010 + 0.0001 * i));
            db.Insert(Row("CALL", strike, 200 + i, testing::kDay, 0.0030 - 0.0001 * i));
        }
    }

    HistogramData Shown(int price_type) {
        return BuildHistogram(db.Db(), day, Settings(price_type), 1, plain.AsHost());
    }
    CompareArrays Compare(int price_type, const HistogramData& shown,
                          const char* other = kOtherDay) {
        const RightPanelDay other_day{"EUR", other, testing::kContract, 0.0};
        return CompareHistogram(db.Db(), db.Db(), day, other_day, Settings(price_type), shown,
                                plain.AsHost());
    }

    QuoteDb db;
    RightPanelDay day{"EUR", testing::kDay, testing::kContract, 0.0};
    common::PlainHost plain;
};

TEST_F(CompareHistogramTest, OnTheStrikeGridEachPositionHoldsTheOtherDaysValueOfThatStrike) {
    // The other day: strikes of the shown day, one on the grid between them, one at the upper
    // bound; one off the grid and one beyond the bounds have no place.
    std::map<std::string, double> put_by_strike{{"1.1", 7}, {"1.1015", 9}, {"1.104", 11}};
    std::map<std::string, double> call_by_strike{{"1.102", 13}};
    for (const auto& [strike, oi] : put_by_strike) {
        db.Insert(Row("PUT", common::ToDouble(strike), static_cast<std::int64_t>(oi), kOtherDay));
    }
    db.Insert(Row("CALL", 1.1020, 13, kOtherDay));
    db.Insert(Row("PUT", 1.10010, 5, kOtherDay));
    db.Insert(Row("CALL", 1.2500, 17, kOtherDay));

    const HistogramData shown = Shown(1);
    ASSERT_GT(shown.Size(), 8u);
    const CompareArrays compare = Compare(1, shown);
    EXPECT_EQ(compare.date, kOtherDay);
    ASSERT_EQ(compare.put.size(), shown.Size());
    ASSERT_EQ(compare.call.size(), shown.Size());
    int placed = 0;
    for (std::size_t i = 0; i < shown.Size(); ++i) {
        const std::string strike = common::FormatShort(shown.axis[i]);
        const auto put = put_by_strike.find(strike);
        const auto call = call_by_strike.find(strike);
        EXPECT_EQ(compare.put[i], put == put_by_strike.end() ? 0.0 : put->second) << strike;
        EXPECT_EQ(compare.call[i], call == call_by_strike.end() ? 0.0 : call->second) << strike;
        placed += (put != put_by_strike.end()) + (call != call_by_strike.end());
    }
    EXPECT_EQ(placed, 4);
}

TEST_F(CompareHistogramTest, ADayComparedWithItselfGivesItsOwnBarsAndADayWithoutRowsZeros) {
    for (int price_type = 0; price_type <= 2; ++price_type) {
        SCOPED_TRACE(price_type);
        const HistogramData shown = Shown(price_type);
        ASSERT_FALSE(shown.Empty());
        const CompareArrays itself = Compare(price_type, shown, testing::kDay);
        EXPECT_EQ(itself.put, shown.put);
        EXPECT_EQ(itself.call, shown.call);
        const CompareArrays nothing = Compare(price_type, shown, "01.01.2001");
        EXPECT_EQ(nothing.put, std::vector<double>(shown.Size(), 0.0));
        EXPECT_EQ(nothing.call, std::vector<double>(shown.Size(), 0.0));
    }
    const CompareArrays empty = Compare(1, HistogramData{});
    EXPECT_TRUE(empty.put.empty());
}

TEST_F(CompareHistogramTest, EveryPriceTypePutsTheOtherDaysStrikeInTheRowOfTheShownDaysStrike) {
    // The other day holds every shown strike at other premiums, so that under Futures and Forex
    // its own prices would stand in other rows, and one strike of its own.
    for (int i = 0; i <= 8; ++i) {
        const double strike = 1.1000 + 0.0005 * i;
        db.Insert(Row("PUT", strike, 1000 + i, kOtherDay, 0.0050 + 0.0002 * i));
        db.Insert(Row("CALL", strike, 2000 + i, kOtherDay, 0.0010));
    }
    db.Insert(Row("PUT", 1.10075, 77, kOtherDay, 0.00025));
    auto index_of = [](double strike) {
        return static_cast<int>(std::lround((strike - 1.1000) / 0.0005));
    };
    for (int price_type = 0; price_type <= 2; ++price_type) {
        SCOPED_TRACE(price_type);
        const HistogramData shown = Shown(price_type);
        const CompareArrays compare = Compare(price_type, shown);
        ASSERT_EQ(shown.put_strike.size(), shown.Size());
        ASSERT_EQ(shown.call_strike.size(), shown.Size());
        int rows = 0;
        double own = 0.0;
        for (std::size_t i = 0; i < shown.Size(); ++i) {
            if (shown.put_strike[i] != 0.0) {
                EXPECT_EQ(compare.put[i], 1000 + index_of(shown.put_strike[i])) << i;
                EXPECT_EQ(shown.put[i], 100 + index_of(shown.put_strike[i])) << i;
                ++rows;
            } else {
                own += compare.put[i];
            }
            if (shown.call_strike[i] != 0.0) {
                EXPECT_EQ(compare.call[i], 2000 + index_of(shown.call_strike[i])) << i;
                ++rows;
            } else {
                EXPECT_EQ(compare.call[i], 0.0) << i;
            }
        }
        EXPECT_EQ(rows, 18);
        // The strike only the other day has stands at its own price (1.1005 under Futures),
        // under "Standart" in its own strike row.
        EXPECT_EQ(own, 77.0);
    }
}

TEST_F(CompareHistogramTest, StrikeArraysNameTheRowBehindEachPosition) {
    const HistogramData strikes = Shown(1);
    for (std::size_t i = 0; i < strikes.Size(); ++i) {
        const bool row = index_of_grid(strikes.axis[i]);
        EXPECT_EQ(strikes.put_strike[i], row ? strikes.axis[i] : 0.0) << i;
        EXPECT_EQ(strikes.call_strike[i], row ? strikes.axis[i] : 0.0) << i;
    }
    // Futures: the PUT of 1.1000 (premium 0.0010) stands at 1.0990, the CALL of 1.1040
    // (premium 0.0022) at 1.1062; two rows that meet in one bin name the larger one.
    db.Insert(Row("PUT", 1.1005, 500, testing::kDay, 0.0015));  // 1.0990 too, replaces 101
    const HistogramData prices = Shown(0);
    auto at = [&](double price) {
        for (std::size_t i = 0; i < prices.Size(); ++i) {
            if (common::FormatShort(prices.axis[i]) == common::FormatShort(price)) {
                return i;
            }
        }
        return prices.Size();
    };
    ASSERT_LT(at(1.0990), prices.Size());
    EXPECT_EQ(prices.put[at(1.0990)], 600.0);
    EXPECT_EQ(prices.put_strike[at(1.0990)], 1.1005);
    EXPECT_EQ(prices.call_strike[at(1.1062)], 1.104);
    int sources_there = 0;
    for (const BarSource& source : prices.put_sources) {
        sources_there += source.position == at(1.0990) ? 1 : 0;
    }
    EXPECT_EQ(sources_there, 2);
}

}  // namespace
}  // namespace zarvex::analytics
