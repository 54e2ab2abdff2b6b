#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "app/cli/cli.h"
#include "app/cli/usage.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

using test::RunCli;

// The help lists exactly the commands the program runs, so a command added without its help
// (or help left for a command taken out) is caught here.
TEST(CliHelp, DescribesEveryCommandAndNoOther) {
    std::set<std::string> described;
    for (const CommandHelp& help : CommandHelps()) {
        EXPECT_TRUE(described.insert(help.name).second) << "described twice: " << help.name;
        EXPECT_FALSE(help.summary.empty()) << help.name;
    }
    described.erase("help");
    std::set<std::string> commands;
    for (const auto& [name, handler] : Commands()) {
        // The helpers of the shell's completion are hidden: only the scripts call them.
        if (name.rfind("__", 0) != 0) {
            commands.insert(name);
        }
    }
    EXPECT_EQ(described, commands);
}

TEST(CliHelp, HelpAndVersionPrintToStdoutAndExitZero) {
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"--help"}, {"-h"}, {"help"}, {"--lang", "rus", "--help"}}) {
        const auto outcome = RunCli(line);
        EXPECT_EQ(outcome.status, kExitDone) << line.front();
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out.rfind("Usage: zarvex-cli ", 0), 0u) << outcome.out;
        for (const CommandHelp& help : CommandHelps()) {
            EXPECT_NE(outcome.out.find("  " + help.name + " "), std::string::npos) << help.name;
        }
    }
    const auto version = RunCli({"--version"});
    EXPECT_EQ(version.status, kExitDone);
    EXPECT_EQ(version.out.rfind("zarvex-cli ", 0), 0u);
}

TEST(CliHelp, OneCommandsHelpShowsItsSynopsis) {
    for (const CommandHelp& help : CommandHelps()) {
        const std::string usage = "Usage: zarvex-cli [OPTIONS] " + help.name;
        for (const auto& line : {std::vector<std::string>{"help", help.name},
                                 std::vector<std::string>{help.name, "--help"}}) {
            const auto outcome = RunCli(line);
            EXPECT_EQ(outcome.status, kExitDone) << help.name;
            EXPECT_EQ(outcome.out.rfind(usage, 0), 0u) << outcome.out;
            EXPECT_NE(outcome.out.find(help.synopsis), std::string::npos) << help.name;
        }
    }
}

TEST(CliHelp, UsageErrorsStayOneLineWithExitTwo) {
    const auto unknown = RunCli({"frobnicate"});
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_EQ(unknown.err, "zarvex-cli: unknown command frobnicate\n");
    EXPECT_EQ(unknown.out, "");

    const auto unknown_topic = RunCli({"help", "frobnicate"});
    EXPECT_EQ(unknown_topic.status, kExitUsage);
    EXPECT_EQ(unknown_topic.err, "zarvex-cli: unknown command frobnicate\n");

    const auto none = RunCli({});
    EXPECT_EQ(none.status, kExitUsage);
    EXPECT_EQ(none.err.find('\n'), none.err.size() - 1);
    EXPECT_NE(none.err.find(CommandNameList()), std::string::npos) << none.err;

    // A value with line ends is named on the one line, its control characters written out.
    const auto broken = RunCli({"trading-day", "--date", "2012\r\n1207\x1b"});
    EXPECT_EQ(broken.status, kExitUsage);
    EXPECT_EQ(broken.err, "zarvex-cli: --date must be a date YYYYMMDD: 2012\\r\\n1207\\x1b\n");
}

TEST(CliHelp, ManualPageNamesEveryCommand) {
    std::ostringstream page;
    WriteManualPage(page);
    const std::string text = page.str();
    EXPECT_EQ(text.rfind(".TH ZARVEX-CLI 1 ", 0), 0u);
    for (const CommandHelp& help : CommandHelps()) {
        std::string escaped;
        for (char c : help.name) {
            escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        }
        EXPECT_NE(text.find(".B " + escaped), std::string::npos) << help.name;
    }
    // No line may start with a stray request character from the texts.
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.front() == '.') {
            EXPECT_TRUE(line.rfind(".TH", 0) == 0 || line.rfind(".SH", 0) == 0 ||
                        line.rfind(".TP", 0) == 0 || line.rfind(".B ", 0) == 0 ||
                        line.rfind(".IP", 0) == 0)
                << line;
        }
    }
}

// Help and bad usage write nothing, not even the per-user program folder of an installed
// program; a day command makes that folder on its first run.
TEST(CliHelp, OnlyWorkMakesThePerUserFolder) {
    const test::TempFolder data;
    const char* saved_home = std::getenv("ZARVEX_HOME");
    const std::string saved = saved_home != nullptr ? saved_home : "";
    unsetenv("ZARVEX_HOME");
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    EXPECT_EQ(RunCli({"--help"}).status, kExitDone);
    EXPECT_EQ(RunCli({"process-day", "--date", "2025-12-01"}).status, kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(data / "zarvex"));
    RunCli({"process-day", "--date", "20251201"});
    EXPECT_TRUE(std::filesystem::is_directory(data / "zarvex" / "DB"));
    unsetenv("XDG_DATA_HOME");
    if (saved_home != nullptr) {
        setenv("ZARVEX_HOME", saved.c_str(), 1);
    }
}

}  // namespace
}  // namespace zarvex::cli
