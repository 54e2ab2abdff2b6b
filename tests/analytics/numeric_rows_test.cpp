#include "analytics/scorecard/numeric_rows.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "left_panel_fixture.h"
#include "support/temp_folder.h"

namespace zarvex::analytics {
namespace {

class NumericRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = folder_ / "EUR_data.lql";
        left_testing::CreateQuoteDatabase(file_);
        db_ = storage::Database::Open(file_);
        ASSERT_TRUE(db_.Execute("DELETE FROM dating"));
    }

    // One row with its five numbers as SQL literals.
    void Insert(const std::string& values, const std::string& option = "'CALL'",
                const std::string& contract = "'MAR26-EU'",
                const std::string& date = "'01.12.2025'",
                const std::string& expiration = "'20.03.2026'") {
        ASSERT_TRUE(db_.Execute(
            "INSERT INTO dating (strike, price, delta, volume, oi, option, contract, date, "
            "expiration) VALUES (" +
            values + ", " + option + ", " + contract + ", " + date + ", " + expiration + ")"));
    }

    test::TempFolder folder_;
    std::filesystem::path file_;
    storage::Database db_;
};

void ExpectSame(const StoredValue& numeric, const StoredValue& stored, const char* column) {
    EXPECT_EQ(numeric.kind, stored.kind) << column;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(numeric.as_double),
              std::bit_cast<std::uint64_t>(stored.as_double))
        << column;
    EXPECT_EQ(numeric.as_int, stored.as_int) << column;
    EXPECT_EQ(numeric.text, stored.text) << column;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(numeric.raw), std::bit_cast<std::uint64_t>(stored.raw))
        << column;
    EXPECT_EQ(numeric.finite, stored.finite) << column;
}

// Stored values an extraction writes and the ones older files, hand edits and blank lines
// leave: each row unfolds into exactly what the panel's own reading of it gives.
class UnfoldedLikeTheStoredRow : public NumericRowsTest,
                                 public ::testing::WithParamInterface<const char*> {};

TEST_P(UnfoldedLikeTheStoredRow, ValueByValue) {
    Insert(GetParam(), "'PUT'");
    std::vector<StoredOption> stored;
    ASSERT_TRUE(ReadDayRows(db_, "01.12.2025", "MAR26-EU", stored));
    const auto contracts = ReadNumericContracts(db_);
    ASSERT_TRUE(contracts);
    ASSERT_EQ(contracts->size(), 1U);
    ASSERT_EQ(stored.size(), 1U);
    const StoredOption numeric = contracts->front().Unfold(0);
    EXPECT_EQ(numeric.side, stored[0].side);
    ExpectSame(numeric.strike, stored[0].strike, "strike");
    ExpectSame(numeric.price, stored[0].price, "price");
    ExpectSame(numeric.delta, stored[0].delta, "delta");
    ExpectSame(numeric.volume, stored[0].volume, "volume");
    ExpectSame(numeric.oi, stored[0].oi, "oi");
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, UnfoldedLikeTheStoredRow,
    ::testing::Values("1.25, 0.0125, 0.48, 10, 500",            // as extracted
                      "'1.25', '0.0125', '0.48', '10', '500'",  // texts the columns convert
                      "-0.0, 0, -1e-300, -7, 0",                // signed zero, tiny, negative
                      "NULL, 0.01, 0.5, 10, 100",               // no strike
                      "1.3, '', 0.5, '', 100",                  // a blank line's texts
                      "1.3, 0.01, '0.5x', 'ten', '1e3 lots'",   // texts that are no numbers
                      "1.3, 0.01, 0.5, 1.5, 2.75",              // reals where integers go
                      "1e19, -9.5e18, 8.9e18, 1e20, -1e20",     // beyond an integer's range
                      "9e999, -9e999, 0.5, 10, 100",            // infinities
                      "1.3, 0.01, 0.5, 9223372036854775807, -9223372036854775808",
                      "x'01', 0.01, 0.5, 10, 100"));  // a blob

