#include "analytics/right_panel/histogram_scale.h"

#include <gtest/gtest.h>

#include <limits>

#include "analytics/right_panel_fixture.h"

namespace zarvex::analytics {
namespace {

using testing::QuoteDb;
using testing::QuoteRow;

QuoteRow Row(const char* option, double strike, double price, double delta, std::int64_t oi) {
    QuoteRow row;
    row.option = option;
    row.strike = strike;
    row.price = price;
    row.delta = delta;
    row.oi = oi;
    return row;
}

// A day built so that every display scale picks different strikes: the largest open interest
// sits inside, the limits need a live delta and premium, "all levels" only open interest.
std::vector<QuoteRow> ScaleDay() {
    return {
        Row("CALL", 1.1000, 0.0200, 0.60, 900),
        Row("CALL", 1.1100, 0.0120, 0.45, 3000),  // largest live CALL open interest
        Row("CALL", 1.1200, 0.0060, 0.30, 5000),  // larger, but delta 1 is not live
        Row("CALL", 1.1300, 0.0030, 0.20, 40),    // the highest live CALL: "in limits"
        Row("CALL", 1.1400, 0.0000, 0.00, 10),    // the highest with open interest: "all levels"
        Row("PUT", 1.0600, 0.0000, 0.00, 5),      // the lowest with open interest
        Row("PUT", 1.0700, 0.0020, 0.10, 60),     // the lowest live PUT
        Row("PUT", 1.0800, 0.0050, 0.25, 2500),   // largest live PUT open interest
        Row("PUT", 1.0900, 0.0090, 0.40, 700),
    };
}

struct ScaleCase {
    const char* name;
    std::string symbol;
    int scale;
    int price_type;
    double forward_point;
    double lower;
    double upper;
};

class HistogramScaleCases : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(HistogramScaleCases, PicksTheStrikesOfTheScaleAndConvertsThem) {
    const ScaleCase& c = GetParam();
    QuoteDb db(c.symbol);
    std::vector<QuoteRow> rows = ScaleDay();
    rows[2].delta = 1.0;
    db.Insert(rows);
    const RightPanelDay day{c.symbol, testing::kDay, testing::kContract, c.forward_point};
    settings::HistogramSettings histogram;
    histogram.market_scale = static_cast<std::int8_t>(c.scale);
    histogram.market_type = static_cast<std::int8_t>(c.price_type);
    const HistogramBounds bounds = ComputeHistogramBounds(db.Db(), day, histogram);
    EXPECT_DOUBLE_EQ(bounds.lower, c.lower);
    EXPECT_DOUBLE_EQ(bounds.upper, c.upper);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistogramScaleCases,
    ::testing::Values(
        // In borders: strike of the largest live open interest, shifted by its premium.
        ScaleCase{"borders_futures", "EUR", 2, 0, 0.0, 1.0750, 1.1220},
        ScaleCase{"borders_standart", "EUR", 2, 1, 0.0, 1.0800, 1.1100},
        // Forex: the forward point in pips moves both.
        ScaleCase{"borders_forex", "EUR", 2, 2, 10.0, 1.0740, 1.1210},
        ScaleCase{"limits", "EUR", 1, 0, 0.0, 1.0680, 1.1330},
        ScaleCase{"all_levels", "EUR", 0, 1, 0.0, 1.0600, 1.1400},
        // Inverted quotation: the CALL side gives the lower price (1 / 1.1220), so the bounds
        // swap.
        ScaleCase{"chf_forex_swaps", "CHF", 2, 2, 0.0, 0.8913, 0.9302},
        ScaleCase{"chf_futures_keeps", "CHF", 2, 0, 0.0, 1.0750, 1.1220},
        ScaleCase{"unknown_scale", "EUR", 7, 0, 0.0, 0.0, 0.0}),
    [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(HistogramScale, ADayWithoutRowsHasZeroBounds) {
    QuoteDb db;
    db.Insert(ScaleDay());
    settings::HistogramSettings histogram;
    histogram.market_scale = 2;
    const RightPanelDay other_day{"EUR", "10.12.2012", testing::kContract, 0.0};
    const HistogramBounds bounds = ComputeHistogramBounds(db.Db(), other_day, histogram);
    EXPECT_EQ(bounds.lower, 0.0);
    EXPECT_EQ(bounds.upper, 0.0);
}

// A damaged file can hold an open interest beyond the 64-bit integers; MAX(oi) then reads as the
// largest integer, as SQLite itself reads it, and the row that holds that integer is found.
TEST(HistogramScale, AnOpenInterestBeyondTheIntegersReadsAsTheLargestOne) {
    QuoteDb db;
    db.Insert({Row("CALL", 1.1100, 0.0120, 0.45, std::numeric_limits<std::int64_t>::max()),
               Row("PUT", 1.0800, 0.0050, 0.25, 2500)});
    db.Db().Execute(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES (1.12, 0.006, 0.3, 0, 1e300, 0, 1, 'EUR', 'CALL', "
        "?, '14.12.2012', ?)",
        {std::string_view(testing::kContract), std::string_view(testing::kDay)});
    settings::HistogramSettings histogram;
    histogram.market_scale = 2;
    histogram.market_type = 1;
    const HistogramBounds bounds = ComputeHistogramBounds(
        db.Db(), RightPanelDay{"EUR", testing::kDay, testing::kContract, 0.0}, histogram);
    EXPECT_DOUBLE_EQ(bounds.upper, 1.11);
    EXPECT_DOUBLE_EQ(bounds.lower, 1.08);
}

TEST(HistogramScale, ADatabaseWithoutTheTableHasZeroBounds) {
    const test::TempFolder folder;
    test::WriteFile(folder / "EUR_data.lql", "");
    const storage::Database db = storage::Database::Open(folder / "EUR_data.lql");
    settings::HistogramSettings histogram;
    histogram.market_scale = 1;
    const HistogramBounds bounds = ComputeHistogramBounds(
        db, RightPanelDay{"EUR", testing::kDay, testing::kContract, 0.0}, histogram);
    EXPECT_EQ(bounds.lower, 0.0);
    EXPECT_EQ(bounds.upper, 0.0);
}

}  // namespace
}  // namespace zarvex::analytics
