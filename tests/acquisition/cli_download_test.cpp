// The download commands of zarvex-cli against the stand-in server, run in-process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "acquisition/data_source.h"
#include "app/cli/cli.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "server_fixture.h"
#include "storage/database.h"
#include "storage/stage_flags.h"
#include "storage/store.h"
#include "support/case_name.h"

namespace zarvex::cli {
namespace {

using common::MakeDate;

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

class CliDownloadTest : public testing::Test {
protected:
    Outcome Cli(std::vector<std::string> args, bool with_host = true) {
        args.insert(args.begin(), {"--home", home_.Path().string()});
        if (with_host) {
            args.insert(args.end(), {"--host", tree_.Host()});
        }
        std::ostringstream out;
        std::ostringstream err;
        Outcome outcome;
        outcome.status = cli::Run(args, out, err);
        outcome.out = out.str();
        outcome.err = err.str();
        return outcome;
    }

    // Generated days from..to as the server publishes them; returns the days.
    std::vector<reportgen::GeneratedDay> Publish(common::Date from, common::Date to) {
        reportgen::GeneratorOptions options;
        options.strikes = 8;
        options.raw_lf = true;
        const reportgen::ReportGenerator generator(options);
        std::vector<reportgen::GeneratedDay> days;
        for (const common::Date day : reportgen::TradingDays(from, to)) {
            days.push_back(generator.Generate(day));
            std::string error;
            EXPECT_TRUE(reportgen::WriteServerDay(days.back(), tree_.Root(), &error)) << error;
        }
        return days;
    }

    test::TempProgramFolder home_;
    test::ServedTree tree_;
};

TEST_F(CliDownloadTest, NetworkAndExchangeTimeComeFromTheServer) {
    tree_.Server().SetFixedTime(MakeDate(2012, 12, 3, 17, 30, 5));
    EXPECT_EQ(Cli({"network-time"}).out, "20121203 11:30:05\n");
    const Outcome page = Cli({"exchange-time"});
    EXPECT_EQ(page.status, kExitDone);
    EXPECT_EQ(page.out, "20121203 11:30:05\n");
}

TEST_F(CliDownloadTest, NoTimePrintsMinusOne) {
    tree_.Server().SetDateHeaderStyle(tools::DateHeaderStyle::kNone);
    tools::ServerFaults faults;
    faults.error_on = "/1/2.php";
    tree_.Server().SetFaults(faults);
    const Outcome page = Cli({"exchange-time"});
    EXPECT_EQ(page.status, kExitFailed);
    EXPECT_EQ(page.out, "-1\n");
}

TEST_F(CliDownloadTest, DownloadDayPrintsTheResult) {
    const auto days = Publish(MakeDate(2012, 12, 3), MakeDate(2012, 12, 4));
    const Outcome done = Cli({"download-day", "--date", "20121203", "--pause-ms", "0"});
    EXPECT_EQ(done.status, kExitDone);
    EXPECT_EQ(done.out, "1\n");
    // Byte for byte what the generator says a download leaves behind.
    EXPECT_EQ(test::ReadFile(home_.Path() / "INPUT" / "CUR_20121203.TXT"), days[0].report);
    EXPECT_EQ(test::ReadFile(home_.Path() / "INPUT" / "FP_20121204.TXT"), days[1].forward_points);

    const Outcome missing = Cli({"download-day", "--date", "20121205", "--pause-ms", "0"});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_EQ(missing.out, "0\n");
    EXPECT_EQ(missing.err,
              "zarvex-cli: CUR_20121205.TXT is not published yet on " + tree_.Host() + "\n");
}

TEST_F(CliDownloadTest, RefusedConnectionSaysWhichHost) {
    const std::string host = "127.0.0.1:" + std::to_string(test::ClosedPort());
    for (const auto& command :
         {std::vector<std::string>{"download-day", "--date", "20121203"},
          std::vector<std::string>{"download-previous-days", "--now", "20121204 19:00:00"},
          std::vector<std::string>{"forward-points", "--time", "20121204 19:00:00"},
          std::vector<std::string>{"exchange-time"}}) {
        std::vector<std::string> args = command;
        args.insert(args.end(), {"--host", host});
        const Outcome refused = Cli(args, false);
        EXPECT_EQ(refused.status, kExitFailed) << command.front();
        // The last stderr line says why; the catch-up's status lines come before it.
        const std::string last =
            refused.err.substr(refused.err.rfind('\n', refused.err.size() - 2) + 1);
        EXPECT_NE(last.find(host), std::string::npos) << command.front() << ": " << refused.err;
    }
}

TEST_F(CliDownloadTest, WithoutAnyReportServerTheCommandsFailAndSayWhereToSetOne) {
    unsetenv("ZARVEX_REPORT_HOST");
    for (const auto& command : {std::vector<std::string>{"download-day", "--date", "20121203"},
                                std::vector<std::string>{"network-time"}}) {
        const Outcome none = Cli(command, false);
        EXPECT_EQ(none.status, kExitFailed) << command.front();
        EXPECT_EQ(none.out, "");
        EXPECT_NE(none.err.find("no report server is set"), std::string::npos) << none.err;
    }
}

TEST_F(CliDownloadTest, SavedDataSourceIsUsedAfterHostAndEnvironment) {
    unsetenv("ZARVEX_REPORT_HOST");
    tree_.Server().SetFixedTime(MakeDate(2012, 12, 3, 17, 30, 5));
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr);
    ASSERT_TRUE(
        acquisition::WriteDataSource(std::filesystem::path(config) / "zarvex" / "data-source.conf",
                                     acquisition::DataSource{tree_.Host(), {}, {}}));
    const Outcome saved = Cli({"exchange-time"}, false);
    EXPECT_EQ(saved.out, "20121203 11:30:05\n");
    const std::string closed = "127.0.0.1:" + std::to_string(test::ClosedPort());
    setenv("ZARVEX_REPORT_HOST", closed.c_str(), 1);
    EXPECT_EQ(Cli({"exchange-time"}, false).out, "-1\n");
    EXPECT_EQ(Cli({"exchange-time", "--host", tree_.Host()}, false).out, "20121203 11:30:05\n");
    unsetenv("ZARVEX_REPORT_HOST");
    ASSERT_TRUE(acquisition::WriteDataSource(
        std::filesystem::path(config) / "zarvex" / "data-source.conf", acquisition::DataSource{}));
}

struct UsageCase {
    std::vector<std::string> args;
};

class CliDownloadUsageTest : public CliDownloadTest,
                             public testing::WithParamInterface<UsageCase> {};

TEST_P(CliDownloadUsageTest, BadUsageWritesNothing) {
    const Outcome outcome = Cli(GetParam().args, false);
    EXPECT_EQ(outcome.status, kExitUsage) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "DB" / "download.lql"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliDownloadUsageTest,
    testing::Values(UsageCase{{"download-day"}},
                    UsageCase{{"download-day", "--date", "2012-12-03"}},
                    UsageCase{{"download-day", "--date", "20121203", "--pause-ms", "-1"}},
                    UsageCase{{"download-previous-days", "--now", "20121203"}},
                    UsageCase{{"forward-points", "--time", "20121203 25:00:00"}},
                    UsageCase{{"network-time", "extra"}},
                    UsageCase{{"download-day", "--date", "20121203", "--host", "a:b:c"}},
                    UsageCase{{"exchange-time", "--host", "host:99999"}}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.args); });

