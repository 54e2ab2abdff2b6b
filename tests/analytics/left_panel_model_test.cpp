#include "analytics/left_panel/left_panel_model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "analytics/left_panel/day_slice.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "storage/database.h"
#include "support/temp_folder.h"

namespace zarvex::analytics::left_testing {
namespace {

using Texts = std::vector<std::string>;

int Count(const std::vector<std::string>& texts, std::string_view part) {
    return static_cast<int>(std::count_if(texts.begin(), texts.end(), [&](const std::string& t) {
        return common::Contains(t, part);
    }));
}

// A small day: two contracts on 07.12.2012, one on 05.12.2012.
std::vector<Row> SmallDays() {
    return {
        {.option = "CALL",
         .strike = "1.10",
         .delta = "0.6",
         .volume = "5",
         .oi = "300",
         .contract = "GEZ6"},
        {.option = "CALL",
         .strike = "1.12",
         .delta = "0.5",
         .volume = "9",
         .oi = "900",
         .contract = "EUZ6"},
        {.option = "CALL",
         .strike = "1.13",
         .delta = "0.4",
         .volume = "1",
         .oi = "100",
         .contract = "EUZ6"},
        {.option = "CALL",
         .strike = "1.14",
         .delta = "0.3",
         .volume = "1",
         .oi = "400",
         .contract = "EUZ6"},
        {.option = "PUT",
         .strike = "1.08",
         .delta = "0.3",
         .volume = "4",
         .oi = "700",
         .contract = "EUZ6"},
        {.option = "PUT",
         .strike = "1.10",
         .delta = "0.45",
         .volume = "2",
         .oi = "50",
         .contract = "EUZ6"},
        {.option = "CALL",
         .strike = "1.20",
         .volume = "5",
         .oi = "10",
         .contract = "EUH7",
         .date = "05.12.2012"},
        {.option = "PUT",
         .strike = "1.00",
         .volume = "5",
         .oi = "10",
         .contract = "EUH7",
         .date = "05.12.2012"},
    };
}

TEST(LeftPanelModelTest, BuildShowsTheLatestDayAndTheFirstContractNamedEu) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build();
    EXPECT_EQ(panel.Date(), "07.12.2012");
    EXPECT_EQ(panel.DateValue(), common::MakeDate(2012, 12, 7));
    EXPECT_EQ(panel.Symbol(), "EUR");
    EXPECT_EQ(panel.Contracts(), (Texts{"GEZ6", "EUZ6"}));
    EXPECT_EQ(panel.Contract(), "EUZ6");
    EXPECT_EQ(panel.SelectedContract(), 1);
    EXPECT_EQ(h.view.shown_contracts, (Texts{"GEZ6", "EUZ6"}));
    EXPECT_EQ(h.view.shown_selected, 1);
    EXPECT_EQ(h.view.dates, (std::vector<common::Date>{common::MakeDate(2012, 12, 7)}));

