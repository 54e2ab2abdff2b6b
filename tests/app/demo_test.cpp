// `zarvex-cli demo`: generated days through the real downloads, in a folder of their own.
#include <gtest/gtest.h>

#include "common/demo_folder.h"
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

TEST(CliDemo, NeverWritesIntoAFolderWithRealData) {
    test::TempProgramFolder real;
    test::WriteFile(real.Path() / "DB" / "EUR_data.lql", "");
    const test::CliOutcome refused =
        test::RunCli({"--home", real.Path().string(), "--today", "20121210", "demo"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_NE(refused.err.find("not generated for the demo"), std::string::npos) << refused.err;
    EXPECT_FALSE(common::IsDemoFolder(real.Path()));
    EXPECT_FALSE(std::filesystem::exists(real.Path() / "server"));
}

}  // namespace
}  // namespace zarvex::cli
