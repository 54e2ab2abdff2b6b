#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "left_panel_fixture.h"
#include "storage/store.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

using test::RunCli;

class HistoryCliTest : public ::testing::Test {
protected:
    HistoryCliTest() {
        h.Insert(
            {{.option = "CALL", .strike = "1.10", .volume = "3", .oi = "100", .date = "02.01.2013"},
             {.option = "PUT", .strike = "1.00", .volume = "4", .oi = "200", .date = "02.01.2013"},
             {.option = "CALL", .strike = "1.10", .volume = "5", .oi = "100"},
             {.option = "CALL", .strike = "1.20", .volume = "6", .oi = "50"},
             {.option = "PUT", .strike = "1.20", .volume = "7", .oi = "80"},
             {.option = "PUT", .strike = "1.00", .volume = "8", .oi = "200"}});
    }
    std::vector<std::string> Args(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--home", h.home.Path().string(), "history", "--symbol",
                                      "EUR",    "--contract",           kContract, "--price-type",
                                      "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    PanelHarness h;
};

TEST_F(HistoryCliTest, PrintsTheDaysOldestFirstAsJsonOrCsv) {
    const test::CliOutcome json = RunCli(Args({}));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(common::Contains(json.out,
                                 "{\"symbol\": \"EUR\", \"contract\": \"DEC12-AM\", "
                                 "\"days\": [{\"date\": \"07.12.2012\""))
        << json.out;
    EXPECT_LT(json.out.find("07.12.2012"), json.out.find("02.01.2013"));
    EXPECT_TRUE(common::Contains(json.out,
                                 "\"max_pain\": \"1.1000\", \"max_pain_strike\": 1.1, "
                                 "\"call_oi\": 150, \"put_oi\": 280, \"call_volume\": "
                                 "11, \"put_volume\": 15, \"atm_vol\": 0.15"))
        << json.out;
    // After the expiration there is no volatility.
    EXPECT_TRUE(common::Contains(json.out,
                                 "\"put_volume\": 4, \"atm_vol\": null, \"rr25\": null, "
                                 "\"bf25\": null, \"expected_move\": null, "))
        << json.out;
    // The level the panel shows for the 7th pours the volume of the later day too; that
    // evening it stood at 1.2000.
    EXPECT_TRUE(common::Contains(json.out, "\"call_level\": \"1.1000\", \"put_level\""));
    EXPECT_TRUE(common::Contains(
        json.out, "\"call_level_as_of\": \"1.2000\", \"put_level_as_of\": \"1.0000\"}"));

    const test::CliOutcome csv = RunCli(Args({"--csv", "--from", "01.01.2013"}));
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string_view> lines = common::Split(csv.out, '\n');
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("date,forward_point,expiration,call_level,", 0), 0u);
    EXPECT_EQ(lines[1].rfind("02.01.2013,0,14.12.2012,", 0), 0u) << lines[1];
    EXPECT_TRUE(common::Contains(lines[1], ",1.0000,1,100,200,3,4,,,,,1.1000,1.0000\r"))
        << lines[1];
}

TEST_F(HistoryCliTest, BadInputIsOneLineAndNoCrash) {
    // Positions in Args: 4 the symbol, 6 the contract, 8 the price type.
    struct Case {
        std::size_t position;
        std::string value;
        std::vector<std::string> extra;
        int status;
    };
    for (const Case& c :
         std::vector<Case>{{8, "1", {"--from", "31.02.2013"}, 2},
                           {8, "1", {"--from", "03.01.2013", "--to", "02.01.2013"}, 2},
                           {8, "3", {}, 2},
                           {4, "XXX", {}, 2}}) {
        std::vector<std::string> args = Args(c.extra);
        args[c.position] = c.value;
        const test::CliOutcome outcome = RunCli(args);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }

    // A contract without rows: an empty list.
    std::vector<std::string> args = Args({});
    args[6] = "NOSUCH";
    const test::CliOutcome none = RunCli(args);
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(common::Contains(none.out, "\"days\": []"));

    // A database that is missing, or is not a quote database.
    std::filesystem::remove(h.QuoteFile());
    EXPECT_EQ(RunCli(Args({})).status, 1);
    storage::OpenStore(storage::DownloadPath(h.home.Folder()), storage::StoreKind::kDownload);
    std::filesystem::copy_file(storage::DownloadPath(h.home.Folder()), h.QuoteFile());
    const test::CliOutcome wrong = RunCli(Args({}));
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(std::count(wrong.err.begin(), wrong.err.end(), '\n'), 1) << wrong.err;
    EXPECT_FALSE(std::filesystem::exists(h.home.Path() / "DB" / "EUR_config.lql"));
}

TEST_F(HistoryCliTest, IndicatorsShowMaxPainAndTheHistogramItsComparedDay) {
    const test::CliOutcome indicators =
        RunCli({"--home", h.home.Path().string(), "indicators", "--symbol", "EUR", "--date", kDay,
                "--contract", kContract, "--price-type", "1", "--fp", "0"});
    ASSERT_EQ(indicators.status, 0) << indicators.err;
    EXPECT_TRUE(
        common::Contains(indicators.out, "\"max_pain\": \"1.1000\", \"max_pain_strike\": 1.1, "));

    const test::CliOutcome histogram =
        RunCli({"--home", h.home.Path().string(), "histogram", "--symbol", "EUR", "--date", kDay,
                "--contract", kContract, "--price-type", "1", "--bar-cond", "oi>0", "--compare",
                "02.01.2013"});
    ASSERT_EQ(histogram.status, 0) << histogram.err;
    EXPECT_TRUE(common::Contains(histogram.out, "\"compare_date\": \"02.01.2013\""));
    EXPECT_TRUE(common::Contains(histogram.out, "\"compare_put\": [0, 200, 0")) << histogram.out;
    const test::CliOutcome nothing =
        RunCli({"--home", h.home.Path().string(), "histogram", "--symbol", "EUR", "--date", kDay,
                "--contract", kContract, "--compare", "05.05.2005"});
    EXPECT_EQ(nothing.status, 0) << nothing.err;
    EXPECT_TRUE(common::Contains(nothing.out, "\"compare_call\": [0, 0"));
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
