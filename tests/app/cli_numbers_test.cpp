// Numbers on the command line are plain digits, with a "-" only where a negative value is
// allowed; a refused value is quoted in a line of a readable length.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/case_name.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

struct NumberCase {
    std::vector<std::string> args;
    std::string option;  // named on the refusal's line
};

class CliNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(CliNumberTest, RefusedWithBadUsageNamingTheOption) {
    test::TempProgramFolder home;
    std::vector<std::string> args{"--home", home.Path().string()};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const test::CliOutcome run = test::RunCli(args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(GetParam().option), std::string::npos) << run.err;
}

const std::vector<std::string> kHistogram{"histogram",  "--symbol",   "EUR",     "--date",
                                          "07.12.2012", "--contract", "MAR13-EU"};

std::vector<std::string> Histogram(const std::string& option, const std::string& value) {
    std::vector<std::string> args = kHistogram;
    args.insert(args.end(), {option, value});
    return args;
}

std::vector<std::string> Price(const std::string& strike, const std::string& fp) {
    return {"price",     "--strike", strike, "--symbol", "EUR",    "--option", "CALL",
            "--premium", "0.01",     "--fp", fp,         "--type", "0"};
}

INSTANTIATE_TEST_SUITE_P(
    Values, CliNumberTest,
    testing::Values(
        NumberCase{Histogram("--n", " 1"), "--n"}, NumberCase{Histogram("--n", "1 "), "--n"},
        NumberCase{Histogram("--n", "+1"), "--n"}, NumberCase{Histogram("--n", "1e0"), "--n"},
        NumberCase{Histogram("--n", "0x1"), "--n"}, NumberCase{Histogram("--fp", "-0"), "--fp"},
        NumberCase{Histogram("--size", "+3x4"), "--size"},
        NumberCase{{"history", "--symbol", "EUR", "--contract", "X", "--fp", "-0"}, "--fp"},
        NumberCase{{"board", "--floor", " 5"}, "--floor"},
        NumberCase{{"board", "--top", "-1"}, "--top"},
        NumberCase{{"holidays", "--year", "2012.0"}, "--year"},
        NumberCase{Price("1e0", "0"), "--strike"}, NumberCase{Price("-1.3", "0"), "--strike"},
        NumberCase{Price("1.3", "-0"), "--fp"}, NumberCase{Price("1.", "0"), "--strike"},
        NumberCase{{"download-day", "--date", "20121203", "--pause-ms", "0x10"}, "--pause-ms"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.option); });

TEST(CliNumberTest, NegativeForwardPointsAndPlainValuesStillRead) {
    const test::CliOutcome run = test::RunCli(Price("1.3", "-12.5"));
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(CliQuoteTest, AMegabyteValueGivesALineOfReadableLength) {
    const std::string huge(1 << 20, 'x');
    for (const auto& args : {std::vector<std::string>{"--lang", huge, "holidays"},
                             std::vector<std::string>{"holidays", "--year", huge},
                             std::vector<std::string>{"--host", huge, "exchange-time"}}) {
        const test::CliOutcome run = test::RunCli(args);
        EXPECT_NE(run.status, 0);
        EXPECT_LT(run.err.size(), 400U) << run.err.substr(0, 100);
    }
}

}  // namespace
}  // namespace zarvex::cli
