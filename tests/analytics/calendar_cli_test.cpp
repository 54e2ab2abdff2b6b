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

TEST(CalendarCli, PriceShowsThePriceText) {
    EXPECT_EQ(RunCli({"price", "--strike", "1.1", "--symbol", "EUR", "--option", "CALL",
                      "--premium", "0.012", "--fp", "10", "--type", "2"})
                  .out,
              "1.1110\n");
    const Outcome jpy = RunCli({"price", "--type", "2", "--fp", "-20", "--premium", "0.01",
                                "--option", "CALL", "--symbol", "JPY", "--strike", "0.9"});
    EXPECT_EQ(jpy.status, kExitDone);
    EXPECT_EQ(jpy.out, "110.09\n");
    EXPECT_EQ(jpy.err, "");
    EXPECT_EQ(RunCli({"price", "--strike", "70", "--symbol", "WTI", "--option", "PUT", "--premium",
                      "1", "--fp", "0", "--type", "0"})
                  .out,
              "0\n");
}

TEST(CalendarCli, TradingDayPrintsOneOrZero) {
    EXPECT_EQ(RunCli({"trading-day", "--date", "20211231"}).out, "0\n");
    EXPECT_EQ(RunCli({"trading-day", "--date", "20211230"}).out, "1\n");
    EXPECT_EQ(RunCli({"trading-day", "--date", "20400102"}).out, "0\n");
    const Outcome past2038 = RunCli({"trading-day", "--date", "20400103"});
    EXPECT_EQ(past2038.status, kExitDone);
    EXPECT_EQ(past2038.out, "1\n");
}

TEST(CalendarCli, HolidaysListsTheTenDaysInIndexOrder) {
    const Outcome year = RunCli({"holidays", "--year", "2022"});
    EXPECT_EQ(year.status, kExitDone);
    EXPECT_EQ(year.out,
              "31.12.2021\n17.01.2022\n21.02.2022\n15.04.2022\n30.05.2022\n"
              "04.07.2022\n05.09.2022\n24.11.2022\n26.12.2022\n20.06.2022\n");
}

TEST(CalendarCli, HolidaysOfTheCurrentYearFollowToday) {
    const Outcome current = RunCli({"holidays", "--year", "-65535", "--today", "20400615"});
    EXPECT_EQ(current.status, kExitDone);
    EXPECT_EQ(current.out, RunCli({"holidays", "--year", "2040"}).out);
    EXPECT_NE(current.out.find("30.03.2040\n"), std::string::npos);
}

class CalendarCliUsage : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CalendarCliUsage, IsRefusedWithOneLine) {
    const Outcome outcome = RunCli(GetParam());
    EXPECT_EQ(outcome.status, kExitUsage);
    EXPECT_EQ(outcome.out, "");
    ASSERT_FALSE(outcome.err.empty());
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

const std::vector<std::string> kPrice{"price",    "--strike", "1.1",       "--symbol", "EUR",
                                      "--option", "CALL",     "--premium", "0.012",    "--fp",
                                      "10",       "--type",   "2"};

std::vector<std::string> PriceWith(std::size_t index, const std::string& value) {
    std::vector<std::string> args = kPrice;
    args[index] = value;
    return args;
}

std::vector<std::string> PriceWithout(std::size_t index) {
    std::vector<std::string> args = kPrice;
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(index),
               args.begin() + static_cast<std::ptrdiff_t>(index) + 2);
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, CalendarCliUsage,
    testing::Values(
        PriceWithout(1), PriceWithout(3), PriceWithout(5), PriceWithout(7), PriceWithout(9),
        PriceWithout(11), PriceWith(2, "1,1"), PriceWith(2, "abc"), PriceWith(6, "call"),
        PriceWith(8, ""), PriceWith(10, "ten"), PriceWith(12, "3"), PriceWith(12, "2.0"),
        std::vector<std::string>{"price", "--strike"}, std::vector<std::string>{"trading-day"},
        std::vector<std::string>{"trading-day", "--date", "2021-12-31"},
        std::vector<std::string>{"trading-day", "--date", "20210230"},
        std::vector<std::string>{"trading-day", "--date", "20211231", "extra"},
        std::vector<std::string>{"trading-day", "--day", "20211231"},
        std::vector<std::string>{"holidays"}, std::vector<std::string>{"holidays", "--year", "abc"},
        std::vector<std::string>{"holidays", "--year", "0"},
        std::vector<std::string>{"holidays", "--year", "10000"},
        std::vector<std::string>{"holidays", "--year", "-1"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param); });

}  // namespace
}  // namespace zarvex::cli
