#include <gtest/gtest.h>

#include <algorithm>

#include "analytics/history/contract_history.h"
#include "common/calendar.h"
#include "common/text.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

using test::RunCli;

// Two generated days of EUR in the quote database of a program folder.
class VolCliTest : public ::testing::Test {
protected:
    VolCliTest() {
        const reportgen::ReportGenerator generator;
        for (const common::Date day :
             {common::MakeDate(2025, 12, 4), common::MakeDate(2025, 12, 5)}) {
            StoreParsedRows(h.QuoteFile(), generator.Generate(day).rows.at("EUR"));
        }
    }
    std::vector<std::string> Args(std::vector<std::string> extra) const {
        std::vector<std::string> args{
            "--home", h.home.Path().string(), "vol", "--symbol", "EUR", "--date", "05.12.2025"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    PanelHarness h;
};

TEST_F(VolCliTest, OneContractAgreesWithTheHistoryAndItsCsvHasALinePerStrike) {
    const test::CliOutcome json = RunCli(Args({"--contract", "MAR26-AM"}));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(common::Contains(json.out, "\"status\": \"ready\", \"days\": 91,")) << json.out;

    // The history reads the rows of all days at once and in memory; the command reads one day
    // by SQL. Both must give the same figures to the last bit.
    const storage::Database db = storage::Database::OpenReadOnly(h.QuoteFile());
    const common::Result<ContractHistory> loaded = LoadContractHistory(
        db, h.home.Folder(), {AnalysisInput(SettingsWith(1, 0), "EUR", "MAR26-AM")},
        h.host.AsHost());
    ASSERT_TRUE(loaded) << loaded.Reason();
    const ContractHistory& history = *loaded;
    ASSERT_EQ(history.days.size(), 2u);
    ASSERT_TRUE(history.days[1].atm_vol && history.days[1].expected_move);
    const test::CliOutcome hist = RunCli({"--home", h.home.Path().string(), "history", "--symbol",
                                          "EUR", "--contract", "MAR26-AM", "--from", "05.12.2025"});
    const std::size_t at = hist.out.find("\"atm_vol\": ");
    ASSERT_NE(at, std::string::npos) << hist.out;
    const std::string atm = hist.out.substr(at, hist.out.find(',', at) - at);
    EXPECT_TRUE(common::Contains(json.out, atm)) << atm;

    const test::CliOutcome csv = RunCli(Args({"--contract", "MAR26-AM", "--csv"}));
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("strike,call_premium,call_vol,call_reason,call_delta,", 0), 0u);
    const auto lines = std::count(csv.out.begin(), csv.out.end(), '\n');
    EXPECT_GT(lines, 10);
    long strikes = 0;
    for (std::size_t pos = json.out.find("\"strike\": "); pos != std::string::npos;
         pos = json.out.find("\"strike\": ", pos + 1)) {
        ++strikes;
    }
    EXPECT_EQ(strikes, lines - 1);
}

TEST_F(VolCliTest, TermListsTheDaysContractsNearestExpiryFirst) {
    const test::CliOutcome term = RunCli(Args({"--term"}));
    ASSERT_EQ(term.status, 0) << term.err;
    // 05.12.2025 is the expiration of the December contracts: listed, without figures.
    EXPECT_TRUE(common::Contains(term.out,
                                 "{\"contract\": \"DEC25-AM\", \"expiration\": "
                                 "\"05.12.2025\", \"status\": \"expired\", \"days\": 0"))
        << term.out;
    std::vector<int> days;
    for (std::size_t at = term.out.find("\"days\": "); at != std::string::npos;
         at = term.out.find("\"days\": ", at + 1)) {
        days.push_back(std::stoi(term.out.substr(at + 8)));
    }
    EXPECT_GT(days.size(), 4u);
    EXPECT_TRUE(std::is_sorted(days.begin(), days.end()));
}

TEST_F(VolCliTest, BadUsageAndMissingDataAreClear) {
    for (const auto& extra : std::vector<std::vector<std::string>>{
             {}, {"--contract", "MAR26-AM", "--term"}, {"--contract", "MAR26-AM", "--fp", "7"}}) {
        const test::CliOutcome outcome = RunCli(Args(extra));
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
    // A contract without rows is no error: it has no figures.
    const test::CliOutcome none = RunCli(Args({"--contract", "NOSUCH"}));
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(common::Contains(none.out, "\"status\": \"no_rows\"")) << none.out;
    // A symbol without a database fails.
    std::vector<std::string> args = Args({"--contract", "MAR26-AM"});
    args[4] = "GBP";
    EXPECT_EQ(RunCli(args).status, 1);
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