// Forty published days: the catch-up fetches and marks every trading day of its range, and
// the previous-days run then fills the quote databases from the files.
TEST_F(CliDownloadTest, CatchUpThenProcessingFillsTheDatabases) {
    const auto days = Publish(MakeDate(2012, 11, 1), MakeDate(2012, 12, 28));
    ASSERT_GE(days.size(), 38u);
    const Outcome fetched =
        Cli({"download-previous-days", "--now", "20121228 19:00:00", "--pause-ms", "0"});
    ASSERT_EQ(fetched.status, kExitDone) << fetched.err;
    EXPECT_EQ(fetched.out, "1\n");

    const storage::Database download =
        storage::Database::Open(home_.Path() / "DB" / "download.lql");
    int in_range = 0;
    for (const auto& day : days) {
        if (day.day < MakeDate(2012, 11, 28) || day.day > MakeDate(2012, 12, 27)) {
            continue;
        }
        ++in_range;
        EXPECT_EQ(
            storage::GetStageFlag(download, common::DateKey(day.day), storage::kStageDownload), 1);
        EXPECT_EQ(test::ReadFile(home_.Folder().ReportFile(day.day)), day.report);
    }
    EXPECT_EQ(in_range, 21);

    const Outcome processed = Cli({"process-previous-days", "--date", "20121228"}, false);
    EXPECT_EQ(processed.status, kExitDone) << processed.err;
    const storage::Database quotes =
        storage::Database::OpenReadOnly(home_.Path() / "DB" / "EUR_data.lql");
    auto count =
        quotes.Prepare("SELECT COUNT(DISTINCT date) FROM dating WHERE date LIKE '%.12.2012'");
    ASSERT_TRUE(count.Step());
    // Every December trading day up to the 27th (3..7, 10..14, 17..21, 24, 26, 27), besides
    // whatever the new file's own first row holds.
    EXPECT_GE(count.ColumnInt(0), 18);
}

}  // namespace
}  // namespace zarvex::cli
