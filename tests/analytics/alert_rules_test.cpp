#include "analytics/board/alert_rules.h"

#include <gtest/gtest.h>

#include "analytics/board/alert_check.h"
#include "support/case_name.h"

namespace zarvex::analytics {
namespace {

FigureId Named(std::string_view key) {
    return FigureByKey(key).value();
}

// --- Reading the rules: every broken line is named with its number and skipped ---

struct BrokenLine {
    const char* line;
    const char* says;  // a part of the message
};

class BrokenRuleLine : public ::testing::TestWithParam<BrokenLine> {};

TEST_P(BrokenRuleLine, IsReportedWithItsNumberAndTheOthersStillCount) {
    const std::string text = std::string("# header\nEUR front call_level above 1.3\n") +
                             GetParam().line + "\r\nGBP MAR13-EU put_oi moves 5%\n";
    const AlertRules rules = ParseAlertRules(text);
    ASSERT_EQ(rules.errors.size(), 1u);
    EXPECT_EQ(rules.errors[0].line, 3);
    EXPECT_EQ(rules.errors[0].message.rfind("line 3: ", 0), 0u) << rules.errors[0].message;
    EXPECT_NE(rules.errors[0].message.find(GetParam().says), std::string::npos)
        << rules.errors[0].message;
    ASSERT_EQ(rules.rules.size(), 2u);
    EXPECT_EQ(rules.rules[1].line, 4);
}

const BrokenLine kBrokenLines[] = {
    {"EUR front call_level above", "expected 5 fields"},
    {"EUR front call_level above 1 2", "found 6"},
    {"XAU front call_level above 1", "unknown symbol \"XAU\""},
    {"EUR front call_lvl above 1", "unknown figure \"call_lvl\""},
    {"EUR front call_level over 1", "unknown test \"over\""},
    {"EUR front call_level above one", "not a number"},
    {"EUR front call_level above nan", "not a number"},
    {"EUR front call_level above 5%", "\"moves\" only"},
    {"EUR front call_level moves 0", "above 0"},
    {"EUR front call_level moves -3%", "above 0"},
    {"EUR front call_level moves %", "not a number"},
    {"\x01\xff \xfe", "expected 5 fields"},
};
INSTANTIATE_TEST_SUITE_P(Lines, BrokenRuleLine, ::testing::ValuesIn(kBrokenLines),
                         [](const auto& test_case) {
                             return test::CaseName(test_case.index, test_case.param.line);
                         });

TEST(AlertRules, ReadsFieldsLooselyAndKeepsTheLineAsWritten) {
    const AlertRules rules =
        ParseAlertRules("  eur\tFRONT  Max_Pain   CROSSES 1.2650  \n\n   # note\ngbp x y");
    ASSERT_EQ(rules.rules.size(), 1u);
    const AlertRule& rule = rules.rules[0];
    EXPECT_EQ(rule.symbol, "EUR");
    EXPECT_EQ(rule.contract, "front");
    EXPECT_EQ(rule.figure, Named("max_pain"));
    EXPECT_EQ(rule.test, AlertTest::kCrosses);
    EXPECT_DOUBLE_EQ(rule.value, 1.265);
    EXPECT_EQ(rule.text, "eur\tFRONT  Max_Pain   CROSSES 1.2650");
    ASSERT_EQ(rules.errors.size(), 1u);
    EXPECT_EQ(rules.errors[0].line, 4);
    // The header a new file starts with is all comments.
    const AlertRules header = ParseAlertRules(AlertRulesFileHeader());
    EXPECT_TRUE(header.rules.empty());
    EXPECT_TRUE(header.errors.empty());
}

// --- Checking the rules on a board ---

struct Evaluation {
    const char* rule;
    const char* today;
    const char* previous;  // nullptr: the contract had no rows the day before
    bool fires;
};

class RuleOnBoard : public ::testing::TestWithParam<Evaluation> {};

TEST_P(RuleOnBoard, FiresExactlyWhenItsTestHolds) {
    Board board;
    board.date = common::MakeDate(2012, 12, 7);
    SymbolBoard eur;
    eur.symbol = "EUR";
    eur.date = board.date;
    for (const char* name : {"DEC12-AM", "MAR13-EU"}) {
        BoardContract contract;
        contract.contract = name;
        contract.today[Named("call_level")] = FigureValue::FromText(GetParam().today);
        if (GetParam().previous != nullptr) {
            ContractDayFigures previous;
            previous[Named("call_level")] = FigureValue::FromText(GetParam().previous);
            contract.previous = previous;
        }
        eur.contracts.push_back(contract);
    }
    eur.contracts.front().front = true;
    board.symbols.push_back(eur);
    const AlertRules rules = ParseAlertRules(GetParam().rule);
    ASSERT_EQ(rules.rules.size(), 1u) << rules.errors.at(0).message;
    const std::vector<FiredAlert> fired = EvaluateAlerts(rules.rules, board);
    ASSERT_EQ(fired.size(), GetParam().fires ? 1u : 0u);
    if (GetParam().fires) {
        EXPECT_NE(fired[0].message.find(fired[0].contract + " call_level"), std::string::npos);
    }
}

const Evaluation kEvaluations[] = {
    {"EUR front call_level above 1.3", "1.3001", "1.2", true},
    {"EUR front call_level above 1.3", "1.3000", "1.2", false},
    {"EUR front call_level below 1.3", "1.2999", nullptr, true},
    {"EUR front call_level crosses 1.3", "1.3000", "1.2990", true},
    {"EUR front call_level crosses 1.3", "1.2900", "1.3100", true},
    {"EUR front call_level crosses 1.3", "1.3100", "1.3000", false},
    {"EUR front call_level crosses 1.3", "1.3100", nullptr, false},
    {"EUR front call_level moves 0.01", "1.3100", "1.2999", true},
    {"EUR front call_level moves 0.01", "1.3100", "1.3000", false},
    {"EUR front call_level moves 1%", "1.0110", "1.0000", true},
    {"EUR front call_level moves 1%", "1.0100", "1.0000", false},
    {"EUR front call_level moves 1%", "0.0100", "0.0000", false},
    {"EUR MAR13-EU call_level above 1", "1.3000", "1.3", true},
    {"EUR JUN13-EU call_level above 1", "1.3000", "1.3", false},
    {"GBP front call_level above 1", "1.3000", "1.3", false},
    {"EUR front call_level below 2", " ", "1.3", false},
    {"EUR front atm_vol below 100", "1.3000", "1.3", false},
};
INSTANTIATE_TEST_SUITE_P(Tests, RuleOnBoard, ::testing::ValuesIn(kEvaluations),
                         [](const auto& test_case) {
                             return test::CaseName(
                                 test_case.index,
                                 std::string(test_case.param.rule) + " " + test_case.param.today);
                         });

// --- A symbol's figures across days: the symbol's, on whichever of its contracts ---

struct AcrossDays {
    const char* rule;
    std::optional<double> today;     // nullopt: not defined on the day (fewer than 20 days)
    std::optional<double> previous;  // nullopt: not defined on the previous day
    bool stored = true;              // false: the volatility store could not be read
    bool fires;
};

class SymbolFigureRule : public ::testing::TestWithParam<AcrossDays> {};

TEST_P(SymbolFigureRule, FiresOnTheSymbolsValuesAndNeverWhereTheyAreNotDefined) {
    Board board;
    board.date = common::MakeDate(2025, 12, 5);
    SymbolBoard eur;
    eur.symbol = "EUR";
    eur.date = board.date;
    // The front contract is new on the day (no previous figures): the previous day is the
    // symbol's.
    for (const char* name : {"DEC25-AM", "MAR26-AM"}) {
        BoardContract contract;
        contract.contract = name;
        contract.today[Named("call_level")] = FigureValue::FromText("1.1000");
        eur.contracts.push_back(contract);
    }
    eur.contracts.front().front = true;
    if (GetParam().stored) {
        SymbolVolatility volatility;
        volatility.today.values[1] = GetParam().today;
        volatility.previous.emplace();
        volatility.previous->values[1] = GetParam().previous;
        eur.volatility = volatility;
    }
    board.symbols.push_back(eur);
    const AlertRules rules = ParseAlertRules(GetParam().rule);
    ASSERT_EQ(rules.rules.size(), 1u) << rules.errors.at(0).message;
    const std::vector<FiredAlert> fired = EvaluateAlerts(rules.rules, board);
    ASSERT_EQ(fired.size(), GetParam().fires ? 1u : 0u);
    if (GetParam().fires) {
        EXPECT_EQ(fired[0].today, FigureValue::FromExact(GetParam().today).text);
        EXPECT_NE(fired[0].message.find(fired[0].contract + " iv_rank "), std::string::npos)
            << fired[0].message;
    }
}

const AcrossDays kAcrossDays[] = {
    {"EUR front iv_rank above 90", 91.5, 80.0, true, true},
    {"EUR front iv_rank above 90", 90.0, 80.0, true, false},
    {"EUR front iv_rank above 90", std::nullopt, 95.0, true, false},
    {"EUR front iv_rank below 10", std::nullopt, std::nullopt, true, false},
    {"EUR MAR26-AM iv_rank below 10", 4.0, std::nullopt, true, true},
    {"EUR front iv_rank crosses 50", 55.0, 45.0, true, true},
    {"EUR front iv_rank crosses 50", 55.0, std::nullopt, true, false},
    {"EUR front iv_rank crosses 50", std::nullopt, 45.0, true, false},
    {"EUR front iv_rank moves 10", 70.0, 59.0, true, true},
    {"EUR front iv_rank moves 10%", 70.0, 64.0, true, false},
    {"EUR front iv_rank moves 10", 70.0, std::nullopt, true, false},
    {"EUR front iv_rank above -1", 0.0, 0.0, false, false},
    {"EUR JUN26-AM iv_rank above -1", 50.0, 50.0, true, false},
};
INSTANTIATE_TEST_SUITE_P(Rules, SymbolFigureRule, ::testing::ValuesIn(kAcrossDays),
                         [](const auto& test_case) {
                             return test::CaseName(test_case.index, test_case.param.rule);
                         });

}  // namespace
}  // namespace zarvex::analytics
