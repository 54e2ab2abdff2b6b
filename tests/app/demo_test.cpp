// `zarvex-cli demo`: generated days through the real downloads, in a folder of their own.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "common/demo_folder.h"
#include "settings/settings_record.h"
#include "storage/database.h"
#include "storage/store.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

int StoredDays(const std::filesystem::path& folder) {
    const storage::Database db =
        storage::Database::Open(storage::QuotePath(common::ProgramFolder(folder), "EUR"));
    storage::Statement days = db.Prepare("SELECT COUNT(DISTINCT date) FROM dating");
    return days.Step() ? static_cast<int>(days.ColumnInt(0)) : -1;
}

TEST(CliDemo, FillsItsOwnFolderThroughTheDownloadsAndLeavesNoServer) {
    test::TempFolder temp;
    const std::filesystem::path folder = temp / "demo";
    // Monday 10.12.2012: the three trading days before it are 5, 6 and 7 December.
    const test::CliOutcome made =
        test::RunCli({"--home", folder.string(), "--today", "20121210", "demo", "--days", "3"});
    ASSERT_EQ(made.status, kExitDone) << made.err;
    EXPECT_EQ(made.out, folder.string() + "\n");
    EXPECT_TRUE(common::IsDemoFolder(folder));
    // The seed row's day and the three downloaded ones.
    EXPECT_EQ(StoredDays(folder), 4);
    EXPECT_TRUE(std::filesystem::exists(folder / "INPUT" / "CUR_20121207.TXT"));
    // Run again: the days are kept, nothing is doubled.
    ASSERT_EQ(
        test::RunCli({"--home", folder.string(), "--today", "20121210", "demo", "--days", "3"})
            .status,
        kExitDone);
    EXPECT_EQ(StoredDays(folder), 4);
}

// Every entry under the folder with its kind and bytes: what a refused run must leave as it was.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> seen;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const auto status = it->symlink_status();
        std::string what = std::to_string(static_cast<int>(status.type()));
        if (status.type() == std::filesystem::file_type::regular) {
            std::ifstream in(it->path(), std::ios::binary);
            what += ":" + std::string(std::istreambuf_iterator<char>(in), {});
        }
        seen[std::filesystem::relative(it->path(), folder).string()] = what;
    }
    return seen;
}

struct ForeignFolderCase {
    const char* name;
    std::vector<std::string> files;  // made under the folder; "name -> target" makes a link
    const char* named;               // the entry the refusal names
};

class CliDemoRefuses : public ::testing::TestWithParam<ForeignFolderCase> {};

TEST_P(CliDemoRefuses, AFolderItDidNotMakeNamingWhyAndTouchingNothing) {
    test::TempFolder temp;
    const std::filesystem::path folder = temp / "home";
    std::filesystem::create_directories(folder);
    for (const std::string& file : GetParam().files) {
        if (const auto arrow = file.find(" -> "); arrow != std::string::npos) {
            std::filesystem::create_directory_symlink(temp.Path() / file.substr(arrow + 4),
                                                      folder / file.substr(0, arrow));
            continue;
        }
        std::filesystem::create_directories((folder / file).parent_path());
        test::WriteFile(folder / file, file.find(".lql") != std::string::npos ? "" : "real\n");
    }
    const auto before = Snapshot(folder);
    const test::CliOutcome refused =
        test::RunCli({"--home", folder.string(), "--today", "20121210", "demo", "--days", "2"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_NE(refused.err.find((folder / GetParam().named).string()), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("the demo never writes there"), std::string::npos) << refused.err;
    EXPECT_EQ(Snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(
    , CliDemoRefuses,
    ::testing::Values(
        ForeignFolderCase{
            "QuoteDatabases", {"DB/EUR_data.lql", "DB/EUR_config.lql"}, "DB/EUR_config.lql"},
        ForeignFolderCase{"ReportsOnly", {"INPUT/CUR_20121207.TXT", "OUTPUT/EUR20121207"}, "INPUT"},
        ForeignFolderCase{"DownloadDatabaseAndReports",
                          {"INPUT/CUR_20121207.TXT", "DB/download.lql"},
                          "DB/download.lql"},
        ForeignFolderCase{"SettingsWithoutQuotes",
                          {"DB/EUR_config.lql", "DB/EUR_operation.lql"},
                          "DB/EUR_config.lql"},
        ForeignFolderCase{"AnyOtherFile", {"notes.txt"}, "notes.txt"},
        // A mark alone does not make a folder the demo's: all the rest must be its own too.
        ForeignFolderCase{
            "MarkedWithAStranger", {".zarvex-demo", "DB/EUR_data.lql", "DB/my.lql"}, "DB/my.lql"},
        ForeignFolderCase{"MarkedWithALinkedFolder", {".zarvex-demo", "INPUT -> real"}, "INPUT"},
        ForeignFolderCase{
            "MarkedWithAFolderInItsInput", {".zarvex-demo", "INPUT/old/x"}, "INPUT/old"}),
    [](const auto& run) { return std::string(run.param.name); });

TEST(CliDemo, RefusesAFileGivenAsItsFolder) {
    test::TempFolder temp;
    test::WriteFile(temp / "file", "real\n");
    const test::CliOutcome refused =
        test::RunCli({"--home", (temp / "file").string(), "--today", "20121210", "demo"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_NE(refused.err.find("is not a folder"), std::string::npos) << refused.err;
}

TEST(CliDemo, AMovedDemoFolderUnloadsIntoItselfNotWhereItCameFrom) {
    test::TempFolder temp;
    const std::filesystem::path was = temp / "was";
    ASSERT_EQ(
        test::RunCli({"--home", was.string(), "--today", "20121210", "demo", "--days", "2"}).status,
        kExitDone);
    const std::filesystem::path now = temp / "now";
    std::filesystem::rename(was, now);
    // One day more: 05.12.2012 is downloaded and unloaded in the moved folder.
    const test::CliOutcome moved =
        test::RunCli({"--home", now.string(), "--today", "20121210", "demo", "--days", "3"});
    ASSERT_EQ(moved.status, kExitDone) << moved.err;
    EXPECT_NE(moved.err.find("set back to " + now.string() + "/OUTPUT/"), std::string::npos)
        << moved.err;
    EXPECT_TRUE(std::filesystem::exists(now / "OUTPUT" / "EUR20121205.TXT"));
    EXPECT_FALSE(std::filesystem::exists(was));
    settings::SettingsRecord record("EUR", common::ProgramFolder(now));
    record.OpenSettingsReadOnly(storage::ConfigurationPath(common::ProgramFolder(now), "EUR"));
    EXPECT_EQ(record.OutputFolder(), now.string() + "/OUTPUT/");
}

}  // namespace
}  // namespace zarvex::cli
