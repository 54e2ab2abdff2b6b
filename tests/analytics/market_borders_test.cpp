#include <gtest/gtest.h>

#include "analytics/day/day_figures.h"
#include "left_panel_fixture.h"
#include "support/case_name.h"

namespace zarvex::analytics::left_testing {
namespace {

class MarketBordersTest : public ::testing::Test {
protected:
    MarketBordersTest() { CreateQuoteDatabase(file_); }

    void Insert(const std::vector<Row>& rows) { InsertRows(file_, rows); }
    ContextTexts Run(const std::string& symbol = "EUR", int price_type = 1) {
        TestContext context = MakeContext(symbol, price_type);
        Run(context);
        return TextsOf(context);
    }
    void Run(TestContext& context) {
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        EXPECT_TRUE(MarketBordersOf(db, context));
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / "EUR_data.lql";
};

TEST_F(MarketBordersTest, DeltaBalanceTakesTheFirstOfTwoEquallyNearDeltas) {
    Insert({
        {.option = "PUT", .strike = "1.10", .delta = "0.30"},
        {.option = "PUT", .strike = "1.12", .delta = "0.70"},
        {.option = "CALL", .strike = "1.11", .delta = "0.5"},
    });
    EXPECT_EQ(Run().delta_balance, "1.1000");
}

TEST_F(MarketBordersTest, DeltaBalanceFallsBackToTheCallsAndIsEmptyWithoutTheBand) {
    Insert({
        {.option = "PUT", .strike = "1.10", .delta = "0.2"},
        {.option = "CALL", .strike = "1.12", .delta = "0.74"},
        {.option = "CALL", .strike = "1.13", .delta = "0.45"},
    });
    EXPECT_EQ(Run().delta_balance, "1.1300");
    EXPECT_EQ(Run("EUR", 0).delta_balance, "1.1300");  // no premium is added
    test::TempFolder other;
    file_ = other / "EUR_data.lql";
    CreateQuoteDatabase(file_);
    Insert({{.option = "PUT", .strike = "1.10", .delta = "0.24"},
            {.option = "CALL", .strike = "1.10", .delta = "0.76"}});
    EXPECT_EQ(Run().delta_balance, "");
}

TEST_F(MarketBordersTest, BordersChannelAndWidth) {
    Insert({
        {.option = "CALL", .strike = "1.125", .oi = "900"},
        {.option = "CALL", .strike = "1.13", .oi = "100"},
        {.option = "PUT", .strike = "1.105", .oi = "800"},
        {.option = "PUT", .strike = "1.095", .oi = "50"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.upper_border, "1.1250");
    EXPECT_EQ(context.bottom_border, "1.1050");
    EXPECT_EQ(context.upper_border_strike, 1);
    EXPECT_EQ(context.bottom_border_strike, 1);
    EXPECT_EQ(context.channel_center, "1.1150");
    EXPECT_EQ(context.market_width, "200");
}

TEST_F(MarketBordersTest, TheBorderLookupHasNoPriceFilter) {
    // The largest open interest among priced options is 700; an unpriced CALL earlier in the
    // table has the same open interest and wins the lookup.
    Insert({
        {.option = "CALL", .strike = "1.15", .price = "0", .oi = "700"},
        {.option = "CALL", .strike = "1.13", .oi = "700"},
        {.option = "CALL", .strike = "1.14", .price = "0", .oi = "9000"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.upper_border, "1.1500");
    // No PUT: no bottom border, hence no channel.
    EXPECT_EQ(context.bottom_border, "");
    EXPECT_EQ(context.bottom_border_strike, 0);
    EXPECT_EQ(context.channel_center, "");
    EXPECT_EQ(context.market_width, "");
}

TEST_F(MarketBordersTest, AMissingBorderClearsTheChannelOfTheLastCalculation) {
    Insert({
        {.option = "CALL", .strike = "1.125", .oi = "900"},
        {.option = "PUT", .strike = "1.105", .oi = "800"},
        {.option = "CALL", .strike = "1.125", .oi = "900", .contract = "MAR13-AM"},
    });
    TestContext context = MakeContext();
    Run(context);
    EXPECT_EQ(TextsOf(context).market_width, "200");
    context.contract = "MAR13-AM";
    Run(context);
    EXPECT_EQ(TextsOf(context).channel_center, "");
    EXPECT_EQ(TextsOf(context).market_width, "");
    EXPECT_EQ(TextsOf(context).bottom_border, "");
}

TEST_F(MarketBordersTest, LimitsAreTheOutermostTradedStrikes) {
    Insert({
        {.option = "CALL", .strike = "1.20", .price = "0.001", .delta = "0.01", .oi = "5"},
        {.option = "CALL", .strike = "1.25", .price = "0.001", .delta = "0.002", .oi = "5"},
        {.option = "CALL", .strike = "1.30", .price = "0", .delta = "0.01", .oi = "5"},
        {.option = "PUT", .strike = "1.02", .price = "0.001", .delta = "0.01", .oi = "5"},
        {.option = "PUT", .strike = "1.01", .price = "0.001", .delta = "0.01", .oi = "0"},
        {.option = "PUT", .strike = "0.99", .price = "0.001", .delta = "0.998", .oi = "5"},
    });
    const ContextTexts context = Run("EUR", 0);
    EXPECT_EQ(context.upper_limit, "1.2010");
    EXPECT_EQ(context.upper_limit_strike, 1);
    EXPECT_EQ(context.bottom_limit, "1.0190");
    EXPECT_EQ(context.bottom_limit_strike, 1);
}

// Older extractions stored a blank line inside a report block as a row of empty texts, and
// SQLite orders a text above every number: MAX(oi) and MAX(strike) must still find the options.
TEST_F(MarketBordersTest, RowsOfBlankReportLinesDoNotHideBordersOrLimits) {
    const Row blank_call{.option = "CALL",
                         .strike = "",
                         .price = "",
                         .delta = "",
                         .volume = "",
                         .oi = "",
                         .doi = "",
                         .sign = ""};
    Row blank_put = blank_call;
    blank_put.option = "PUT";
    Insert({
        {.option = "CALL", .strike = "1.125", .delta = "0.3", .oi = "900"},
        blank_call,
        {.option = "CALL", .strike = "1.13", .delta = "0.2", .oi = "100"},
        {.option = "PUT", .strike = "1.105", .delta = "0.3", .oi = "800"},
        blank_put,
        {.option = "PUT", .strike = "1.095", .delta = "0.2", .oi = "50"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.upper_border, "1.1250");
    EXPECT_EQ(context.bottom_border, "1.1050");
    EXPECT_EQ(context.channel_center, "1.1150");
    EXPECT_EQ(context.market_width, "200");
    EXPECT_EQ(context.upper_limit, "1.1300");
    EXPECT_EQ(context.bottom_limit, "1.0950");
}

TEST_F(MarketBordersTest, InverseQuotationSwapsTheTextsButNotTheStrikes) {
    Insert({
        {.option = "CALL", .strike = "1.25", .oi = "900", .symb = "JPY"},
        {.option = "PUT", .strike = "1.05", .oi = "800", .symb = "JPY"},
    });
    const ContextTexts forex = Run("JPY", 2);
    // 100 / (1.25 + 0.01) = 79.37 is the CALL side's price and shows as the bottom border.
    EXPECT_EQ(forex.bottom_border, "79.37");
    EXPECT_EQ(forex.upper_border, "96.15");
    EXPECT_EQ(forex.upper_limit, "96.15");
    EXPECT_EQ(forex.bottom_limit, "79.37");
    EXPECT_EQ(forex.upper_border_strike, 1);
    // The channel and the width come from the texts before the exchange.
    EXPECT_EQ(forex.channel_center, "87.76");
    EXPECT_EQ(forex.market_width, "1678");
    const ContextTexts futures = Run("JPY", 1);
    EXPECT_EQ(futures.upper_border, "1.2500");
    EXPECT_EQ(futures.bottom_border, "1.0500");
}

struct ChannelCase {
    const char* bottom;
    const char* upper;
    const char* symbol;
    const char* center;
    const char* width;
};

class ChannelTest : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(ChannelTest, CenterAndWidthFromTheBorderTexts) {
    const ChannelCase& c = GetParam();
    TestContext context = MakeContext(c.symbol);
    context.bottom_border = NumberShownAs(c.bottom);
    context.upper_border = NumberShownAs(c.upper);
    context.channel_center = NumberShownAs("9.9");
    context.market_width = NumberShownAs("9");
    ChannelFromBorders(context);
    EXPECT_EQ(TextsOf(context).channel_center, c.center);
    EXPECT_EQ(TextsOf(context).market_width, c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChannelTest,
    ::testing::Values(ChannelCase{"1.1050", "1.1250", "EUR", "1.1150", "200"},
                      ChannelCase{"103", "105", "EUR", "104", "20"},
                      ChannelCase{"103", "105", "WTI", "104", "2"},
                      ChannelCase{"80.00", "95.24", "JPY", "87.62", "1524"},
                      // Ties of the scaled values go to the even neighbour.
                      ChannelCase{"1.1", "1.25", "EUR", "1.2", "1"},
                      // A border that counts as zero: nothing, whatever was shown before.
                      ChannelCase{"0.0000", "1.1250", "EUR", "", ""},
                      ChannelCase{"1.1050", " 0.00000 ", "EUR", "", ""},
                      ChannelCase{"", "1.1250", "EUR", "", ""}),
    [](const auto& one_case) {
        return test::CaseName(one_case.index, std::string(one_case.param.symbol) + " " +
                                                  one_case.param.bottom + " " +
                                                  one_case.param.upper);
    });

TEST(BorderZeroTest, EachSideHasItsSpellingsOfZero) {
    for (const char* zero : {"", "  ", "0.0", "0", "0.00", "0.0000", "0.000000"}) {
        EXPECT_TRUE(BottomBorderIsZero(zero)) << zero;
    }
    for (const char* zero : {"", "0.0", "0", "0.00", "0.00000", "0.0000000"}) {
        EXPECT_TRUE(UpperBorderIsZero(zero)) << zero;
    }
    EXPECT_FALSE(UpperBorderIsZero("0.0000"));
    EXPECT_FALSE(BottomBorderIsZero("0.00000"));
    EXPECT_FALSE(BottomBorderIsZero("1.1000"));
}

TEST_F(MarketBordersTest, AFailingQueryEndsTheCalculationAndKeepsTheRest) {
    TestContext context = MakeContext();
    context.upper_border = NumberShownAs("1.2000");
    context.market_width = NumberShownAs("300");
    const storage::Database closed;
    EXPECT_FALSE(MarketBordersOf(closed, context));
    EXPECT_EQ(TextsOf(context).upper_border, "1.2000");
    EXPECT_EQ(TextsOf(context).market_width, "300");
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
