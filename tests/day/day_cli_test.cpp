#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/cli.h"
#include "common/plain_host.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

using test::RunCli;
using Result = test::CliOutcome;

// Every file under the folder with its size and content, to see that a run changed nothing.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(root).string()] = test::ReadFile(entry.path());
        }
    }
    return files;
}

TEST(DayCli, PreviousDaysThenTheDayFillEverythingAndASecondRunChangesNothing) {
    test::TempProgramFolder home;
    reportgen::GeneratorOptions options;
    options.strikes = 8;
    const reportgen::ReportGenerator generator(options);
    for (common::Date d :
         reportgen::TradingDays(common::MakeDate(2012, 11, 1), common::MakeDate(2012, 12, 7))) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator.Generate(d), home.Path(), &error));
    }
    const std::string h = home.Path().string();
    Result prev = RunCli({"process-previous-days", "--date", "20121207", "--home", h});
    EXPECT_EQ(prev.status, 0) << prev.err;
    Result day = RunCli({"--home", h, "process-day", "--date", "20121207"});
    EXPECT_EQ(day.status, 0) << day.err;
    EXPECT_NE(day.err.find("Data processing for the current day is completed."), std::string::npos);
    for (const char* sym : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
        EXPECT_TRUE(
            std::filesystem::exists(home.Path() / "OUTPUT" / (std::string(sym) + "20121207.TXT")))
            << sym;
        EXPECT_TRUE(
            std::filesystem::exists(home.Path() / "OUTPUT" / (std::string(sym) + "20121126.TXT")))
            << sym;
    }
    EXPECT_TRUE(std::filesystem::exists(home.Path() / "OUTPUT" / "FP_20121207.TXT"));

    const auto before = Snapshot(home.Path());
    EXPECT_EQ(RunCli({"--home", h, "process-previous-days", "--date", "20121207"}).status, 0);
    EXPECT_EQ(RunCli({"--home", h, "process-day", "--date", "20121207"}).status, 0);
    EXPECT_EQ(Snapshot(home.Path()), before);

    Result unload = RunCli({"--home", h, "unload", "--symbol", "GBP", "--date", "20121206"});
    EXPECT_EQ(unload.status, 0);
    EXPECT_EQ(unload.out, "1\n");
}

TEST(DayCli, MissingReportFailsWithStatusOne) {
    test::TempProgramFolder home;
    Result r = RunCli(
        {"--home", home.Path().string(), "--lang", "rus", "process-day", "--date", "20121207"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Идёт обработка данных."), std::string::npos);
}

// An EUR output folder that cannot take the unload: the run fails, its last line names the
// folder (or the setting, when empty), nothing lands in the working folder, and the other
// instruments unload as usual.
TEST(DayCli, AnOutputFolderThatCannotTakeTheUnloadIsNamed) {
    for (const std::string kind : {"missing", "too long", "empty"}) {
        test::TempProgramFolder home;
        reportgen::GeneratorOptions options;
        options.strikes = 8;
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(
            reportgen::ReportGenerator(options).Generate(common::MakeDate(2012, 12, 10)),
            home.Path(), &error));
        const std::string folder = kind == "missing"    ? (home.Path() / "NOWHERE").string() + "/"
                                   : kind == "too long" ? "/" + std::string(5000, 'a') + "/"
                                                        : std::string();
        {
            common::PlainHost plain;
            day::InstrumentList list(home.Folder(), plain.AsHost());
            list.At(0).Settings().SetOutputFolder(folder);
            ASSERT_TRUE(list.At(0).Settings().SaveSettings());
        }
        test::TempFolder cwd;
        const auto saved = std::filesystem::current_path();
        std::filesystem::current_path(cwd.Path());
        const Result r =
            RunCli({"--home", home.Path().string(), "process-day", "--date", "20121210"});
        std::filesystem::current_path(saved);

        EXPECT_EQ(r.status, 1) << kind;
        std::string last = r.err.substr(0, r.err.size() - 1);
        last = last.substr(last.rfind('\n') + 1);
        EXPECT_EQ(last.rfind("zarvex-cli: EUR: ", 0), 0u) << kind << ": " << last;
        EXPECT_NE(last.find(folder.empty() ? std::string("OutputFolder") : folder),
                  std::string::npos)
            << kind << ": " << last;
        EXPECT_TRUE(std::filesystem::is_empty(cwd.Path())) << kind;
        EXPECT_TRUE(std::filesystem::exists(home.Path() / "OUTPUT" / "GBP20121210.TXT")) << kind;
    }
}

TEST(DayCli, BadUsageWritesNothing) {
    test::TempProgramFolder home;
    const std::string h = home.Path().string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--home", h, "process-day"},
             {"--home", h, "process-day", "--date", "2012-12-07"},
             {"--home", h, "process-day", "--date", "20121207", "extra"},
             {"--home", h, "process-previous-days", "--date", "20121332"},
             {"--home", h, "unload", "--symbol", "WTI", "--date", "20121207"},
             {"--home", h, "unload", "--symbol", "EUR"},
             {"--home", h, "unload", "--symbol", "EUR", "--date", "20121207", "--bogus", "1"}}) {
        Result r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args[2];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
    EXPECT_TRUE(std::filesystem::is_empty(home.Path() / "DB"));
}

}  // namespace
}  // namespace zarvex::cli
