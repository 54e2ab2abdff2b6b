#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/cli.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "settings/settings_record.h"
#include "storage/store.h"
#include "support/case_name.h"

namespace zarvex::analytics::left_testing {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class IndicatorsCliTest : public ::testing::Test {
protected:
    IndicatorsCliTest() {
        CreateQuoteDatabase(QuoteFile());
        InsertRows(QuoteFile(),
                   {
                       {.option = "CALL",
                        .strike = "1.20",
                        .delta = "0.6",
                        .volume = "1",
                        .oi = "100",
                        .doi = "1",
                        .contract = "EUZ6"},
                       {.option = "CALL",
                        .strike = "1.21",
                        .delta = "0.5",
                        .volume = "9",
                        .oi = "500",
                        .doi = "1",
                        .contract = "EUZ6"},
                       {.option = "CALL",
                        .strike = "1.22",
                        .delta = "0.4",
                        .volume = "2",
                        .oi = "200",
                        .doi = "1",
                        .contract = "EUZ6"},
                       {.option = "PUT",
                        .strike = "1.10",
                        .delta = "0.3",
                        .volume = "4",
                        .oi = "300",
                        .doi = "1",
                        .contract = "EUZ6"},
                       {.option = "PUT",
                        .strike = "1.11",
                        .delta = "0.45",
                        .volume = "1",
                        .oi = "100",
                        .doi = "1",
                        .contract = "EUZ6"},
                       {.option = "CALL", .strike = "1.30", .oi = "10", .contract = "GEZ6"},
                       {.option = "CALL",
                        .strike = "1.40",
                        .oi = "10",
                        .contract = "EUH7",
                        .date = "05.12.2012"},
                   });
    }

    std::filesystem::path QuoteFile() const { return storage::QuotePath(home_.Folder(), "EUR"); }

    Outcome Run(std::vector<std::string> args, const std::string& today = "20121210") {
        args.insert(args.end(), {"--home", home_.Path().string(), "--today", today});
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::Run(args, out, err);
        return {status, out.str(), err.str()};
    }

