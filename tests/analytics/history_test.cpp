#include <gtest/gtest.h>

#include <fstream>

#include "analytics/day/max_pain.h"
#include "analytics/history/contract_days.h"
#include "analytics/history/contract_history.h"
#include "analytics/history/history_table.h"
#include "analytics/left_panel/left_panel_cells.h"
#include "common/calendar.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"

namespace zarvex::analytics::left_testing {
namespace {

// The strikes and open interests of the day's rows of one side stored as numbers, read with a
// plain query: what max pain weighs.
std::vector<OptionInterest> NumericInterest(const storage::Database& db, const std::string& date,
                                            const std::string& contract, const char* option) {
    storage::Statement rows = db.Prepare(
        "SELECT strike, oi FROM dating WHERE date = ? AND contract = ? AND option = ? AND "
        "typeof(strike) IN ('integer', 'real') AND typeof(oi) IN ('integer', 'real')");
    rows.BindAll({std::string_view(date), std::string_view(contract), option});
    std::vector<OptionInterest> out;
    while (rows.Step()) {
        out.push_back({rows.ColumnDouble(0), rows.ColumnInt(1)});
    }
    EXPECT_FALSE(rows.Failed());
    return out;
}

// EUR in Standart prices without forward points, for the whole stored range.
HistoryRequest StandartRequest(const std::string& contract) {
    static const settings::Settings kStandart = [] {
        settings::Settings settings;
        settings.price_type = 1;
        return settings;
    }();
    return {AnalysisInput(kStandart, "EUR", contract)};
}

struct HistoryCase {
    const char* symbol;
    std::uint64_t seed;
};

// Trading days of generated reports from before Christmas into January, so that the history
// crosses a month and a year, whose day texts ("02.01.2013" < "24.12.2012") do not sort.
class ContractHistoryTest : public ::testing::TestWithParam<HistoryCase> {
protected:
    ContractHistoryTest() : h(GetParam().symbol, common::MakeDate(2013, 1, 10)) {
        reportgen::GeneratorOptions options;
        options.seed = GetParam().seed;
        const reportgen::ReportGenerator generator(options);
        for (common::Date day = common::MakeDate(2012, 12, 24); days.size() < 6;
             day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            StoreParsedRows(h.QuoteFile(), generated.rows.at(GetParam().symbol));
            std::ofstream(h.home.Folder().ForwardPointFile(day), std::ios::binary)
                << generated.forward_points;
            days.push_back(day);
        }
        {
            const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
            storage::Statement longest = db.Prepare(
                "SELECT contract FROM dating GROUP BY contract ORDER BY COUNT(DISTINCT date) DESC, "
                "COUNT(*) DESC LIMIT 1");
            if (longest.Step()) {
                contract = longest.ColumnText(0);
            }
        }
        // What older extractions left among the rows: a blank line stored as empty texts, and
        // a text where a number belongs.
        const std::string day = common::DayText(days[2]);
        h.Insert({{.option = "PUT",
                   .strike = "",
                   .price = "",
                   .delta = "",
                   .volume = "",
                   .oi = "",
                   .doi = "",
                   .contract = contract,
                   .date = day},
                  {.option = "CALL",
                   .strike = "1.3",
                   .price = "0.01",
                   .delta = "0.5",
                   .volume = "x",
                   .oi = "n/a",
                   .contract = contract,
                   .date = day}});
    }

    common::Result<ContractHistory> Load(int price_type, common::Date from = common::kInvalidDate,
                                         common::Date to = common::kInvalidDate) {
        const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
        settings::Settings settings;
        settings.price_type = static_cast<std::int8_t>(price_type);
        settings.is_fp = 1;
        const HistoryRequest request{AnalysisInput(settings, GetParam().symbol, contract), from,
                                     to};
        return LoadContractHistory(db, h.home.Folder(), request, h.host.AsHost());
    }

