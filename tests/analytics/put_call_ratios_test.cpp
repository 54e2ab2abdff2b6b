#include <gtest/gtest.h>

#include "left_panel_fixture.h"

namespace zarvex::analytics::left_testing {
namespace {

class PutCallRatiosTest : public ::testing::Test {
protected:
    PutCallRatiosTest() { CreateQuoteDatabase(file_); }

    ContextTexts Run(const std::vector<Row>& rows) {
        InsertRows(file_, rows);
        TestContext context = MakeContext();
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        EXPECT_TRUE(RatiosOf(db, context));
        return TextsOf(context);
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / "EUR_data.lql";
};

TEST_F(PutCallRatiosTest, OpenInterestAndVolumeRatiosOverTheDeltaBand) {
    const ContextTexts context = Run({
        {.option = "PUT", .delta = "0.3", .volume = "30", .oi = "1000"},
        {.option = "PUT", .delta = "0.6", .volume = "30", .oi = "500"},
        {.option = "CALL", .delta = "0.5", .volume = "40", .oi = "1000"},
        // Outside the filters: no premium, delta at or beyond the band, another day.
        {.option = "PUT", .price = "0", .delta = "0.5", .volume = "99", .oi = "999"},
        {.option = "PUT", .delta = "0.003", .volume = "99", .oi = "999"},
        {.option = "CALL", .delta = "0.997", .volume = "99", .oi = "999"},
        {.option = "CALL", .delta = "0.5", .volume = "99", .oi = "999", .date = "06.12.2012"},
    });
    EXPECT_EQ(context.ratio_oi, "1.5000");
    EXPECT_EQ(context.ratio_volume, "1.5000");
}

TEST_F(PutCallRatiosTest, AveragePriceRatioIsPriceTimesVolumeOverTheRowCount) {
    const ContextTexts context = Run({
        {.option = "PUT", .price = "0.02", .volume = "10", .doi = "1"},
        {.option = "PUT", .price = "0.01", .volume = "30", .doi = "1"},
        {.option = "CALL", .price = "0.05", .volume = "2", .doi = "5"},
        // doi not positive: left out.
        {.option = "CALL", .price = "0.05", .volume = "100", .doi = "0"},
    });
    // PUT (0.2 + 0.3) / 2 = 0.25, CALL 0.1 / 1.
    EXPECT_EQ(context.ratio_avg_price, "2.5000");
}

using RatioCase = std::tuple<std::vector<Row>, const char*, const char*, const char*>;

std::string RatioCaseName(const ::testing::TestParamInfo<RatioCase>& param_info) {
    static const char* const kNames[] = {"EmptyDay", "NoCallInTheBand", "NoPut", "CallPremiumZero"};
    return kNames[param_info.index];
}

class EmptyRatios : public PutCallRatiosTest, public ::testing::WithParamInterface<RatioCase> {};

TEST_P(EmptyRatios, ZeroOrUndefinedRatiosShowNothing) {
    const auto& [rows, oi, volume, average] = GetParam();
    const ContextTexts context = Run(rows);
    EXPECT_EQ(context.ratio_oi, oi);
    EXPECT_EQ(context.ratio_volume, volume);
    EXPECT_EQ(context.ratio_avg_price, average);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmptyRatios,
    ::testing::Values(
        // An empty day: every sum is empty and reads 0.
        RatioCase{{}, "", "", ""},
        // No CALL in the band: no division.
        RatioCase{{{.option = "PUT", .delta = "0.5", .volume = "5", .oi = "5", .doi = "1"},
                   {.option = "CALL", .delta = "0.001", .volume = "5", .oi = "5", .doi = "1"}},
                  "",
                  "",
                  ""},
        // No PUT: a ratio of zero shows nothing either.
        RatioCase{
            {{.option = "CALL", .delta = "0.5", .volume = "5", .oi = "5", .doi = "1"}}, "", "", ""},
        // CALL rows with a premium of zero: the average price would divide by zero.
        RatioCase{{{.option = "PUT", .price = "0.01", .volume = "5", .oi = "5", .doi = "1"},
                   {.option = "CALL", .price = "0", .volume = "5", .oi = "5", .doi = "1"}},
                  "",
                  "",
                  ""}),
    RatioCaseName);

TEST_F(PutCallRatiosTest, AFailingQueryEndsTheCalculationAndKeepsTheFields) {
    TestContext context = MakeContext();
    context.ratio_oi = NumberShownAs("9.9900");
    const storage::Database closed;
    EXPECT_FALSE(RatiosOf(closed, context));
    EXPECT_EQ(TextsOf(context).ratio_oi, "9.9900");
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