    test::TempProgramFolder home_;
};

const char* const kSettled[] = {
    "indicators", "--symbol",       "EUR",     "--price-type",   "1",   "--fp", "0", "--level-cond",
    "oi>0",       "--fractal-main", "oi>=500", "--fractal-near", "oi>0"};

TEST_F(IndicatorsCliTest, PrintsThePanelAsJson) {
    const Outcome result = Run({std::begin(kSettled), std::end(kSettled)});
    EXPECT_EQ(result.status, cli::kExitDone);
    EXPECT_EQ(
        result.out,
        R"({"symbol": "EUR", "date": "07.12.2012", "contract": "EUZ6", "contracts": ["EUZ6", "GEZ6"], )"
        R"("forward_point": 0, "expiration": "14.12.2012", "call_level": "1.2100", )"
        R"("put_level": "1.1000", "width_market": "1100", "delta_balance": "1.1100", )"
        R"("upper_limit": "1.2200", "upper_border": "1.2100", "channel_center": "1.1550", )"
        R"("bottom_border": "1.1000", "bottom_limit": "1.1000", "upper_border_strike": 1, )"
        R"("bottom_border_strike": 1, "upper_limit_strike": 1, "bottom_limit_strike": 1, )"
        R"("ratio_oi": "0.5000", "ratio_volume": "0.4167", "ratio_avg_price": "0.6250", )"
        R"("max_pain": "1.1100", "max_pain_strike": 1.11, )"
        // The rows' premiums give no forward: no implied figures.
        R"("atm_vol": null, "expected_move": null, "prob_above_upper_limit": null, )"
        R"("prob_touch_upper_limit": null, "prob_above_upper_border": null, )"
        R"("prob_touch_upper_border": null, "prob_below_bottom_border": null, )"
        R"("prob_touch_bottom_border": null, "prob_below_bottom_limit": null, )"
        R"("prob_touch_bottom_limit": null, "prob_above_call_level": null, )"
        R"("prob_touch_call_level": null, "prob_below_put_level": null, )"
        R"("prob_touch_put_level": null, )"
        R"("levels": {"call": ["1.2000", "1.2100", "1.2200"], "put": ["1.1000", "1.1100"]}, )"
        R"("fractals": {"call": ["1.2100"], "put": []}})"
        "\n");
    // stderr is for what went wrong; the progress texts come with --verbose, fractals included.
    EXPECT_EQ(result.err, "");
    std::vector<std::string> verbose{std::begin(kSettled), std::end(kSettled)};
    verbose.push_back("--verbose");
    const Outcome told = Run(verbose);
    EXPECT_EQ(told.out, result.out);
    EXPECT_TRUE(common::Contains(told.err, "Calculates of the significant fractals. "));
    EXPECT_TRUE(common::Contains(told.err, "The program is prepared to use."));
}

TEST_F(IndicatorsCliTest, DateAndContractChooseTheDay) {
    std::vector<std::string> args{std::begin(kSettled), std::end(kSettled)};
    args.insert(args.end(), {"--date", "05.12.2012"});
    Outcome result = Run(args);
    EXPECT_EQ(result.status, cli::kExitDone);
    EXPECT_TRUE(common::Contains(result.out, R"("date": "05.12.2012", "contract": "EUH7")"));

    args.insert(args.end(), {"--contract", "GEZ6"});
    args[args.size() - 3] = "07.12.2012";
    result = Run(args);
    EXPECT_TRUE(common::Contains(result.out, R"("date": "07.12.2012", "contract": "GEZ6")"));
    EXPECT_TRUE(common::Contains(result.out, R"("call_level": "1.3000", "put_level": " ")"));

    // A day without data: the message, and the latest day instead.
    args[args.size() - 3] = "08.12.2012";
    result = Run(args);
    EXPECT_EQ(result.status, cli::kExitDone);
    EXPECT_TRUE(common::Contains(result.err, "Message: For the selected date there is no data."));
    EXPECT_TRUE(common::Contains(result.out, R"("date": "07.12.2012")"));
}

TEST_F(IndicatorsCliTest, SettingsComeFromTheConfigurationRowAndNothingIsWritten) {
    {
        settings::SettingsRecord record("EUR", home_.Folder());
        record.OpenSettings(storage::ConfigurationPath(home_.Folder(), "EUR"));
        record.SetLevelCond("oi>=300");
        record.SetPriceType(0);
        record.SetIsFP(0);
        ASSERT_TRUE(record.SaveSettings());
    }
    const auto quote_time = std::filesystem::last_write_time(QuoteFile());
    const auto config_time =
        std::filesystem::last_write_time(storage::ConfigurationPath(home_.Folder(), "EUR"));
    const Outcome result = Run({"indicators", "--symbol", "EUR"});
    EXPECT_EQ(result.status, cli::kExitDone);
    // Futures prices, and only the CALL with 500 and the PUT with 300 pass oi>=300.
    EXPECT_TRUE(
        common::Contains(result.out, R"("levels": {"call": ["1.2200"], "put": ["1.0900"]})"))
        << result.out;
    EXPECT_EQ(std::filesystem::last_write_time(QuoteFile()), quote_time);
    EXPECT_EQ(std::filesystem::last_write_time(storage::ConfigurationPath(home_.Folder(), "EUR")),
              config_time);
}

TEST_F(IndicatorsCliTest, WithoutAConfigurationTheDefaultsApplyAndNoFileIsMade) {
    const Outcome result = Run({"indicators", "--symbol", "EUR"});
    EXPECT_EQ(result.status, cli::kExitDone);
    // "oi>1000 AND sign>=0" lets no row of this day through.
    EXPECT_TRUE(common::Contains(result.out, R"("levels": {"call": [], "put": []})"));
    EXPECT_FALSE(std::filesystem::exists(storage::ConfigurationPath(home_.Folder(), "EUR")));
}

TEST_F(IndicatorsCliTest, RussianStatusTexts) {
    const Outcome result = Run({"indicators", "--symbol", "EUR", "--lang", "rus", "--verbose"});
    EXPECT_TRUE(common::Contains(result.err, "Идёт расчёт значимых уровней. "));
}

TEST_F(IndicatorsCliTest, AMissingQuoteDatabaseReportsFailureWithAnEmptyPanel) {
    const Outcome result = Run({"indicators", "--symbol", "GBP"});
    EXPECT_EQ(result.status, cli::kExitFailed);
    EXPECT_TRUE(common::Contains(
        result.out, R"({"symbol": "GBP", "date": "", "contract": "", "contracts": [], )"));
    EXPECT_FALSE(std::filesystem::exists(storage::QuotePath(home_.Folder(), "GBP")));
}

TEST_F(IndicatorsCliTest, ABadConditionLeavesItsTableEmpty) {
    std::vector<std::string> args{std::begin(kSettled), std::end(kSettled)};
    args[8] = "oi >>";
    args[10] = "oi >= 'x";
    const Outcome result = Run(args);
    EXPECT_EQ(result.status, cli::kExitDone);
    EXPECT_TRUE(common::Contains(result.out, R"("call_level": "1.2100")"));
    EXPECT_TRUE(common::Contains(result.out, R"("levels": {"call": [], "put": []})"));
    EXPECT_TRUE(common::Contains(result.out, R"("fractals": {"call": [], "put": []})"));
}

TEST_F(IndicatorsCliTest, DaysPast2038) {
    InsertRows(QuoteFile(),
               {{.strike = "1.31", .volume = "3", .contract = "EUH38", .date = "19.01.2038"},
                {.strike = "1.41", .volume = "3", .contract = "EUH40", .date = "03.01.2040"}});
    Outcome result = Run({"indicators", "--symbol", "EUR", "--price-type", "1"}, "20400105");
    EXPECT_EQ(result.status, cli::kExitDone);
    EXPECT_TRUE(common::Contains(result.out, R"("date": "03.01.2040", "contract": "EUH40")"));
    EXPECT_TRUE(common::Contains(result.out, R"("call_level": "1.4100")"));
    result = Run({"indicators", "--symbol", "EUR", "--price-type", "1", "--date", "19.01.2038"},
                 "20400105");
    EXPECT_TRUE(common::Contains(result.out, R"("date": "19.01.2038", "contract": "EUH38")"));
}

class IndicatorsUsageTest : public IndicatorsCliTest,
                            public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(IndicatorsUsageTest, BadUsageExitsWithTwoAndPrintsNothing) {
    const Outcome result = Run(GetParam());
    EXPECT_EQ(result.status, cli::kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(result.err.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Words, IndicatorsUsageTest,
    ::testing::Values(
        std::vector<std::string>{"indicators"},
        std::vector<std::string>{"indicators", "--symbol", "XYZ"},
        std::vector<std::string>{"indicators", "--symbol", "EUR", "--price-type", "3"},
        std::vector<std::string>{"indicators", "--symbol", "EUR", "--fp", "x"},
        std::vector<std::string>{"indicators", "--symbol", "EUR", "--date", "2012-12-07"},
        std::vector<std::string>{"indicators", "--symbol", "EUR", "--level"},
        std::vector<std::string>{"indicators", "--symbol", "EUR", "extra"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param); });

}  // namespace
}  // namespace zarvex::analytics::left_testing