    PanelHarness h;
    std::vector<common::Date> days;
    std::string contract;
};

TEST_P(ContractHistoryTest, EveryRowIsWhatThePlainCalculationGivesForThatDay) {
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    const std::vector<common::Date> expected_days = ContractDays(db, contract);
    ASSERT_GE(expected_days.size(), 5u);
    for (int price_type = 0; price_type <= 2; ++price_type) {
        SCOPED_TRACE("price type " + std::to_string(price_type));
        const common::Result<ContractHistory> loaded = Load(price_type);
        ASSERT_TRUE(loaded) << loaded.Reason();
        const ContractHistory& history = *loaded;
        ASSERT_EQ(history.days.size(), expected_days.size());
        for (std::size_t i = 0; i < history.days.size(); ++i) {
            const HistoryDay& row = history.days[i];
            const std::string date = common::DayText(row.day);
            const PanelFigures shown = PanelFigureTexts(row);
            SCOPED_TRACE(date);
            EXPECT_EQ(row.day, expected_days[i]);
            TestContext context = MakeContext(GetParam().symbol, price_type);
            context.date = row.day;
            context.contract = contract;
            context.forward_point = row.forward_point;
            context.settings.level_cond = "oi>0";
            context.settings.fractal_main_cond = "oi>0";
            context.settings.fractal_near_cond = "oi>=0";
            const ContextTexts c = ReferencePanel(h.QuoteFile(), context);
            EXPECT_EQ(shown.expiration, c.expiration);
            EXPECT_EQ(shown.call_level, c.call_level);
            EXPECT_EQ(shown.put_level, c.put_level);
            EXPECT_EQ(shown.market_width, c.market_width);
            EXPECT_EQ(shown.delta_balance, c.delta_balance);
            EXPECT_EQ(shown.upper_limit, c.upper_limit);
            EXPECT_EQ(shown.upper_border, c.upper_border);
            EXPECT_EQ(shown.channel_center, c.channel_center);
            EXPECT_EQ(shown.bottom_border, c.bottom_border);
            EXPECT_EQ(shown.bottom_limit, c.bottom_limit);
            EXPECT_EQ(row.upper_border_strike, c.upper_border_strike);
            EXPECT_EQ(row.bottom_border_strike, c.bottom_border_strike);
            EXPECT_EQ(row.upper_limit_strike, c.upper_limit_strike);
            EXPECT_EQ(row.bottom_limit_strike, c.bottom_limit_strike);
            EXPECT_EQ(shown.ratio_oi, c.ratio_oi);
            EXPECT_EQ(shown.ratio_volume, c.ratio_volume);
            EXPECT_EQ(shown.ratio_avg_price, c.ratio_avg_price);
            const MaxPain pain = MaxPainOf(
                NumericInterest(db, date, contract, "CALL"),
                NumericInterest(db, date, contract, "PUT"), GetParam().symbol, row.forward_point,
                common::PriceTypeFromCode(static_cast<std::int8_t>(price_type)));
            EXPECT_EQ(row.max_pain, pain.price);
            EXPECT_TRUE(row.max_pain.IsNumber());

            storage::Statement sums = db.Prepare(
                "SELECT SUM(oi), SUM(volume) FROM dating WHERE date = ? AND contract = ? AND "
                "option = ?");
            sums.BindAll({std::string_view(date), std::string_view(contract), "CALL"});
            ASSERT_TRUE(sums.Step());
            EXPECT_EQ(row.call_oi, sums.ColumnInt(0));
            EXPECT_EQ(row.call_volume, sums.ColumnInt(1));
        }
    }
}

TEST_P(ContractHistoryTest, TheRangeKeepsItsDaysInCalendarOrder) {
    const common::Result<ContractHistory> all_read = Load(1);
    ASSERT_TRUE(all_read) << all_read.Reason();
    const ContractHistory& all = *all_read;
    ASSERT_GE(all.days.size(), 5u);
    for (std::size_t i = 1; i < all.days.size(); ++i) {
        EXPECT_LT(all.days[i - 1].day, all.days[i].day);
    }
    const common::Date from = all.days[1].day;
    const common::Date to = all.days[all.days.size() - 2].day;
    const common::Result<ContractHistory> part_read = Load(1, from, to);
    ASSERT_TRUE(part_read) << part_read.Reason();
    const ContractHistory& part = *part_read;
    ASSERT_EQ(part.days.size(), all.days.size() - 2);
    EXPECT_EQ(part.days.front().day, all.days[1].day);
    EXPECT_EQ(part.days.back().call_level, all.days[all.days.size() - 2].call_level);

    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    EXPECT_EQ(PreviousTradingDay(db, contract, all.days[2].day), all.days[1].day);
    EXPECT_EQ(PreviousTradingDay(db, contract, all.days[0].day), common::kInvalidDate);
    // A day that is not stored still has a previous one.
    EXPECT_EQ(PreviousTradingDay(db, contract, all.days.back().day + common::kSecondsPerDay),
              all.days.back().day);
}

INSTANTIATE_TEST_SUITE_P(Symbols, ContractHistoryTest,
                         ::testing::Values(HistoryCase{"EUR", 3}, HistoryCase{"GBP", 5},
                                           HistoryCase{"AUD", 8}, HistoryCase{"CAD", 23},
                                           HistoryCase{"JPY", 11}, HistoryCase{"CHF", 13}),
                         [](const ::testing::TestParamInfo<HistoryCase>& param) {
                             return std::string(param.param.symbol);
                         });

// A day with one CALL row gives the panel four slots: a busy strike that first appears after
// four others counts on the day with room for it and not on the small day.
TEST(ContractHistoryLevels, EachDayHasTheRoomItsOwnRowsGiveIt) {
    PanelHarness h;
    std::vector<Row> rows;
    for (const char* strike : {"1.1", "1.2", "1.3", "1.4", "1.5"}) {
        rows.push_back(
            {.option = "CALL", .strike = strike, .volume = "10", .oi = "5", .date = "06.12.2012"});
    }
    rows.push_back(
        {.option = "CALL", .strike = "1.6", .volume = "900", .oi = "5", .date = "06.12.2012"});
    rows.push_back({.option = "CALL", .strike = "1.3", .volume = "1", .oi = "5"});
    rows.push_back({.option = "PUT", .strike = "1.0", .volume = "1", .oi = "5"});
    h.Insert(rows);
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    const common::Result<ContractHistory> history =
        LoadContractHistory(db, h.home.Folder(), StandartRequest(kContract), h.host.AsHost());
    ASSERT_TRUE(history) << history.Reason();
    ASSERT_EQ(history->days.size(), 2u);
    EXPECT_EQ(history->days[0].call_level.Text(), "1.6000");
    EXPECT_EQ(history->days[1].call_level.Text(), "1.3000");
}

TEST(HistoryCsv, QuotesWhatWouldBreakAFieldAndWritesNumbersWithAPoint) {
    ContractHistory history;
    HistoryDay day;
    day.day = common::MakeDate(2012, 12, 7);
    day.forward_point = -12.35;
    day.expiration = "a,\"b\"";
    day.call_level = PanelNumber::Blank();
    day.max_pain_strike = 1.1;
    day.call_oi = 150;
    history.days.push_back(day);
    const std::string csv = HistoryCsv(history);
    EXPECT_EQ(csv.substr(csv.find("\r\n") + 2, 40),
              "07.12.2012,-12.35,\"a,\"\"b\"\"\", ,,,,,,,,,0,");
    // No implied volatility: its four columns stay empty, and so do the levels of the evening.
    EXPECT_EQ(csv.substr(csv.size() - 26), ",,,,,1.1,150,0,0,0,,,,,,\r\n");
}

TEST(ContractHistoryInput, AContractWithoutRowsHasNoDaysAndADatabaseWithoutQuotesFails) {
    PanelHarness h;
    h.Insert({{.option = "CALL", .strike = "1.1", .oi = "5"}});
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    const common::Result<ContractHistory> none =
        LoadContractHistory(db, h.home.Folder(), StandartRequest("NOSUCH"), h.host.AsHost());
    ASSERT_TRUE(none) << none.Reason();
    EXPECT_TRUE(none->days.empty());

    // The download flags' file also has a table "dating", without the quote columns.
    const auto flags = storage::DownloadPath(h.home.Folder());
    storage::OpenStore(flags, storage::StoreKind::kDownload);
    const storage::Database wrong = storage::Database::OpenReadOnly(flags);
    const common::Result<ContractHistory> no_quotes =
        LoadContractHistory(wrong, h.home.Folder(), StandartRequest(kContract), h.host.AsHost());
    EXPECT_FALSE(no_quotes);
    EXPECT_FALSE(no_quotes.Reason().empty());
    EXPECT_FALSE(LoadContractHistory(storage::Database(), h.home.Folder(),
                                     StandartRequest(kContract), h.host.AsHost()));
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
