#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "left_panel_fixture.h"
#include "support/cli_runner.h"

namespace zarvex::analytics::left_testing {
namespace {

// The board's commands on a folder of two days: their exit statuses and output shapes.
class BoardCommands : public ::testing::Test {
protected:
    BoardCommands() {
        Row call;
        call.oi = "500";
        call.volume = "20";
        Row earlier = call;
        earlier.date = "06.12.2012";
        earlier.oi = "400";
        h.Insert({earlier, call});
        config = std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "zarvex";
        std::filesystem::create_directories(config);
    }
    ~BoardCommands() override { std::filesystem::remove(config / "alerts.txt"); }

    test::CliOutcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", h.home.Path().string(), "--today", "20121210"});
        return test::RunCli(args);
    }
    void WriteRules(const std::string& text) const {
        std::ofstream(config / "alerts.txt", std::ios::binary) << text;
    }

    PanelHarness h;
    std::filesystem::path config;
};

TEST_F(BoardCommands, AlertsExitWithThreeWhenARuleFiredAndNameBrokenLines) {
    WriteRules("EUR front call_oi moves 50\nEUR front nothing above 1\n");
    const test::CliOutcome fired = Run({"alerts"});
    EXPECT_EQ(fired.status, 3) << fired.err;
    EXPECT_NE(fired.out.find("\"fired\": [{\"line\": 1"), std::string::npos) << fired.out;
    EXPECT_NE(fired.out.find("\"broken_lines\": [2]"), std::string::npos);
    EXPECT_NE(fired.err.find("line 2: unknown figure"), std::string::npos);

    WriteRules("EUR front call_oi moves 500\n");
    EXPECT_EQ(Run({"alerts"}).status, 0);
    EXPECT_EQ(Run({"alerts", "--date", "32.12.2012"}).status, 2);
}

// A byte-order mark is no part of the first symbol; a rule whose contract the day does not
// store is named; a FIFO is named as such and never waited on.
TEST_F(BoardCommands, AlertsSkipAByteOrderMarkNameAMissingContractAndRefuseAFifo) {
    WriteRules(
        "\xEF\xBB\xBF"
        "EUR front call_oi moves 50\nEUR JUN31-XX call_oi above 1\n");
    const test::CliOutcome run = Run({"alerts"});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.out.find("\"broken_lines\": []"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("warning: " + (config / "alerts.txt").string() +
                           ": line 2: EUR JUN31-XX call_oi above 1: contract JUN31-XX is not "
                           "stored on 07.12.2012"),
              std::string::npos)
        << run.err;

    std::filesystem::remove(config / "alerts.txt");
    ASSERT_EQ(mkfifo((config / "alerts.txt").c_str(), 0600), 0);
    const test::CliOutcome fifo = Run({"alerts"});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, "zarvex-cli: " + (config / "alerts.txt").string() +
                            ": is a FIFO, not a regular file\n");
}

TEST_F(BoardCommands, BoardAndMapPrintTheDayAndRefuseBadOptions) {
    const test::CliOutcome board = Run({"board", "--symbol", "EUR", "--top", "3"});
    EXPECT_EQ(board.status, 0) << board.err;
    EXPECT_NE(board.out.find("\"date\": \"07.12.2012\""), std::string::npos);
    EXPECT_NE(board.out.find("\"call_oi\": 500"), std::string::npos) << board.out;
    EXPECT_NE(board.out.find("\"change\": 100"), std::string::npos);

    const test::CliOutcome map = Run({"oi-map", "--symbol", "EUR", "--change", "1", "--csv"});
    EXPECT_EQ(map.status, 0) << map.err;
    EXPECT_EQ(map.out, "strike,DEC12-AM,sum\r\n1.1,100,100\r\n");

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"board", "--top", "0"},
                                                {"board", "--floor", "-1"},
                                                {"board", "--symbol", "XAU"},
                                                {"oi-map", "--symbol", "EUR", "--change", "2"},
                                                {"oi-map"}}) {
        EXPECT_EQ(Run(bad).status, 2) << bad[0] << " " << bad.back();
    }
}

}  // namespace
}  // namespace zarvex::analytics::left_testing