    const LeftPanelCells& cells = panel.Cells();
    EXPECT_EQ(cells.call_level, "1.1200");
    EXPECT_EQ(cells.put_level, "1.0800");
    EXPECT_EQ(cells.upper_border, "1.1200");
    EXPECT_EQ(cells.bottom_border, "1.0800");
    EXPECT_EQ(cells.channel_center, "1.1000");
    EXPECT_EQ(cells.market_width, "400");
    EXPECT_EQ(cells.delta_balance, "1.1000");
    EXPECT_EQ(cells.upper_limit, "1.1400");
    EXPECT_EQ(cells.bottom_limit, "1.0800");
    EXPECT_EQ(cells.ratio_oi, "0.5357");  // 750 / 1400
    EXPECT_EQ(cells.level_call[0], "1.1200");
    EXPECT_EQ(cells.level_call[2], "1.1400");
    EXPECT_EQ(cells.level_call[3], "");
    EXPECT_EQ(cells.level_put[1], "1.1000");
    EXPECT_EQ(h.view.last_cells.level_put[1], "1.1000");
    EXPECT_EQ(Count(h.host.StatusTexts(), "Calculates of the significant fractals"), 1);
    // The panel lock is released at the end.
    ASSERT_FALSE(h.view.enabled_calls.empty());
    EXPECT_TRUE(h.view.enabled_calls.back());
    EXPECT_EQ(std::count(h.view.enabled_calls.begin(), h.view.enabled_calls.end(), false),
              std::count(h.view.enabled_calls.begin(), h.view.enabled_calls.end(), true));
}

TEST(LeftPanelModelTest, StatusTextsOfTheBuildInTheirOrder) {
    PanelHarness h;
    h.Insert(SmallDays());
    h.Build();
    const Texts expected{
        "The contracts list is fill. The left panel is temporarily locked. ",
        "Filling of the contracts list is completed. The program is prepared to use.",
        "Calculates of the basic indicators. The left panel is temporarily locked. ",
        "The calculation of the basic indicators is over. The program is prepared to use.",
        "Calculates of the market borders. The left panel is temporarily locked. ",
        "The calculation of the market borders is over. The program is prepared to use.",
        "There is a calculation of the PUT / CALL ratios. The left panel is temporarily locked. ",
        "The calculation of the ratio PUT/CALL is over. The program is prepared to use.",
        "Calculates of the significant levels. The left panel is temporarily locked. ",
        "The calculation of the significant levels is over. The program is prepared to use.",
        "Calculates of the significant fractals. The left panel is temporarily locked. ",
        "The calculation of the significant fractals is over. The program is prepared to use.",
        "The table of the left panel is fill. The left panel is temporarily locked. ",
        "Filling the tables in the left panel is complete. The program is prepared to use.",
    };
    EXPECT_EQ(h.host.StatusTexts(), expected);
    EXPECT_GT(h.host.PumpCount(), 10);
}

TEST(LeftPanelModelTest, WithoutAContractNamedEuTheFirstIsSelected) {
    PanelHarness h;
    h.Insert({{.contract = "GEZ6"}, {.contract = "JPZ6"}, {.contract = "GEZ6"}});
    EXPECT_EQ(h.Build().Contract(), "GEZ6");
    EXPECT_EQ(h.Panel().Contracts(), (Texts{"GEZ6", "JPZ6"}));
}

TEST(LeftPanelModelTest, TheContractsListHoldsAtMost51) {
    PanelHarness h;
    std::vector<Row> rows;
    for (int i = 0; i < 60; ++i) {
        rows.push_back({.contract = "C" + std::to_string(i)});
    }
    h.Insert(rows);
    const LeftPanelModel& panel = h.Build();
    ASSERT_EQ(panel.Contracts().size(), 51u);
    EXPECT_EQ(panel.Contracts().back(), "C50");
    EXPECT_EQ(panel.Contract(), "C0");
}

TEST(LeftPanelModelTest, TheSearchForTheLatestDayWorksPast2038) {
    PanelHarness h("EUR", common::MakeDate(2040, 3, 5, 14, 30));
    h.Insert({{.date = "01.03.2040"}, {.date = "02.02.2038"}});
    EXPECT_EQ(h.Build().Date(), "01.03.2040");
    EXPECT_EQ(h.Panel().DateValue(), common::MakeDate(2040, 3, 1));
    h.Panel().DateChanged(common::MakeDate(2038, 2, 2));
    EXPECT_EQ(h.Panel().Date(), "02.02.2038");
}

TEST(LeftPanelModelTest, DaysAfterTodayAreNotFound) {
    PanelHarness h("EUR", common::MakeDate(2012, 12, 6));
    h.Insert(SmallDays());
    EXPECT_EQ(h.Build().Date(), "05.12.2012");
    EXPECT_EQ(h.Panel().Contract(), "EUH7");
}

TEST(LeftPanelModelTest, ADateWithoutRowsShowsTheMessageAndKeepsTheShownDay) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build();
    panel.DateChanged(common::MakeDate(2012, 12, 5));
    EXPECT_EQ(panel.Date(), "05.12.2012");
    EXPECT_EQ(panel.Contract(), "EUH7");
    EXPECT_TRUE(h.host.Messages().empty());
    EXPECT_EQ(h.notifier.histograms, (std::vector<int>{0}));

