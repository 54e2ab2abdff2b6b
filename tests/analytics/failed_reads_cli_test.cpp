#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "left_panel_fixture.h"
#include "storage/database.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

// A quote database whose table has lost its columns: SQLite opens it and answers the first
// query, and every reading after that fails. Each command must name the file and fail, never
// print the day as one without rows.
struct FailedRead {
    const char* name;
    std::vector<std::string> args;
};

class FailedReadCommand : public ::testing::TestWithParam<FailedRead> {
protected:
    FailedReadCommand() {
        std::filesystem::remove(h.QuoteFile());
        const storage::Database db = storage::Database::Open(h.QuoteFile());
        db.Execute("CREATE TABLE dating (date TEXT, contract TEXT)");
        db.Execute("INSERT INTO dating VALUES ('07.12.2012', 'DEC12-AM')");
    }

    PanelHarness h;
};

TEST_P(FailedReadCommand, NamesTheFileAndFails) {
    std::vector<std::string> args{"--home", h.home.Path().string(), "--today", "20121210"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const test::CliOutcome run = test::RunCli(args);
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_NE(run.err.find(h.QuoteFile().string()), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FailedReadCommand,
    ::testing::Values(
        FailedRead{"Tables",
                   {"tables", "--symbol", "EUR", "--date", "07.12.2012", "--contract", "DEC12-AM"}},
        FailedRead{"History", {"history", "--symbol", "EUR", "--contract", "DEC12-AM"}},
        FailedRead{"Vol",
                   {"vol", "--symbol", "EUR", "--date", "07.12.2012", "--contract", "DEC12-AM"}},
        FailedRead{"Term", {"vol", "--symbol", "EUR", "--date", "07.12.2012", "--term"}},
        FailedRead{"OiMap", {"oi-map", "--symbol", "EUR", "--date", "07.12.2012"}},
        FailedRead{"Board", {"board", "--symbol", "EUR"}}),
    [](const ::testing::TestParamInfo<FailedRead>& param) { return param.param.name; });

}  // namespace
}  // namespace zarvex::analytics::left_testing
