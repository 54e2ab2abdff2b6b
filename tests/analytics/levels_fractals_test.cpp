#include <gtest/gtest.h>

#include "analytics/left_panel/calculations.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/left_panel/left_panel_cells.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "support/case_name.h"

namespace zarvex::analytics::left_testing {
namespace {

using Texts = std::vector<std::string>;

class LevelsFractalsTest : public ::testing::Test {
protected:
    LevelsFractalsTest() { CreateQuoteDatabase(file_); }

    void Insert(const std::vector<Row>& rows) { InsertRows(file_, rows); }
    ContextTexts Levels(const std::string& condition, int price_type = 1, bool ok = true) {
        TestContext context = MakeContext("EUR", price_type);
        context.settings.level_cond = condition;
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        EXPECT_EQ(CalculateSignificantLevels(db, context.settings, context), ok);
        return TextsOf(context);
    }
    ContextTexts Fractals(const std::string& main, const std::string& near, int price_type = 1,
                          bool ok = true) {
        TestContext context = MakeContext("EUR", price_type);
        context.settings.fractal_main_cond = main;
        context.settings.fractal_near_cond = near;
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        EXPECT_EQ(CalculateSignificantFractals(db, context.settings, context), ok);
        return TextsOf(context);
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / "EUR_data.lql";
};

TEST_F(LevelsFractalsTest, LevelsAreTheShownPricesOfTheRowsThatPassTheCondition) {
    Insert({
        {.option = "PUT", .strike = "1.10", .price = "0.02", .delta = "0.4", .oi = "2000"},
        {.option = "PUT", .strike = "1.11", .price = "0.03", .delta = "0.4", .oi = "2000"},
        {.option = "PUT", .strike = "1.12", .price = "0.01", .delta = "0.4", .oi = "10"},
        {.option = "PUT", .strike = "1.13", .price = "0", .delta = "0.4", .oi = "2000"},
        {.option = "PUT", .strike = "1.14", .price = "0.01", .delta = "0", .oi = "2000"},
        {.option = "PUT", .strike = "1.15", .price = "0.01", .delta = "1", .oi = "2000"},
        {.option = "CALL", .strike = "1.20", .price = "0.01", .delta = "0.4", .oi = "5000"},
        {.option = "CALL",
         .strike = "1.21",
         .price = "0.01",
         .delta = "0.4",
         .oi = "5000",
         .sign = "-1"},
    });
    const ContextTexts context = Levels("oi>1000 AND sign>=0", 0);
    // 1.10 - 0.02 and 1.11 - 0.03 give the same price: one level.
    EXPECT_EQ(context.put_levels, (Texts{"1.0800"}));
    EXPECT_EQ(context.call_levels, (Texts{"1.2100"}));
}

TEST_F(LevelsFractalsTest, OnlyTheFirst51DistinctLevelsInRowOrderAreKept) {
    std::vector<Row> rows;
    for (int i = 60; i > 0; --i) {
        rows.push_back(
            {.option = "CALL", .strike = common::FormatFixed(1.0 + i * 0.001, 3), .oi = "5"});
    }
    Insert(rows);
    const ContextTexts context = Levels("oi>0");
    ASSERT_EQ(context.call_levels.size(), 51u);
    EXPECT_EQ(context.call_levels.front(), "1.0600");
    EXPECT_EQ(context.call_levels.back(), "1.0100");
    EXPECT_TRUE(context.put_levels.empty());
}

TEST_F(LevelsFractalsTest, AConditionThatIsNotSqlEndsTheCalculationWithEmptyLists) {
    Insert({{.option = "PUT", .oi = "5"}, {.option = "CALL", .oi = "5"}});
    for (const std::string condition :
         {"oi >>> 1", "", "oi>0; DELETE FROM dating", "oi>0) OR (1=1", "no_such_column > 1"}) {
        SCOPED_TRACE(condition);
        const ContextTexts context = Levels(condition, 1, false);
        EXPECT_TRUE(context.put_levels.empty());
        EXPECT_TRUE(context.call_levels.empty());
    }
    // The database is untouched by what the condition tried.
    EXPECT_EQ(Levels("1=1").call_levels, (Texts{"1.1000"}));
}

// The near set of the description's example: open interests 100, 300, 200 at 1.10, 1.11, 1.12.
std::vector<Row> PeakRows(const std::string& option, const std::string& main_oi_at_111) {
    return {
        {.option = option, .strike = "1.10", .oi = "100", .sign = "0"},
        {.option = option, .strike = "1.11", .oi = "300", .sign = "0"},
        {.option = option, .strike = "1.12", .oi = "200", .sign = "0"},
        // The main rows: the 1.11 strike again (another contract row passing the main
        // condition would do the same) and 1.10.
        {.option = option,
         .strike = "1.11",
         .oi = main_oi_at_111,
         .sign = "1",
         .contract = kContract},
        {.option = option, .strike = "1.10", .oi = "900", .sign = "1"},
    };
}

TEST_F(LevelsFractalsTest, AFractalIsAMainRowAboveBothNearNeighbours) {
    Insert(PeakRows("PUT", "300"));
    Insert(PeakRows("CALL", "300"));
    const ContextTexts context = Fractals("sign>0", "sign=0");
    EXPECT_EQ(context.put_fractals, (Texts{"1.1100"}));
    EXPECT_EQ(context.call_fractals, (Texts{"1.1100"}));
}

TEST_F(LevelsFractalsTest, AnOpenInterestEqualToANeighbourIsNoPeak) {
    Insert(PeakRows("PUT", "200"));
    EXPECT_TRUE(Fractals("sign>0", "sign=0").put_fractals.empty());
}

TEST_F(LevelsFractalsTest, EveryRowOfTheMainSetIsTested) {
    // The peak is the third row of the main query while the first row has id 1: a count
    // taken from the row query would have stopped after one row.
    Insert({
        {.option = "PUT", .strike = "1.20", .oi = "50", .sign = "1"},
        {.option = "PUT", .strike = "1.10", .oi = "100", .sign = "0"},
        {.option = "PUT", .strike = "1.11", .oi = "300", .sign = "0"},
        {.option = "PUT", .strike = "1.12", .oi = "200", .sign = "0"},
        {.option = "PUT", .strike = "1.30", .oi = "50", .sign = "1"},
        {.option = "PUT", .strike = "1.11", .oi = "301", .sign = "1"},
    });
    EXPECT_EQ(Fractals("sign>0", "sign=0").put_fractals, (Texts{"1.1100"}));
}

TEST_F(LevelsFractalsTest, FractalPricesUseThePremiumOfTheDay) {
    Insert({
        {.option = "PUT", .strike = "1.1", .price = "0.015", .oi = "100"},
        {.option = "PUT", .strike = "1.105", .price = "0.0125", .oi = "300"},
        {.option = "PUT", .strike = "1.11", .price = "0.01", .oi = "200"},
        {.option = "CALL", .strike = "1.1", .price = "0.01", .oi = "100"},
        {.option = "CALL", .strike = "1.105", .price = "0.0125", .oi = "300"},
        {.option = "CALL", .strike = "1.11", .price = "0.015", .oi = "200"},
    });
    const ContextTexts context = Fractals("oi>=300", "oi>0", 0);
    EXPECT_EQ(context.put_fractals, (Texts{"1.0925"}));
    EXPECT_EQ(context.call_fractals, (Texts{"1.1175"}));
}

TEST_F(LevelsFractalsTest, TheFirstAndTheLastNearRowAreNeverPeaks) {
    Insert({
        {.option = "CALL", .strike = "1.10", .oi = "900"},
        {.option = "CALL", .strike = "1.11", .oi = "300"},
        {.option = "CALL", .strike = "1.12", .oi = "900"},
    });
    EXPECT_TRUE(Fractals("oi>0", "oi>0").call_fractals.empty());
}

// Older extractions stored a blank line inside a report block as a row of empty texts. It
// is no option: no level of price 0, and no neighbour with no open interest in the near set.
TEST_F(LevelsFractalsTest, RowsOfBlankReportLinesAreNeitherLevelsNorNearRows) {
    const Row blank{.option = "PUT",
                    .strike = "",
                    .price = "",
                    .delta = "",
                    .volume = "",
                    .oi = "",
                    .doi = "",
                    .sign = ""};
    Insert({
        {.option = "PUT", .strike = "1.10", .oi = "100"},
        {.option = "PUT", .strike = "1.11", .oi = "300"},
        blank,
        {.option = "PUT", .strike = "1.12", .oi = "500"},
        {.option = "PUT", .strike = "1.13", .oi = "200"},
    });
    EXPECT_EQ(Levels("oi>50", 0).put_levels, (Texts{"1.0900", "1.1000", "1.1100", "1.1200"}));
    // Without the blank row 1.11 lies between 100 and 500; 1.12 between 300 and 200.
    EXPECT_EQ(Fractals("oi>0", "oi>=0").put_fractals, (Texts{"1.1200"}));
}

TEST_F(LevelsFractalsTest, BadFractalConditionsEndTheCalculation) {
    Insert(PeakRows("PUT", "300"));
    EXPECT_TRUE(Fractals("sign>0", "sign=", 1, false).put_fractals.empty());
    EXPECT_TRUE(Fractals("sign>", "sign=0", 1, false).put_fractals.empty());
    EXPECT_TRUE(Fractals("sign>0; DROP TABLE dating", "sign=0", 1, false).put_fractals.empty());
}

// Rows that an OR in a condition would reach if it were not grouped: another day, another
// contract, and the other option, each with open interest above every condition below.
std::vector<Row> DayWithNeighbours() {
    std::vector<Row> rows;
    auto add = [&rows](const char* option, const char* strike, const char* oi) {
        rows.push_back({.option = option, .strike = strike, .delta = "0.4", .oi = oi});
    };
    add("PUT", "1.10", "100");
    add("PUT", "1.11", "300");
    add("PUT", "1.12", "200");
    add("CALL", "1.20", "100");
    add("CALL", "1.21", "300");
    add("CALL", "1.22", "200");
    for (const char* option : {"PUT", "CALL"}) {
        rows.push_back({.option = option,
                        .strike = "1.30",
                        .delta = "0.4",
                        .oi = "5000",
                        .date = "06.12.2012"});
        rows.push_back({.option = option,
                        .strike = "1.31",
                        .delta = "0.4",
                        .oi = "5000",
                        .contract = "MAR13-AM"});
    }
    return rows;
}

TEST_F(LevelsFractalsTest, ConditionsWithOrStayWithinTheDayContractAndOption) {
    Insert(DayWithNeighbours());
    const storage::Database file = storage::Database::OpenReadOnly(file_);
    DaySlice slice;
    const storage::Database& copy = slice.Select(file, kDay, kContract).RowsFor("");
    ASSERT_NE(&copy, &file);
    for (const storage::Database* db : {&file, &copy}) {
        TestContext context = MakeContext("EUR", 1);
        context.settings.level_cond = "oi>999999 OR oi>150";
        context.settings.fractal_main_cond = "oi>999999 OR oi>0";
        context.settings.fractal_near_cond = "oi>999999 OR oi>=0";
        ASSERT_TRUE(CalculateSignificantLevels(*db, context.settings, context));
        ASSERT_TRUE(CalculateSignificantFractals(*db, context.settings, context));
        const char* where = db == &file ? "file" : "copy";
        const ContextTexts texts = TextsOf(context);
        EXPECT_EQ(texts.put_levels, (Texts{"1.1100", "1.1200"})) << where;
        EXPECT_EQ(texts.call_levels, (Texts{"1.2100", "1.2200"})) << where;
        EXPECT_EQ(texts.put_fractals, (Texts{"1.1100"})) << where;
        EXPECT_EQ(texts.call_fractals, (Texts{"1.2100"})) << where;
    }
    // A condition that closes the group early would reach the other rows anyway: it fails.
    TestContext escaping = MakeContext("EUR", 1);
    escaping.settings.level_cond = "0) OR (oi>0";
    escaping.settings.fractal_main_cond = "oi>0";
    escaping.settings.fractal_near_cond = "oi>0) OR (1";
    EXPECT_FALSE(CalculateSignificantLevels(file, escaping.settings, escaping));
    EXPECT_FALSE(CalculateSignificantFractals(file, escaping.settings, escaping));
    EXPECT_TRUE(escaping.put_levels.empty() && escaping.call_levels.empty());
    EXPECT_TRUE(escaping.put_fractals.empty() && escaping.call_fractals.empty());
}

struct StrikeTextCase {
    double strike;
    const char* text;
};

class FractalStrikeTextTest : public ::testing::TestWithParam<StrikeTextCase> {};

TEST_P(FractalStrikeTextTest, PaddedOrCutToEightCharacters) {
    EXPECT_EQ(FractalStrikeText(GetParam().strike), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FractalStrikeTextTest,
    ::testing::Values(StrikeTextCase{1.1, "1.100000"}, StrikeTextCase{0.985, "0.985000"},
                      StrikeTextCase{1.0125, "1.012500"}, StrikeTextCase{1.01234567, "1.012345"},
                      // Whole numbers keep their value.
                      StrikeTextCase{1.0, "1.000000"}, StrikeTextCase{105.0, "105.0000"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

TEST_F(LevelsFractalsTest, AWholeNumberStrikeFindsItsPremium) {
    // JPY strikes become whole numbers when the report's 0.0100 is scaled by 100.
    Insert({
        {.option = "CALL", .strike = "0.99", .price = "0.01", .oi = "100", .symb = "JPY"},
        {.option = "CALL", .strike = "1", .price = "0.02", .oi = "300", .symb = "JPY"},
        {.option = "CALL", .strike = "1.01", .price = "0.01", .oi = "200", .symb = "JPY"},
    });
    TestContext context = MakeContext("JPY", 0);
    context.settings.fractal_main_cond = "oi>0";
    context.settings.fractal_near_cond = "oi>0";
    const storage::Database db = storage::Database::OpenReadOnly(file_);
    ASSERT_TRUE(CalculateSignificantFractals(db, context.settings, context));
    EXPECT_EQ(TextsOf(context).call_fractals, (Texts{"1.0200"}));
}

TEST(AddDistinctTest, SkipsRepeatsAndStopsAt51) {
    std::vector<PanelNumber> list;
    EXPECT_TRUE(AddDistinct(list, PanelNumber::Fixed(0.5, 4)));
    EXPECT_TRUE(AddDistinct(list, PanelNumber::Fixed(0.5, 4)));
    EXPECT_EQ(list.size(), 1u);
    for (int i = 1; i < 51; ++i) {
        EXPECT_TRUE(AddDistinct(list, PanelNumber::Fixed(i, 0)));
    }
    EXPECT_FALSE(AddDistinct(list, PanelNumber::Fixed(99.0, 0)));
    EXPECT_EQ(list.size(), 51u);
}

TEST(AddDistinctTest, NumbersAreDistinctExactlyWhenTheirTextsAre) {
    std::vector<PanelNumber> list;
    // Different values that show the same text are one entry.
    for (const double value : {1.00001, 1.00004, 0.99996}) {
        AddDistinct(list, PanelNumber::Fixed(value, 4));
    }
    // Zeros that show differently are not.
    for (const PanelNumber& zero : {PanelNumber::Fixed(0.0, 0), PanelNumber::Fixed(0.00001, 4),
                                    PanelNumber::Fixed(-0.00001, 4), PanelNumber::Fixed(0.0, 2)}) {
        AddDistinct(list, zero);
    }
    EXPECT_EQ(NumberTexts(list), (Texts{"1.0000", "0", "0.0000", "-0.0000", "0.00"}));
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