    panel.DateChanged(common::MakeDate(2012, 12, 6));
    EXPECT_EQ(h.host.Messages(),
              (Texts{"Message: For the selected date there is no data.\rPlease try again...\r"}));
    // The day shown stays, with its contract and numbers, and the picker shows it again.
    EXPECT_EQ(panel.Date(), "05.12.2012");
    EXPECT_EQ(h.view.dates.back(), common::MakeDate(2012, 12, 5));
    EXPECT_EQ(panel.Contract(), "EUH7");
    EXPECT_EQ(h.notifier.histograms, (std::vector<int>{0, 0}));
    EXPECT_EQ(panel.DaysWithData(), (std::vector<common::Date>{common::MakeDate(2012, 12, 5),
                                                               common::MakeDate(2012, 12, 7)}));
}

// A query that fails says nothing of the day asked for: the panel names the file and the
// fault, as the command line does, and keeps the shown day.
TEST(LeftPanelModelTest, AFailedQueryIsNamedAndNotTakenForADayWithoutData) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build();
    ASSERT_EQ(panel.Date(), "07.12.2012");
    ASSERT_TRUE(
        storage::Database::Open(h.QuoteFile()).Execute("ALTER TABLE dating RENAME TO gone"));

    panel.DateChanged(common::MakeDate(2012, 12, 5));
    EXPECT_TRUE(h.host.Messages().empty()) << h.host.Messages().front();
    EXPECT_EQ(panel.Date(), "07.12.2012");
    const std::string line = panel.DatabaseFaultLine();
    EXPECT_TRUE(line.starts_with(h.QuoteFile().string() + " could not be read: ")) << line;
    EXPECT_NE(line.find("dating"), std::string::npos) << line;
    ASSERT_FALSE(h.host.StatusTexts().empty());
    EXPECT_EQ(h.host.StatusTexts().back(), line);
}

TEST(LeftPanelModelTest, ADateChangeKeepsTheContractWhenTheNewDayHasIt) {
    PanelHarness h;
    std::vector<Row> rows = SmallDays();
    rows.push_back({.contract = "GEZ6", .date = "05.12.2012"});
    h.Insert(rows);
    LeftPanelModel& panel = h.Build();
    panel.ContractChanged("GEZ6");
    EXPECT_EQ(panel.Contract(), "GEZ6");
    EXPECT_EQ(panel.Cells().call_level, "1.1000");
    panel.DateChanged(common::MakeDate(2012, 12, 5));
    EXPECT_EQ(panel.Contract(), "GEZ6");
    EXPECT_EQ(panel.Contracts(), (Texts{"EUH7", "GEZ6"}));
    EXPECT_EQ(h.view.shown_selected, 1);
    // The same day again changes nothing.
    const int writes = h.view.cell_writes;
    panel.DateChanged(common::MakeDate(2012, 12, 5));
    EXPECT_EQ(h.view.cell_writes, writes);
}

TEST(LeftPanelModelTest, AContractChangeRecalculatesAndTellsTheRightPanel) {
    PanelHarness h("JPY");
    std::vector<Row> rows = SmallDays();
    h.Insert(rows);
    LeftPanelModel& panel = h.Build();
    const std::size_t statuses = h.host.StatusTexts().size();
    panel.ContractChanged("EUZ6");  // already selected
    EXPECT_EQ(h.host.StatusTexts().size(), statuses);
    EXPECT_TRUE(h.notifier.histograms.empty());
    panel.ContractChanged("GEZ6");
    EXPECT_EQ(panel.Cells().call_level, "1.1000");
    EXPECT_EQ(panel.Cells().put_level, " ");
    EXPECT_EQ(panel.Cells().bottom_border, "");
    EXPECT_EQ(panel.Cells().market_width, "");
    EXPECT_EQ(panel.Cells().level_put[0], "");
    EXPECT_EQ(h.notifier.histograms, (std::vector<int>{4}));
}

TEST(LeftPanelModelTest, AContractWithoutOptionRowsShowsNoExpiration) {
    PanelHarness h;
    std::vector<Row> rows = SmallDays();
    // What older extractions stored from a note line that names the symbol.
    rows.push_back({.option = "INGS", .contract = "CA1APR14", .expiration = "04.04.2014"});
    h.Insert(rows);
    LeftPanelModel& panel = h.Build();
    EXPECT_EQ(panel.Cells().expiration, "14.12.2012");
    panel.ContractChanged("CA1APR14");
    EXPECT_EQ(panel.Contract(), "CA1APR14");
    EXPECT_EQ(panel.Cells().expiration, "");
}

