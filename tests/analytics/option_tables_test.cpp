#include "analytics/right_panel/option_tables.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "analytics/right_panel_fixture.h"
#include "common/text.h"

namespace zarvex::analytics {
namespace {

using testing::QuoteDb;
using testing::QuoteRow;

QuoteRow Row(const char* option, double strike, double price, double delta, std::int64_t volume,
             std::int64_t oi, std::int64_t doi, const char* sign) {
    QuoteRow row;
    row.option = option;
    row.strike = strike;
    row.price = price;
    row.delta = delta;
    row.volume = volume;
    row.oi = oi;
    row.doi = doi;
    row.sign = sign;
    return row;
}

const OptionTableRow kTotalOfNothing{"TOTAL", "", "", "0", "0", "", "", "0"};

TEST(OptionTables, RowsShowTheStoredValuesInStrikeOrder) {
    QuoteDb db;
    db.Insert({Row("PUT", 1.1050, 0.0, 1.0, 0, 20, 5, "-1"),
               Row("PUT", 1.1000, 0.012, 0.35, 12, 1500, 30, "1"),
               Row("PUT", 1.0950, 1.0, 0.0, 3, 7, 0, "0"),
               Row("CALL", 1.1000, 0.00015, 0.99999, 1, 3, 1, "1")});
    const common::Result<OptionTable> put_read =
        FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kPut);
    ASSERT_TRUE(put_read) << put_read.Reason();
    const OptionTable& put = *put_read;
    ASSERT_EQ(put.rows.size(), 4u);
    EXPECT_EQ(put.rows[0], (OptionTableRow{"1.09500", "1", "0", "3", "7", "0", "0", "7.0000"}));
    EXPECT_EQ(put.rows[1], (OptionTableRow{"1.10000", "0.01200", "0.35000", "12", "1500", "30", "+",
                                           "18.0000"}));
    // Deep in the money: delta 1 shows as "1"; a zero premium makes the product "0".
    EXPECT_EQ(put.rows[2], (OptionTableRow{"1.10500", "0", "1", "0", "20", "5", "-", "0"}));
    EXPECT_EQ(put.rows[3], (OptionTableRow{"TOTAL", "", "", "15", "1527", "", "", "25"}));

    const common::Result<OptionTable> call_read =
        FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kCall);
    ASSERT_TRUE(call_read) << call_read.Reason();
    const OptionTable& call = *call_read;
    ASSERT_EQ(call.rows.size(), 2u);
    EXPECT_EQ(call.rows[0],
              (OptionTableRow{"1.10000", "0.00015", "0.99999", "1", "3", "1", "+", "0.0004"}));
    EXPECT_EQ(call.rows[1], (OptionTableRow{"TOTAL", "", "", "1", "3", "", "", "0.00045"}));
}

TEST(OptionTables, ADayWithoutPutsShowsOnlyTheTotalOfNothing) {
    QuoteDb db;
    db.Insert({Row("CALL", 1.1000, 0.01, 0.5, 1, 3, 1, "1")});
    const common::Result<OptionTable> put_read =
        FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kPut);
    ASSERT_TRUE(put_read) << put_read.Reason();
    const OptionTable& put = *put_read;
    ASSERT_EQ(put.rows.size(), 1u);
    EXPECT_EQ(put.rows[0], kTotalOfNothing);
}

TEST(OptionTables, TextsWhereNumbersBelongAreShownAsStored) {
    QuoteDb db;
    db.Db().Execute(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES ('1.1', 'x', '0.5', ' 12a', 'lots', '', 'up', "
        "'EUR', 'PUT', ?, '14.12.2012', ?)",
        {std::string_view(testing::kContract), std::string_view(testing::kDay)});
    const common::Result<OptionTable> put_read =
        FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kPut);
    ASSERT_TRUE(put_read) << put_read.Reason();
    const OptionTable& put = *put_read;
    ASSERT_EQ(put.rows.size(), 2u);
    EXPECT_EQ(put.rows[0],
              (OptionTableRow{"1.10000", "0", "0.50000", "12a", "lots", "", "up", "0"}));
    // The sums read a number where the text begins with one, as SQLite reads texts.
    EXPECT_EQ(put.rows[1], (OptionTableRow{"TOTAL", "", "", "12", "0", "", "", "0"}));
}

