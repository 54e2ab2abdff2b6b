#include <gtest/gtest.h>

#include "left_panel_fixture.h"

namespace zarvex::analytics::left_testing {
namespace {

class BasicIndicatorsTest : public ::testing::Test {
protected:
    BasicIndicatorsTest() { CreateQuoteDatabase(file_); }

    void Insert(const std::vector<Row>& rows) { InsertRows(file_, rows); }
    ContextTexts Run(int price_type = 1) {
        TestContext context = MakeContext("EUR", price_type);
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        EXPECT_TRUE(BasicIndicatorsOf(db, context));
        return TextsOf(context);
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / "EUR_data.lql";
};

TEST_F(BasicIndicatorsTest, LevelIsTheStrikeWithTheLargestVolumeOverAllDaysOfTheContract) {
    Insert({
        {.option = "CALL", .strike = "1.10", .volume = "30", .date = "05.12.2012"},
        {.option = "CALL", .strike = "1.12", .volume = "50"},
        {.option = "CALL", .strike = "1.10", .volume = "30"},
        {.option = "PUT", .strike = "1.08", .volume = "7"},
        {.option = "PUT", .strike = "1.06", .volume = "9"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.call_level, "1.1000");  // 30 + 30 beats 50
    EXPECT_EQ(context.put_level, "1.0600");
}

TEST_F(BasicIndicatorsTest, AmongEqualTotalsTheStrikeMetFirstWins) {
    Insert({
        {.option = "CALL", .strike = "1.14", .volume = "20"},
        {.option = "CALL", .strike = "1.11", .volume = "20"},
        {.option = "CALL", .strike = "1.12", .volume = "10"},
        {.option = "PUT", .strike = "1.05", .volume = "0"},
        {.option = "PUT", .strike = "1.04", .volume = "0"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.call_level, "1.1400");
    // No positive total: the first slot.
    EXPECT_EQ(context.put_level, "1.0500");
}

TEST_F(BasicIndicatorsTest, WithoutRowsOfTheDayTheOneSlotTakesTheFirstStrikeOfOtherDays) {
    Insert({
        {.option = "CALL", .strike = "1.10", .volume = "5", .date = "05.12.2012"},
        {.option = "CALL", .strike = "1.12", .volume = "500", .date = "05.12.2012"},
        {.option = "PUT", .strike = "1.08", .volume = "5"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.call_level, "1.1000");
}

TEST_F(BasicIndicatorsTest, StrikesBeyondThreeTimesTheDaysRowsFindNoSlot) {
    // One CALL row on the day gives 3 + 1 slots; the fifth strike of the contract is lost.
    Insert({
        {.option = "CALL", .strike = "1.10", .volume = "1"},
        {.option = "CALL", .strike = "1.11", .volume = "1", .date = "05.12.2012"},
        {.option = "CALL", .strike = "1.12", .volume = "1", .date = "05.12.2012"},
        {.option = "CALL", .strike = "1.13", .volume = "1", .date = "05.12.2012"},
        {.option = "CALL", .strike = "1.14", .volume = "900", .date = "05.12.2012"},
        {.option = "CALL", .strike = "1.12", .volume = "5", .date = "04.12.2012"},
    });
    EXPECT_EQ(Run().call_level, "1.1200");
}

TEST_F(BasicIndicatorsTest, ContractWithoutRowsOfAnOptionTypeShowsABlank) {
    Insert({{.option = "PUT", .strike = "1.08", .volume = "5", .expiration = "21.12.2012"}});
    const ContextTexts context = Run();
    EXPECT_EQ(context.call_level, " ");
    EXPECT_EQ(context.put_level, "1.0800");
    EXPECT_EQ(context.expiration, "21.12.2012");
}

TEST_F(BasicIndicatorsTest, ZeroStrikeRowsAddToTheFreeSlotUntilAStrikeTakesIt) {
    // Volume on the strike 0.0 lands in the first free slot; the next new strike overwrites it.
    Insert({
        {.option = "CALL", .strike = "1.10", .volume = "10"},
        {.option = "CALL", .strike = "0", .volume = "900"},
        {.option = "CALL", .strike = "1.12", .volume = "11", .date = "05.12.2012"},
    });
    EXPECT_EQ(Run().call_level, "1.1200");
    Insert({{.option = "CALL", .strike = "0", .volume = "900", .date = "04.12.2012"}});
    // Now the free slot keeps the largest total: no strike, a blank level.
    EXPECT_EQ(Run().call_level, " ");
}

TEST_F(BasicIndicatorsTest, TextsWhereNumbersBelongReadAsTheirLeadingNumber) {
    Insert({
        {.option = "CALL", .strike = "abc", .volume = "lots"},
        {.option = "CALL", .strike = "1.10", .volume = "4"},
        {.option = "PUT", .strike = "1.0x", .volume = "3"},
    });
    const ContextTexts context = Run();
    EXPECT_EQ(context.call_level, "1.1000");
    EXPECT_EQ(context.put_level, "1.0000");
}

TEST_F(BasicIndicatorsTest, AFailingQueryKeepsTheFields) {
    TestContext context = MakeContext();
    context.call_level = NumberShownAs("9.9900");
    context.put_level = NumberShownAs("9.9900");
    const storage::Database no_table = storage::Database::Open(folder_ / "none.lql");
    EXPECT_FALSE(BasicIndicatorsOf(no_table, context));
    EXPECT_EQ(TextsOf(context).call_level, "9.9900");
    EXPECT_EQ(TextsOf(context).put_level, "9.9900");
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
