#include "analytics/right_panel/histogram_arrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

#include "analytics/left_panel/day_slice.h"
#include "analytics/right_panel/histogram_scale.h"
#include "analytics/right_panel_fixture.h"
#include "common/plain_host.h"
#include "common/text.h"

namespace zarvex::analytics {
namespace {

using testing::QuoteDb;
using testing::QuoteRow;

QuoteRow Row(const char* option, double strike, std::int64_t oi, double price = 0.0100) {
    QuoteRow row;
    row.option = option;
    row.strike = strike;
    row.oi = oi;
    row.price = price;
    return row;
}

settings::HistogramSettings Settings(int scale, int price_type, int param,
                                     const char* bar_cond = "oi>500") {
    settings::HistogramSettings histogram;
    histogram.bar_cond = bar_cond;
    histogram.market_scale = static_cast<std::int8_t>(scale);
    histogram.market_type = static_cast<std::int8_t>(price_type);
    histogram.param = static_cast<std::int8_t>(param);
    return histogram;
}

class HistogramArraysTest : public ::testing::Test {
protected:
    HistogramData Build(const settings::HistogramSettings& histogram,
                        const std::string& symbol = "EUR", double forward_point = 0.0) const {
        const RightPanelDay day{symbol, testing::kDay, testing::kContract, forward_point};
        const common::Host host = host_.AsHost();
        return BuildHistogramArrays(db_.Db(), day, histogram,
                                    ComputeHistogramBounds(db_.Db(), day, histogram), host);
    }