TEST(LeftPanelModelTest, SettersRecalculateOnlyOnARealChange) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build(1, "oi>0");
    const std::size_t statuses = h.host.StatusTexts().size();

    h.SetLevelCondition("  oi>0 ");
    h.SetFractalConditions("oi>0", "oi>=0");
    h.SetPriceType(1);
    h.SetForwardPointSwitch(0);
    EXPECT_EQ(h.host.StatusTexts().size(), statuses);

    h.SetLevelCondition("oi>500");
    EXPECT_EQ(panel.Settings().level_cond, "oi>500");
    EXPECT_EQ(NumberTexts(panel.Context().call_levels), (Texts{"1.1200"}));
    EXPECT_EQ(panel.Cells().level_call[0], "1.1200");
    EXPECT_EQ(panel.Cells().level_call[1], "");
    EXPECT_EQ(Count(h.host.StatusTexts(), "Calculates of the significant levels"), 2);
    EXPECT_EQ(Count(h.host.StatusTexts(), "basic indicators"), 2);  // only the build's

    h.SetPriceType(0);
    EXPECT_EQ(Count(h.host.StatusTexts(), "Calculates of the basic indicators"), 2);
    EXPECT_EQ(panel.Cells().call_level, "1.1300");  // 1.12 + 0.01
}

// The panel refers to the instrument's settings: a calculation made after they changed, before
// the panel was told, already uses the new ones.
TEST(LeftPanelModelTest, ACalculationUsesTheSettingsAsTheyAreNow) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build(1, "oi>0");
    EXPECT_EQ(panel.Cells().call_level, "1.1200");
    h.settings.price_type = 0;
    h.settings.level_cond = "oi>500";
    panel.ContractChanged("GEZ6");
    panel.ContractChanged("EUZ6");
    EXPECT_EQ(panel.Cells().call_level, "1.1300");  // 1.12 + 0.01
    EXPECT_EQ(panel.Cells().level_call[1], "");
    // Told afterwards, the panel calculates again what changed, with the same results.
    h.Panel().SettingsChanged();
    EXPECT_EQ(panel.Cells().call_level, "1.1300");
    EXPECT_EQ(panel.Cells().level_call[1], "");
}

TEST(LeftPanelModelTest, FractalsFollowTheShownDayAndContract) {
    PanelHarness h;
    std::vector<Row> rows = SmallDays();
    for (const auto& [strike, oi] : std::vector<std::pair<std::string, std::string>>{
             {"1.20", "100"}, {"1.21", "500"}, {"1.22", "200"}, {"1.23", "600"}, {"1.24", "100"}}) {
        rows.push_back({.option = "CALL", .strike = strike, .oi = oi, .contract = "EUF7"});
        // The day before holds the contract with one peak only.
        rows.push_back({.option = "CALL",
                        .strike = strike,
                        .oi = strike == "1.22" ? "700" : "100",
                        .contract = "EUF7",
                        .date = "06.12.2012"});
    }
    h.Insert(rows);
    LeftPanelModel& panel = h.Build(1, "oi>0", "oi>=500", "oi>10");
    EXPECT_TRUE(panel.Context().call_fractals.empty());  // EUZ6 has no peak
    panel.ContractChanged("EUF7");
    EXPECT_EQ(NumberTexts(panel.Context().call_fractals), (Texts{"1.2100", "1.2300"}));
    EXPECT_EQ(panel.Cells().fractal_call[1], "1.2300");
    // Same conditions after trimming: nothing is calculated.
    const int before = Count(h.host.StatusTexts(), "Calculates of the significant fractals");
    h.SetFractalConditions(" oi>=500", "oi>10  ");
    EXPECT_EQ(Count(h.host.StatusTexts(), "Calculates of the significant fractals"), before);
    h.SetFractalConditions("oi>550", "oi>10");
    EXPECT_EQ(NumberTexts(panel.Context().call_fractals), (Texts{"1.2300"}));
    EXPECT_EQ(panel.Cells().fractal_call[1], "");

    // Another day and another contract never keep the fractals shown before.
    panel.DateChanged(common::MakeDate(2012, 12, 6));
    EXPECT_EQ(panel.Contract(), "EUF7");
    EXPECT_EQ(NumberTexts(panel.Context().call_fractals), (Texts{"1.2200"}));
    EXPECT_EQ(panel.Cells().fractal_call[0], "1.2200");
    panel.DateChanged(common::MakeDate(2012, 12, 7));
    panel.ContractChanged("EUZ6");
    EXPECT_TRUE(panel.Context().call_fractals.empty());
    EXPECT_EQ(panel.Cells().fractal_call[0], "");
}