TEST_F(NumericRowsTest, GroupsByContractAndDayInRowOrderAndKeepsThePanelsExpiration) {
    const std::string plain = "1.3, 0.01, 0.5, 10, 100";
    Insert(plain, "'CALL'", "'MAR26-EU'", "'02.12.2025'", "'19.03.2026'");
    Insert(plain, "'PUT'", "'JUN26-EU'", "'01.12.2025'", "'19.06.2026'");
    Insert(plain, "'PUT'", "'MAR26-EU'", "'01.12.2025'", "'20.03.2026'");
    Insert(plain, "'CALL'", "'MAR26-EU'", "'02.12.2025'", "'21.03.2026'");
    // Texts that name no day: kept out of the days, though they set the expiration.
    Insert(plain, "'CALL'", "'MAR26-EU'", "'2025-12-03'", "'22.03.2026'");
    Insert(plain, "'CALL'", "'MAR26-EU'", "' 03.12.2025'", "'22.03.2026'");
    // Neither a CALL nor a PUT, or no contract: never read.
    Insert(plain, "'FUT'", "'MAR26-EU'", "'01.12.2025'", "'23.03.2026'");
    Insert(plain, "'PUT'", "NULL", "'01.12.2025'", "'24.03.2026'");
    const auto contracts = ReadNumericContracts(db_);
    ASSERT_TRUE(contracts);
    ASSERT_EQ(contracts->size(), 2U);
    EXPECT_EQ((*contracts)[0].contract, "JUN26-EU");
    const NumericContract& march = (*contracts)[1];
    EXPECT_EQ(march.contract, "MAR26-EU");
    // The last PUT row's expiration wins over later CALL rows'.
    EXPECT_EQ(march.expiration, "20.03.2026");
    ASSERT_EQ(march.rows.size(), 3U);
    ASSERT_EQ(march.days.size(), 2U);
    EXPECT_EQ(march.days[0].first, common::MakeDate(2025, 12, 1));
    EXPECT_EQ(march.days[0].second, (std::vector<std::size_t>{1}));
    EXPECT_EQ(march.days[1].first, common::MakeDate(2025, 12, 2));
    EXPECT_EQ(march.days[1].second, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(march.rows[1].side, common::Side::kPut);
    std::vector<StoredOption> day;
    march.UnfoldDay(1, day);
    ASSERT_EQ(day.size(), 2U);
    EXPECT_EQ(day[0].side, common::Side::kCall);
    EXPECT_EQ(day[1].side, common::Side::kCall);
}

// A file whose option column compares without regard to case: the panel's queries take 'call'
// for a CALL there, and so do the numbers.
TEST(NumericRowsOfAnotherCollation, TakeTheSidesAsTheDatabaseComparesThem) {
    const test::TempFolder folder;
    const auto file = folder / "EUR_data.lql";
    test::WriteFile(file, "");
    const storage::Database db = storage::Database::Open(file);
    ASSERT_TRUE(db.Execute(
        "CREATE TABLE dating (id INTEGER PRIMARY KEY, strike DOUBLE, price DOUBLE, delta DOUBLE, "
        "volume INTEGER, oi INTEGER, doi INTEGER, option TEXT COLLATE NOCASE, contract TEXT, "
        "expiration TEXT, date TEXT)"));
    for (const char* option : {"'call'", "'Put'", "'CALL'", "'FUT'", "'put '"}) {
        ASSERT_TRUE(db.Execute(std::string("INSERT INTO dating (strike, price, delta, volume, oi, "
                                           "option, contract, expiration, date) VALUES (1.3, "
                                           "0.01, 0.5, 10, 100, ") +
                               option + ", 'MAR26-EU', '20.03.2026', '01.12.2025')"));
    }
    std::vector<StoredOption> stored;
    ASSERT_TRUE(ReadDayRows(db, "01.12.2025", "MAR26-EU", stored));
    const auto contracts = ReadNumericContracts(db);
    ASSERT_TRUE(contracts);
    ASSERT_EQ(contracts->size(), 1U);
    const NumericContract& march = contracts->front();
    ASSERT_EQ(stored.size(), 3U);
    ASSERT_EQ(march.rows.size(), stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(march.Unfold(i).side, stored[i].side) << i;
    }
}

}  // namespace
}  // namespace zarvex::analytics