    // The index of the axis position that reads as text, or -1.
    static int IndexOf(const HistogramData& data, const std::string& text) {
        for (std::size_t i = 0; i < data.Size(); ++i) {
            if (common::FormatShort(data.axis[i]) == text) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    static void ExpectConsistent(const HistogramData& data) {
        for (const auto* array : {&data.put, &data.call, &data.call_premium, &data.put_premium}) {
            ASSERT_EQ(array->size(), data.axis.size());
        }
        EXPECT_LE(data.Size(), kHistogramCapacity);
        for (std::size_t i = 0; i < data.Size(); ++i) {
            ASSERT_TRUE(std::isfinite(data.axis[i]) && std::isfinite(data.put[i]) &&
                        std::isfinite(data.call[i]))
                << i;
        }
    }

    mutable common::PlainHost host_;
    QuoteDb db_;
};

TEST_F(HistogramArraysTest, StandartAxisRunsOnTheQuarterPipGridAroundTheStrikes) {
    std::vector<QuoteRow> rows;
    for (int k = 0; k <= 10; ++k) {
        rows.push_back(Row("CALL", 1.1000 + k * 0.0005, 1000 + k));
        rows.push_back(Row("PUT", 1.1000 + k * 0.0005, 2000 + k));
    }
    db_.Insert(rows);
    const HistogramData data = Build(Settings(0, 1, 0));
    ExpectConsistent(data);
    // (1.10525 - 1.09975) / 0.00025 comes out a little above 22: 23 positions.
    ASSERT_EQ(data.Size(), 23u);
    EXPECT_EQ(common::FormatShort(data.axis.front()), "1.09975");
    EXPECT_EQ(common::FormatShort(data.axis.back()), "1.10525");
    for (int k = 0; k <= 10; ++k) {
        const int i = 1 + 2 * k;
        EXPECT_EQ(data.call[i], 1000 + k);
        EXPECT_EQ(data.put[i], 2000 + k);
        EXPECT_EQ(data.call_premium[i], 0.01);
        EXPECT_EQ(data.call[i + 1], 0.0);
    }
    EXPECT_EQ(data.call[0], 0.0);
}

TEST_F(HistogramArraysTest, ABarConditionWithOrStaysWithinTheDayContractAndOption) {
    std::vector<QuoteRow> rows{Row("PUT", 1.1000, 1000), Row("PUT", 1.1005, 1000),
                               Row("CALL", 1.1000, 2000), Row("CALL", 1.1005, 2000)};
    // Later rows at the same strikes, which an escaping OR would let overwrite the day's.
    for (const char* option : {"PUT", "CALL"}) {
        QuoteRow other_day = Row(option, 1.1005, 9000);
        other_day.date = "06.12.2012";
        QuoteRow other_contract = Row(option, 1.1000, 9000);
        other_contract.contract = "MAR13-AM";
        rows.insert(rows.end(), {other_day, other_contract});
    }
    db_.Insert(rows);
    DaySlice slice;
    const storage::Database& copy =
        slice.Select(db_.Db(), testing::kDay, testing::kContract).RowsFor("");
    ASSERT_NE(&copy, &db_.Db());
    const settings::HistogramSettings histogram = Settings(0, 1, 0, "oi>999999 OR oi>0");
    const RightPanelDay day{"EUR", testing::kDay, testing::kContract, 0.0};
    const common::Host host = host_.AsHost();
    for (const storage::Database* db : {&db_.Db(), &copy}) {
        const HistogramData data = BuildHistogramArrays(
            *db, day, histogram, ComputeHistogramBounds(*db, day, histogram), host);
        const char* where = db == &copy ? "copy" : "file";
        ASSERT_FALSE(data.rows_failed) << where;
        for (const char* strike : {"1.1", "1.1005"}) {
            const int at = IndexOf(data, strike);
            ASSERT_GE(at, 0) << where << " " << strike;
            EXPECT_EQ(data.put[at], 1000.0) << where << " " << strike;
            EXPECT_EQ(data.call[at], 2000.0) << where << " " << strike;
        }
    }
    // One that closes the group early fails instead of reaching the other rows.
    EXPECT_TRUE(Build(Settings(0, 1, 0, "0) OR (oi>0")).rows_failed);
}

TEST_F(HistogramArraysTest, AQuotientJustBelowAWholeNumberLosesTheLastPosition) {
    // (0.90125 - 0.89975) / 0.00025 is 5.9999999999998: five steps, six positions.
    db_.Insert({Row("CALL", 0.9000, 900), Row("CALL", 0.9010, 901), Row("PUT", 0.9000, 950)});
    const HistogramData data = Build(Settings(0, 1, 0));
    ASSERT_EQ(data.Size(), 6u);
    EXPECT_EQ(common::FormatShort(data.axis.back()), "0.901");
    EXPECT_EQ(data.call[5], 901);
    EXPECT_EQ(data.call[1], 900);
    EXPECT_EQ(data.put[1], 950);
}

TEST_F(HistogramArraysTest, AStrikeOffTheGridShowsNoBar) {
    db_.Insert({Row("CALL", 1.1000, 1000), Row("CALL", 1.1001, 4000), Row("CALL", 1.1050, 1000),
                Row("PUT", 1.1000, 1000)});
    const HistogramData data = Build(Settings(0, 1, 0));
    EXPECT_EQ(std::accumulate(data.call.begin(), data.call.end(), 0.0), 2000.0);
}

TEST_F(HistogramArraysTest, ALaterRowForTheSameStrikeWins) {
    QuoteRow later = Row("CALL", 1.1000, 1500, 0.0200);
    db_.Insert({Row("CALL", 1.1000, 1000), later, Row("PUT", 1.1000, 1000)});
    const HistogramData data = Build(Settings(0, 1, 0));
    const int i = IndexOf(data, "1.1");
    ASSERT_GE(i, 0);
    EXPECT_EQ(data.call[i], 1500);
    EXPECT_EQ(data.call_premium[i], 0.02);
}

struct ValueCase {
    const char* name;
    int param;
    double price;
    std::int64_t oi;
    std::int64_t doi;
    std::int64_t volume;
    const char* sign;
    double expected;
};

class BarValueCases : public ::testing::TestWithParam<ValueCase> {};

TEST_P(BarValueCases, GiveTheDisplayedParameter) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(BarValue(c.param, c.price, c.oi, c.doi, c.volume, c.sign), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BarValueCases,
    ::testing::Values(ValueCase{"open_interest", 0, 0.01, 1500, 30, 12, "1", 1500},
                      ValueCase{"oi_change_falling", 1, 0.01, 1500, 150, 12, "-1", -150},
                      ValueCase{"oi_change_rising", 1, 0.01, 1500, 150, 12, "1", 150},
                      ValueCase{"oi_change_unsigned", 1, 0.01, 1500, 150, 12, "0", 150},
                      ValueCase{"volume", 2, 0.01, 1500, 30, 12, "1", 12},
                      ValueCase{"price_oi", 3, 0.012, 1500, 30, 12, "1", 18},
                      // 12.5 cents: half away from zero, not to even.
                      ValueCase{"price_oi_half_up", 3, 0.125, 1, 0, 0, "1", 0.13},
                      ValueCase{"price_oi_half_down", 3, -0.125, 1, 0, 0, "1", -0.13},
                      ValueCase{"price_volume", 4, 0.00123, 0, 0, 1000, "1", 1.23},
                      ValueCase{"unknown_param", 9, 0.01, 1500, 30, 12, "1", 0},
                      ValueCase{"infinite_price", 3, HUGE_VAL, 5, 0, 0, "1", 0},
                      // SQLite reads a huge stored change as the lowest 64-bit integer; its
                      // negation has no 64-bit value.
                      ValueCase{"oi_change_falling_at_the_integer_limit", 1, 0.01, 0,
                                std::numeric_limits<std::int64_t>::min(), 0, "-1",
                                9223372036854775808.0}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST_F(HistogramArraysTest, DoiOfAFallingRowIsNegativeOnTheChart) {
    QuoteRow row = Row("PUT", 1.1000, 1000);
    row.doi = 150;
    row.sign = "-1";
    db_.Insert({Row("CALL", 1.1050, 1000), row});
    const HistogramData data = Build(Settings(0, 1, 1));
    EXPECT_EQ(data.put[IndexOf(data, "1.1")], -150);
}

TEST_F(HistogramArraysTest, FuturesPlacesBarsAtStrikePlusOrMinusPremium) {
    db_.Insert({Row("CALL", 1.1000, 1000, 0.0123), Row("CALL", 1.1100, 600, 0.0010),
                Row("PUT", 1.1000, 700, 0.0030), Row("PUT", 1.1100, 900, 0.0127)});
    const HistogramData data = Build(Settings(2, 0, 0));
    ExpectConsistent(data);
    EXPECT_DOUBLE_EQ(data.lower_bound, 1.0973);
    EXPECT_DOUBLE_EQ(data.upper_bound, 1.1123);
    // The range widened by 2% of 0.0150, that is 0.0003, each way.
    EXPECT_EQ(common::FormatShort(data.axis.front()), "1.097");
    EXPECT_EQ(common::FormatShort(data.axis.back()), "1.1126");
    EXPECT_EQ(common::FormatShort(data.axis[1] - data.axis[0]), "0.0001");
    EXPECT_EQ(data.call[IndexOf(data, "1.1123")], 1000);
    EXPECT_EQ(data.call[IndexOf(data, "1.111")], 600);
    EXPECT_EQ(data.put[IndexOf(data, "1.0973")], 900);
    // 1.0970 lies below the lower bound: its bar is not shown.
    EXPECT_EQ(std::accumulate(data.put.begin(), data.put.end(), 0.0), 900);
    EXPECT_EQ(std::accumulate(data.call.begin(), data.call.end(), 0.0), 1600);
    // The premiums belonged to the strikes; on the price axis they are gone.
    EXPECT_EQ(std::count(data.call_premium.begin(), data.call_premium.end(), 0.0),
              static_cast<long>(data.Size()));
}

TEST_F(HistogramArraysTest, OneDistinctPriceGivesOneFiniteRow) {
    // The CALL's price 1.1000 + 0.0050 equals the PUT's 1.1100 - 0.0050: equal bounds. Two
    // rows without premium or bar only widen the strike grid.
    db_.Insert({Row("CALL", 1.1000, 1000, 0.0050), Row("PUT", 1.1100, 800, 0.0050),
                Row("CALL", 1.1100, 10, 0.0), Row("PUT", 1.1000, 10, 0.0)});
    const HistogramData data = Build(Settings(2, 0, 0));
    ExpectConsistent(data);
    ASSERT_EQ(data.Size(), 1u);
    EXPECT_TRUE(data.SingleStrike());
    EXPECT_FALSE(data.Empty());
    EXPECT_EQ(common::FormatShort(data.axis[0]), "1.105");
    EXPECT_EQ(data.call[0], 1000);
    EXPECT_EQ(data.put[0], 800);
}

TEST_F(HistogramArraysTest, NoLiveOptionsGiveZeroBoundsAndNothingToDraw) {
    QuoteRow call = Row("CALL", 1.1000, 1000);
    call.delta = 1.0;
    QuoteRow put = Row("PUT", 1.1000, 1000);
    put.delta = 1.0;
    QuoteRow high = Row("CALL", 1.1050, 1000);
    high.delta = 1.0;
    db_.Insert({call, put, high});
    for (const int price_type : {0, 1, 2}) {
        const HistogramData data = Build(Settings(2, price_type, 0));
        ExpectConsistent(data);
        EXPECT_TRUE(data.Empty()) << price_type;
    }
}

TEST_F(HistogramArraysTest, ADayWithoutStrikesIsEmpty) {
    for (const int price_type : {0, 1, 2}) {
        const HistogramData data = Build(Settings(0, price_type, 0));
        EXPECT_TRUE(data.axis.empty());
        EXPECT_TRUE(data.put.empty() && data.call.empty() && data.call_premium.empty() &&
                    data.put_premium.empty());
    }
}

// A blank line inside a report block is stored with empty texts in every column; SQLite sorts
// texts above numbers, so a plain MAX(strike) would give "" and lose the whole CALL side.
TEST_F(HistogramArraysTest, ABlankReportLineDoesNotHideTheHighestStrike) {
    db_.Insert({Row("CALL", 1.1000, 1000), Row("CALL", 1.1100, 900), Row("PUT", 1.1000, 800)});
    for (const char* option : {"CALL", "PUT"}) {
        db_.Db().Execute(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES ('', '', '', '', '', '', '', '', ?, ?, '', ?)",
            {std::string_view(option), std::string_view(testing::kContract),
             std::string_view(testing::kDay)});
    }
    for (const int scale : {0, 1}) {
        const HistogramData standart = Build(Settings(scale, 1, 0));
        EXPECT_DOUBLE_EQ(standart.upper_bound, 1.11) << scale;
        EXPECT_DOUBLE_EQ(standart.lower_bound, 1.1) << scale;
        EXPECT_EQ(standart.call[IndexOf(standart, "1.11")], 900) << scale;
        EXPECT_EQ(standart.put[IndexOf(standart, "1.1")], 800) << scale;
    }
    const HistogramData futures = Build(Settings(0, 0, 0));
    EXPECT_EQ(std::accumulate(futures.call.begin(), futures.call.end(), 0.0), 1900);
}

TEST_F(HistogramArraysTest, OneSideOnlyStillGetsAnAxis) {
    db_.Insert({Row("CALL", 1.1000, 1000)});
    const HistogramData data = Build(Settings(0, 1, 0));
    ExpectConsistent(data);
    EXPECT_EQ(data.call[IndexOf(data, "1.1")], 1000);
}

TEST_F(HistogramArraysTest, ABarConditionThatIsNotSqlLeavesTheValuesEmpty) {
    db_.Insert({Row("CALL", 1.1000, 1000), Row("PUT", 1.1000, 1000), Row("CALL", 1.1050, 900)});
    for (const char* condition :
         {"oi > AND 5", "", "oi>0; DELETE FROM dating", "nosuchcolumn > 1"}) {
        const HistogramData data = Build(Settings(0, 1, 0, condition));
        EXPECT_TRUE(data.rows_failed) << condition;
        EXPECT_FALSE(data.rows_error.empty());
        EXPECT_FALSE(data.axis.empty());
        EXPECT_EQ(std::count(data.call.begin(), data.call.end(), 0.0),
                  static_cast<long>(data.Size()));
    }
    storage::Statement count = db_.Db().Prepare("SELECT COUNT(*) FROM dating");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.ColumnInt(0), 3);
}

TEST_F(HistogramArraysTest, AParameterInTheConditionIsRefusedAndNamed) {
    db_.Insert({Row("CALL", 1.1000, 1000), Row("PUT", 1.1000, 1000)});
    // A parameter would take the place of one of the query's own values (?3 is the day).
    const HistogramData data = Build(Settings(0, 1, 0, "oi > ?3 OR 1"));
    EXPECT_TRUE(data.rows_failed);
    EXPECT_EQ(data.rows_error.rfind("Bar_Cond \"oi > ?3 OR 1\": ", 0), 0u) << data.rows_error;
    EXPECT_EQ(std::accumulate(data.call.begin(), data.call.end(), 0.0), 0.0);
}

TEST_F(HistogramArraysTest, AVeryWideDayIsCutToTheChartsCapacity) {
    db_.Insert(
        {Row("CALL", 100.0, 1000, 0.5), Row("PUT", 1.0, 1000, 0.01), Row("CALL", 1.0, 1000, 0.02)});
    for (const int price_type : {0, 1, 2}) {
        const HistogramData data = Build(Settings(0, price_type, 0));
        ExpectConsistent(data);
        EXPECT_EQ(data.Size(), kHistogramCapacity) << price_type;
    }
}

TEST_F(HistogramArraysTest, AStrikeOfNearlyZeroUnderAnInvertingQuotationStaysFinite) {
    db_.Insert({Row("CALL", 0.0001, 1000, 0.0001), Row("PUT", 0.0001, 1000, 0.0001),
                Row("CALL", 0.0005, 1000, 0.0)});
    for (const int scale : {0, 1, 2}) {
        const HistogramData data = Build(Settings(scale, 2, 0), "CAD", 12.0);
        ExpectConsistent(data);
    }
}

}  // namespace
}  // namespace zarvex::analytics