TEST(LeftPanelModelTest, ABadConditionFromASetterLeavesTheOtherFieldsAlone) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build();
    const LeftPanelCells before = panel.Cells();
    h.SetLevelCondition("oi >> 'x");
    EXPECT_TRUE(panel.Context().call_levels.empty());
    EXPECT_EQ(panel.Cells().level_call[0], "");
    EXPECT_EQ(panel.Cells().call_level, before.call_level);
    EXPECT_EQ(panel.Cells().upper_border, before.upper_border);
    h.SetFractalConditions("(", ")");
    EXPECT_TRUE(panel.Context().put_fractals.empty());
    // Back to a good condition: the levels return.
    h.SetLevelCondition("oi>0");
    EXPECT_EQ(panel.Cells().level_call[0], "1.1200");
    EXPECT_TRUE(h.view.enabled_calls.back());
}

// A stored condition may hold what the settings dialog would refuse. One that would leave its
// group (a parameter token swallowing a quote) or read beyond the row (a subquery) gives no
// levels or fractals, and the status bar names it.
TEST(LeftPanelModelTest, ARefusedConditionGivesNoEntriesAndIsNamed) {
    PanelHarness h;
    h.Insert(SmallDays());
    for (const std::string condition :
         {"oi>$a(') ) OR (1=1 OR oi>$b(')",
          "oi >= (SELECT MAX(oi) FROM dating WHERE contract = 'EUZ6') - 4200"}) {
        LeftPanelModel& panel = h.Build(1, condition);
        EXPECT_TRUE(panel.Context().call_levels.empty()) << condition;
        EXPECT_TRUE(panel.Context().put_levels.empty()) << condition;
        EXPECT_EQ(Count(h.host.StatusTexts(), "Level_Cond \"" + condition + "\""), 1) << condition;
        h.SetFractalConditions(condition, "oi>=0");
        EXPECT_TRUE(panel.Context().call_fractals.empty()) << condition;
        EXPECT_EQ(Count(h.host.StatusTexts(), "Fractal_Main_Cond \"" + condition + "\""), 1)
            << condition;
    }
    EXPECT_TRUE(ConditionLooksBeyondTheRow("EXISTS (select 1)"));
    EXPECT_TRUE(ConditionLooksBeyondTheRow("oi IN pragma_table_info('x')"));
    EXPECT_FALSE(ConditionLooksBeyondTheRow("oi>1000 AND sign>=0"));
}

TEST(LeftPanelModelTest, RowsWrittenByAnotherConnectionAreSeenAtTheNextCalculation) {
    PanelHarness h;
    h.Insert(SmallDays());
    LeftPanelModel& panel = h.Build(1, "oi>0");
    EXPECT_EQ(panel.Context().call_levels.size(), 3u);
    h.Insert({{.option = "CALL", .strike = "1.16", .oi = "5000", .contract = "EUZ6"}});
    h.SetLevelCondition("oi>1");
    EXPECT_EQ(panel.Context().call_levels.size(), 4u);
    h.SetPriceType(0);
    EXPECT_EQ(panel.Cells().upper_border, "1.1700");
}

struct BadFile {
    const char* name;
    void (*make)(const std::filesystem::path&);
};

class BadDatabaseTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadDatabaseTest, ThePanelStaysEmptyAndNothingIsCalculated) {
    PanelHarness h;
    std::filesystem::remove(h.QuoteFile());
    GetParam().make(h.QuoteFile());
    LeftPanelModel& panel = h.Build();
    EXPECT_FALSE(panel.HasDay());
    EXPECT_EQ(panel.Date(), "");
    EXPECT_TRUE(panel.Contracts().empty());
    EXPECT_EQ(panel.Contract(), "");
    EXPECT_EQ(Count(h.host.StatusTexts(), "Calculates"), 0);
    EXPECT_EQ(panel.Cells().call_level, "");
    // The user's actions do not wake it up.
    h.SetLevelCondition("oi>1");
    h.SetPriceType(2);
    panel.ContractChanged("EUZ6");
    panel.DateChanged(common::MakeDate(2012, 12, 7));
    EXPECT_EQ(Count(h.host.StatusTexts(), "Calculates"), 0);
    EXPECT_EQ(panel.Cells().call_level, "");
    EXPECT_TRUE(h.view.enabled_calls.empty() || h.view.enabled_calls.back());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadDatabaseTest,
    ::testing::Values(
        BadFile{"Missing", [](const std::filesystem::path&) {}},
        BadFile{"Empty", [](const std::filesystem::path& p) { test::WriteFile(p, ""); }},
        BadFile{"NotADatabase",
                [](const std::filesystem::path& p) {
                    test::WriteFile(p, std::string(5000, 'x') + "no database here");
                }},
        BadFile{"NoTable",
                [](const std::filesystem::path& p) {
                    CreateQuoteDatabase(p);
                    storage::Database::Open(p).Execute("DROP TABLE dating");
                }},
        BadFile{"NoRows", [](const std::filesystem::path& p) { CreateQuoteDatabase(p); }}),
    [](const ::testing::TestParamInfo<BadFile>& param) { return param.param.name; });

TEST(LeftPanelModelTest, TextsWhereNumbersBelongShowWhatCanBeShown) {
    PanelHarness h;
    h.Insert({
        {.option = "CALL",
         .strike = "x1",
         .price = "abc",
         .delta = "d",
         .volume = "v",
         .oi = "o",
         .contract = "EUZ6"},
        {.option = "CALL",
         .strike = "1.12",
         .price = "0.01",
         .delta = "0.5",
         .volume = "3",
         .oi = "70",
         .contract = "EUZ6"},
        {.option = "PUT",
         .strike = "1.1e999",
         .price = "0.01",
         .delta = "0.5",
         .volume = "3",
         .oi = "90",
         .contract = "EUZ6"},
    });
    LeftPanelModel& panel = h.Build();
    h.SetFractalConditions("oi>0", "oi>=0");
    EXPECT_EQ(panel.Date(), "07.12.2012");
    EXPECT_EQ(panel.Cells().call_level, "1.1200");
    for (const std::string& text :
         {panel.Cells().put_level, panel.Cells().bottom_border, panel.Cells().channel_center,
          panel.Cells().market_width, panel.Cells().ratio_oi, panel.Cells().level_put[0]}) {
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    }
}

TEST(LeftPanelModelTest, CalculationsUseTheForwardPointOfTheNextTradingDay) {
    PanelHarness h;
    h.Insert(SmallDays());
    test::WriteFile(h.home.Path() / "INPUT" / "FP_20121208.TXT", "EUR 12.5\r\n");
    test::WriteFile(h.home.Path() / "INPUT" / "FP_20121207.TXT", "EUR 7.5\r\n");
    test::WriteFile(h.home.Path() / "INPUT" / "FP_20121210.TXT", "EUR 10\r\n");
    LeftPanelModel& panel = h.Build(2, "oi>0", "oi>0", "oi>0", 1);
    // The calculations resolved their own point: the next trading day, Monday 10.12.
    EXPECT_DOUBLE_EQ(panel.ForwardPoint(), 10.0);
    EXPECT_EQ(panel.Cells().call_level, "1.1290");  // 1.12 + 0.01 - 10 x 0.0001
    h.SetForwardPointSwitch(0);
    EXPECT_DOUBLE_EQ(panel.ForwardPoint(), 0.0);
    EXPECT_EQ(panel.Cells().call_level, "1.1300");
}

TEST(ShownEntriesTest, SkipsEmptyAndZeroEntries) {
    EXPECT_EQ(ShownEntries({"1.1000", " ", "", "0.0", "0", "1.2000"}),
              (Texts{"1.1000", "0", "1.2000"}));
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
