#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "support/case_name.h"
#include "support/cli_runner.h"

namespace zarvex::cli {
namespace {

using test::RunCli;
using Outcome = test::CliOutcome;

struct CheckCase {
    std::vector<std::string> args;
    int status;
    std::string out;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.args);
}

class CheckCommand : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckCommand, PrintsValidOrTheMessageAlone) {
    const Outcome outcome = RunCli(GetParam().args);
    EXPECT_EQ(outcome.status, GetParam().status);
    EXPECT_EQ(outcome.out, GetParam().out);
    EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    CheckCli, CheckCommand,
    testing::Values(
        CheckCase{{"check", "condition", "oi>=1000 AND sign>=0"}, kExitDone, "valid\n"},
        CheckCase{{"check", "condition", "sign>-1"},
                  kExitFailed,
                  "The conditions for significance of levels is incorrect.\n"},
        CheckCase{{"check", "condition", ""},
                  kExitFailed,
                  "The conditions for significance of levels is incorrect.\n"},
        CheckCase{{"check", "file-template", "{SYM}{YEAR}{MONTH}{DAY}"}, kExitDone, "valid\n"},
        CheckCase{{"check", "file-template", "{SYM}{WEEK}"},
                  kExitFailed,
                  "The file name template is invalid.\n"},
        CheckCase{{"check", "data-template", "{strike,price}{ }{,}"}, kExitDone, "valid\n"},
        CheckCase{{"check", "data-template", "{strike}{,}"},
                  kExitFailed,
                  "The template of the data for unload is incorrectly set.\n"},
        // Global options may stand anywhere; the language picks the message's text.
        CheckCase{{"--lang", "rus", "check", "file-template", "{X}"},
                  kExitFailed,
                  "Неверно задан шаблон имени файла.\n"},
        CheckCase{{"check", "data-template", "{x}{y}{z}", "--lang", "rus"},
                  kExitFailed,
                  "Неверно задан шаблон выгружаемых данных.\n"},
        CheckCase{{"check", "condition", "oi>1 AND", "--lang", "eng"},
                  kExitFailed,
                  "The conditions for significance of levels is incorrect.\n"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.args); });

TEST(CheckCli, BadUsageIsOneLineOnStderrAndNothingElse) {
    const std::vector<std::vector<std::string>> bad{
        {"check"},
        {"check", "condition"},
        {"check", "condition", "oi>1", "oi>2"},
        {"check", "bar-condition", "oi>1"},
        {"check", "condition", "oi>1", "--strict"},
        {"check", "--lang", "fr", "condition", "oi>1"},
    };
    for (const std::vector<std::string>& args : bad) {
        const Outcome outcome = RunCli(args);
        EXPECT_EQ(outcome.status, kExitUsage) << testing::PrintToString(args);
        EXPECT_EQ(outcome.out, "") << testing::PrintToString(args);
        ASSERT_FALSE(outcome.err.empty()) << testing::PrintToString(args);
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    }
}

}  // namespace
}  // namespace zarvex::cli