// SQLite stores an overflowing number as an infinity; the tables read it as 0, as the charts do.
TEST(OptionTables, AnInfiniteNumberReadsAsZero) {
    QuoteDb db;
    db.Db().Execute(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES (1.1, 1e999, -1e999, 1, 3, 0, 1, 'EUR', 'PUT', ?, "
        "'14.12.2012', ?)",
        {std::string_view(testing::kContract), std::string_view(testing::kDay)});
    const common::Result<OptionTable> put_read =
        FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kPut);
    ASSERT_TRUE(put_read) << put_read.Reason();
    const OptionTable& put = *put_read;
    ASSERT_EQ(put.rows.size(), 2u);
    EXPECT_EQ(put.rows[0], (OptionTableRow{"1.10000", "0", "0", "1", "3", "0", "+", "0"}));
    EXPECT_EQ(put.rows[1], (OptionTableRow{"TOTAL", "", "", "1", "3", "", "", "0"}));
}

TEST(OptionTables, AFailingQueryGivesItsReasonAndNoTable) {
    const test::TempFolder folder;
    test::WriteFile(folder / "EUR_data.lql", "this is no database, it only has a name");
    const storage::Database db = storage::Database::Open(folder / "EUR_data.lql");
    const common::Result<OptionTable> table =
        FillOptionTable(db, testing::kDay, testing::kContract, common::Side::kCall);
    EXPECT_FALSE(table);
    EXPECT_FALSE(table.Reason().empty());

    const storage::Database closed;
    EXPECT_FALSE(FillOptionTable(closed, testing::kDay, testing::kContract, common::Side::kPut));
}

// On random days: one row per option row of the side, strikes ascending, and a TOTAL row that
// is the sum of its column.
TEST(OptionTables, TotalsAreTheSumsOnGeneratedDays) {
    for (std::uint64_t seed = 1; seed <= 15; ++seed) {
        const testing::GeneratedDay generated = testing::GenerateDay(seed);
        const QuoteDb db(generated.symbol);
        db.Insert(generated.rows);
        for (const char* option : {"PUT", "CALL"}) {
            std::int64_t volume = 0;
            std::int64_t oi = 0;
            double price_oi = 0.0;
            std::vector<double> strikes;
            for (const QuoteRow& row : generated.rows) {
                if (row.option == option) {
                    volume += row.volume;
                    oi += row.oi;
                    price_oi += row.price * static_cast<double>(row.oi);
                    strikes.push_back(row.strike);
                }
            }
            const common::Result<OptionTable> table_read = FillOptionTable(
                db.Db(), testing::kDay, testing::kContract, *common::SideFromText(option));
            ASSERT_TRUE(table_read) << table_read.Reason();
            const OptionTable& table = *table_read;
            ASSERT_EQ(table.rows.size(), strikes.size() + 1) << seed << option;
            const OptionTableRow& total = table.rows.back();
            EXPECT_EQ(total[0], "TOTAL");
            EXPECT_EQ(total[3], std::to_string(volume));
            EXPECT_EQ(total[4], std::to_string(oi));
            EXPECT_NEAR(common::ToDouble(total[7]), price_oi, 1e-6);
            std::sort(strikes.begin(), strikes.end());
            for (std::size_t i = 0; i < strikes.size(); ++i) {
                EXPECT_EQ(table.rows[i][0], common::FormatFixed(strikes[i], 5));
            }
        }
    }
}

TEST(ForwardPointField, OneDecimalAndHiddenForTheOtherMarkets) {
    EXPECT_EQ(ForwardPointText(10.0), "10.0");
    EXPECT_EQ(ForwardPointText(-12.35), "-12.3");
    EXPECT_EQ(ForwardPointText(-0.0), "0.0");
    EXPECT_TRUE(ShowsForwardPoint("EUR"));
    EXPECT_TRUE(ShowsForwardPoint("JPY"));
    EXPECT_FALSE(ShowsForwardPoint("WTI"));
    EXPECT_FALSE(ShowsForwardPoint("SP5"));
}

}  // namespace
}  // namespace zarvex::analytics
