#include "settings/template_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>

#include "common/program_folder.h"
#include "common/text.h"
#include "common/text_id.h"
#include "settings/settings.h"
#include "settings/template_parts.h"
#include "storage/database.h"
#include "storage/grouped_condition.h"
#include "storage/statement.h"
#include "support/case_name.h"

namespace zarvex::settings {
namespace {

struct RuleCase {
    std::string text;
    bool valid;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text) << (c.valid ? " valid" : " invalid");
}

std::string Repeat(std::string_view piece, std::size_t times, std::string_view between = "") {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        if (i != 0) {
            text += between;
        }
        text += piece;
    }
    return text;
}

class ConditionRule : public testing::TestWithParam<RuleCase> {};

TEST_P(ConditionRule, Decides) {
    EXPECT_EQ(IsValidCondition(GetParam().text), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ConditionRule,
    testing::Values(
        // Two-character operators count as one; the minus of "-1" stands where an operand
        // belongs; "0.0" reads as 0 and is no date.
        RuleCase{"oi>=1000 AND sign>=0", true}, RuleCase{"sign>-1", false},
        RuleCase{"delta>0.0", false}, RuleCase{"delta>0", true}, RuleCase{"delta>0.5", true},
        RuleCase{"oi>10 and sign>0", false}, RuleCase{"(oi>10 AND sign>0", false},
        RuleCase{"date='07.12.2012'", true}, RuleCase{"option='CALL'", false},
        RuleCase{"option=CALL", true}, RuleCase{"oi<>5 OR oi<=2", true},
        RuleCase{"((oi>10)) AND (sign>0)", true}, RuleCase{"strike*oi/2+volume-doi>1000", true},
        RuleCase{"contract=DEC12", true}, RuleCase{"symb=EUR", true}, RuleCase{"oi > 10", true},
        RuleCase{"   oi>10   ", true}, RuleCase{"date=07.12.2012", true},
        // A comma and a slash are number characters.
        RuleCase{"strike>1,5", true}, RuleCase{"strike>3/4", true}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

INSTANTIATE_TEST_SUITE_P(
    Breaking, ConditionRule,
    testing::Values(RuleCase{"", false}, RuleCase{"     ", false}, RuleCase{"oi", false},
                    RuleCase{"oi>", false}, RuleCase{"oi>10)", false}, RuleCase{")oi>10(", false},
                    // Ending on an operator can never make a query.
                    RuleCase{"oi>10 AND", false}, RuleCase{"oi>10 AND AND sign>0", false},
                    RuleCase{"AND oi>10", false}, RuleCase{"oi 10 >", false},
                    RuleCase{"OI>10", false}, RuleCase{"oi!=5", false}, RuleCase{"oi>'10'", false},
                    RuleCase{"oi>1e3", false}, RuleCase{"oi>0x10", false},
                    RuleCase{"oi>10;DROP TABLE dating", false},
                    RuleCase{"oi>10; DROP TABLE dating", false}, RuleCase{"oi>10 -- x", false},
                    RuleCase{"date='32.12.2012'", false}, RuleCase{"date='7.12.2012'", false},
                    RuleCase{"date=''07.12.2012'", true}, RuleCase{"date=\"07.12.2012\"", false},
                    // Blanks alone separate: a tab stays on its token.
                    RuleCase{"oi\t>\t10", false}, RuleCase{"oi>10\t", false},
                    RuleCase{"\xD0\xBE\xD0\xB8>10", false}, RuleCase{"oi>\xEF\xBC\x90", false},
                    RuleCase{std::string("oi>1\0", 5), false},
                    RuleCase{"oi>" + std::string(400, '9'), true},
                    RuleCase{"oi>0." + std::string(400, '0') + "1", true},
                    RuleCase{"oi>" + std::string(400, '0'), false},
                    RuleCase{Repeat("oi>10", 50000, " AND "), true},
                    RuleCase{Repeat("oi>10", 50000, " AND ") + " AND oi>x", false},
                    RuleCase{std::string(100000, '(') + "oi>1" + std::string(100000, ')'), true},
                    RuleCase{std::string(100000, '(') + "oi>1" + std::string(99999, ')'), false},
                    RuleCase{std::string(200000, '-'), false}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

// Parentheses must nest as written and as SQLite reads them, or a condition closes the
// group that its query puts it in and reaches other days and contracts.
INSTANTIATE_TEST_SUITE_P(
    Escaping, ConditionRule,
    testing::Values(RuleCase{"oi>0) OR (oi>0", false}, RuleCase{" 1) OR (1", false},
                    RuleCase{"(oi>0) OR (oi>0)", true},
                    RuleCase{"date='(07.12.2012') OR (oi>0 OR date=')07.12.2012'", false},
                    RuleCase{"(date='07.12.2012') OR (date=')07.12.2012(')", true},
                    RuleCase{"date=''07.12.2012' OR (oi>0)", true}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

TEST(ConditionRule, MessageFollowsTheSetting) {
    EXPECT_EQ(CheckCondition("oi>10", ConditionUse::kLevel), CheckResult::Valid());
    EXPECT_EQ(CheckCondition("oi>", ConditionUse::kLevel),
              CheckResult::Invalid(common::text::kBadLevelCondition));
    EXPECT_EQ(CheckCondition("oi>", ConditionUse::kFractal),
              CheckResult::Invalid(common::text::kBadFractalCondition));
    EXPECT_EQ(CheckCondition("oi>", ConditionUse::kBar),
              CheckResult::Invalid(common::text::kBadBarCondition));
}

class FileNameRule : public testing::TestWithParam<RuleCase> {};

TEST_P(FileNameRule, Decides) {
    const CheckResult result = CheckFileNameTemplate(GetParam().text);
    EXPECT_EQ(result.valid, GetParam().valid);
    EXPECT_EQ(result.message, result.valid ? -1 : common::text::kBadFileNameTemplate);
}

INSTANTIATE_TEST_SUITE_P(
    TemplateRules, FileNameRule,
    testing::Values(RuleCase{"{SYM}{YEAR}{MONTH}{DAY}", true}, RuleCase{"{CONT}", true},
                    RuleCase{"{SYM}_{YEAR}", true}, RuleCase{"{OPT}{SYM}", true},
                    RuleCase{"no braces", true}, RuleCase{"{}", true},
                    // An empty pair takes the next pair into its content.
                    RuleCase{"{}{SYM}", false},
                    // Only contents that start with a non-blank character are looked at.
                    RuleCase{"{ nonsense}", true}, RuleCase{"  {SYM}  ", true}, RuleCase{"", false},
                    RuleCase{"   ", false}, RuleCase{"{SYM", false}, RuleCase{"SYM}", false},
                    RuleCase{"{sym}", false}, RuleCase{"{SYM }", false},
                    RuleCase{"{SYM}{XYZ}", false}, RuleCase{"{{SYM}}", false},
                    RuleCase{"{SY\nM}", false}, RuleCase{"{SYM;rm}", false},
                    RuleCase{"{\xD0\xA1YM}", false}, RuleCase{"{../SYM}", false},
                    RuleCase{Repeat("{SYM}", 100000), true},
                    RuleCase{Repeat("{SYM}", 100000) + "{X}", false},
                    RuleCase{std::string(200000, '}') + std::string(200000, '{'), true},
                    RuleCase{std::string(200000, '{'), false}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

class DataTemplateRule : public testing::TestWithParam<RuleCase> {};

TEST_P(DataTemplateRule, Decides) {
    const CheckResult result = CheckDataTemplate(GetParam().text);
    EXPECT_EQ(result.valid, GetParam().valid);
    EXPECT_EQ(result.message, result.valid ? -1 : common::text::kBadDataTemplate);
}

const std::string kAllFields =
    "{strike,price,delta,volume,oi,doi,sign,symb,option,contract,"
    "expiration,date}";

INSTANTIATE_TEST_SUITE_P(
    TemplateRules, DataTemplateRule,
    testing::Values(
        RuleCase{kAllFields + "{oi>10 AND delta>0 AND price>0}{,}", true},
        // A blank condition part is skipped: the separator becomes the last part.
        RuleCase{kAllFields + "{ }{,}", true}, RuleCase{"{strike}{oi>0}{;;}", true},
        RuleCase{"before {strike}{oi>0}{;} after", true},
        RuleCase{"{strike}{oi>0}{,}\r{price}{ }{;}", true},
        RuleCase{"{strike}{oi>0}{,}\r\n{price}{ }{;}\n", true},
        RuleCase{"{strike}{oi>0}{parts after the second are not looked at}{,}", true},
        RuleCase{"{strike, price}{oi>0}{,}", true},
        RuleCase{"{strike}{date='07.12.2012'}{\xE2\x86\x92}", true},
        RuleCase{"no braces at all", true}, RuleCase{"", false}, RuleCase{"  ", false},
        RuleCase{"{strike}{,}", false}, RuleCase{"{strike}{oi>0}{,}}", false},
        RuleCase{"{Strike}{oi>0}{,}", false}, RuleCase{"{strike }{oi>0}{,}", false},
        RuleCase{"{strike,,price}{oi>0}{,}", false}, RuleCase{"{strike}{oi>10,sign>0}{,}", false},
        // A comma in the condition part breaks the unload's query, with a blank after it too.
        RuleCase{"{strike}{oi>10, sign>0}{,}", false}, RuleCase{"{strike}{oi>10,}{,}", false},
        RuleCase{"{strike}{oi>10 and sign>0}{,}", false}, RuleCase{"{strike}{-}{,}", false},
        RuleCase{"{strike}{symb='EUR'}{,}", false},
        RuleCase{"{strike}{oi>0;DELETE FROM dating}{,}", false},
        RuleCase{"{strike}{\xD0\xBE\xD0\xB8>0}{,}", false},
        RuleCase{"{strike}{oi>0}{,}\r{price}{,}", false},
        RuleCase{Repeat(kAllFields + "{oi>10}{,}", 5000, "\r"), true},
        RuleCase{Repeat(kAllFields + "{oi>10}{,}", 5000, "\r") + "\r{x}{oi>10}{,}", false},
        // What the unload runs is checked, also a condition part that starts with a blank.
        RuleCase{"{strike,symb,date}{oi>0) OR (oi>0}{,}", false},
        RuleCase{"{strike,date}{ 1) OR (1}{,}", false}, RuleCase{"{strike}{ oi>0}{,}", true},
        RuleCase{"{strike}{  }{,}", false},
        // Parts are read by their place, as the unload reads them: after a blank condition
        // part come the separator and parts nobody examines; a one-character condition part
        // that is no blank is examined, whatever follows it.
        RuleCase{"{sign,contract}{ }{|}{extra}", true}, RuleCase{"{oi,option}{x}{ }", false},
        RuleCase{"{symb,sign}{x}{ }", false},
        // Only the unload's own line must give it a condition it can run.
        RuleCase{"{strike}{oi>0}{,}\r{price}{oi>10, sign>0}{;}", true},
        RuleCase{"{ ,Strike}{oi>0}{,}", true},
        RuleCase{std::string(100000, '{') + std::string(100000, '}'), false},
        RuleCase{std::string(100000, '}') + std::string(100000, '{'), false}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

// Random templates from the pieces that matter to the splits and the rules: whatever passes
// the check, the unload's query over it (its split, its grouping) reads only the day's rows
// of the symbol, and the fields it writes are column names.
TEST(TemplateRules, WhatTheUnloadRunsHasPassedTheCheck) {
    // Three brace parts of random pieces, braces and line ends among them, so that the
    // splits go astray now and then.
    const std::vector<std::string> field_pieces{"strike", "strike", ",date", " ", "x", "{", "}"};
    const std::vector<std::string> condition_pieces{"oi>0",
                                                    "oi>0",
                                                    "oi>0",
                                                    " OR ",
                                                    " OR ",
                                                    " AND ",
                                                    "(",
                                                    ")",
                                                    "(",
                                                    ")",
                                                    "(oi>1",
                                                    "1)",
                                                    "date='07.12.2012'",
                                                    "'",
                                                    " ",
                                                    "1",
                                                    ",",
                                                    "{",
                                                    "}",
                                                    "x",
                                                    "\n",
                                                    "--"};
    const std::vector<std::string> separator_pieces{",", ";", " ", "{", "}", "\r"};
    storage::Database db = storage::Database::Open(":memory:");
    ASSERT_TRUE(db.Execute(
        "CREATE TABLE dating (strike REAL, price REAL, delta REAL, volume INTEGER, oi INTEGER, "
        "doi INTEGER, sign TEXT, symb TEXT, option TEXT, contract TEXT, expiration TEXT, "
        "date TEXT)"));
    ASSERT_TRUE(db.Execute(
        "INSERT INTO dating VALUES (1.1, 0.01, 0.5, 1, 5, 1, '1', 'EUR', 'CALL', 'DEC12', "
        "'14.12.2012', '07.12.2012'), (1.2, 0.01, 0.5, 1, 5, 1, '1', 'EUR', 'PUT', 'DEC12', "
        "'14.12.2012', '06.12.2012'), (1.3, 0.01, 0.5, 1, 5, 1, '1', 'GBP', 'PUT', 'DEC12', "
        "'14.12.2012', '07.12.2012')"));
    std::mt19937 random(20121207);
    int passed_with_condition = 0;
    for (int round = 0; round < 200000; ++round) {
        auto some = [&random](const std::vector<std::string>& from, int most) {
            std::string text;
            for (int i = static_cast<int>(random() % (most + 1)); i > 0; --i) {
                text += from[random() % from.size()];
            }
            return text;
        };
        const std::string text = some(separator_pieces, 1) + "{" + some(field_pieces, 4) + "}{" +
                                 some(condition_pieces, 7) + "}{" + some(separator_pieces, 2) +
                                 "}" + some(separator_pieces, 1);
        if (!CheckDataTemplate(text).valid) {
            continue;
        }
        const DataTemplateParts parts = SplitDataTemplate(common::Trim(text));
        // A blank-led field list is skipped by the check; its names only write nothing.
        const std::vector<std::string_view> braces = BraceContents(text);
        const bool fields_examined =
            !braces.empty() && !braces.front().empty() && !IsPcreSpace(braces.front().front());
        for (std::string_view field : parts.fields) {
            EXPECT_TRUE(!fields_examined || std::find(kColumnNames.begin(), kColumnNames.end(),
                                                      field) != kColumnNames.end())
                << text;
        }
        if (parts.condition.empty()) {
            continue;
        }
        ++passed_with_condition;
        const std::optional<std::string> grouped = storage::AndGrouped(parts.condition);
        ASSERT_TRUE(grouped) << text;
        storage::Statement query = db.Prepare(
            "SELECT date, symb FROM dating WHERE symb = 'EUR' AND date = "
            "'07.12.2012'" +
            *grouped);
        while (query.Step()) {
            EXPECT_EQ(query.ColumnText(0), "07.12.2012") << text;
            EXPECT_EQ(query.ColumnText(1), "EUR") << text;
        }
    }
    EXPECT_GT(passed_with_condition, 200);
}

TEST(TemplateRules, DefaultsOfEverySymbolPass) {
    const common::ProgramFolder folder("/nonexistent/zarvex");
    for (const char* symbol : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
        const Settings defaults = DefaultSettings(symbol, folder);
        EXPECT_TRUE(CheckFileNameTemplate(defaults.template_file_name).valid) << symbol;
        EXPECT_TRUE(CheckDataTemplate(defaults.template_output_data).valid) << symbol;
        EXPECT_TRUE(IsValidCondition(defaults.level_cond)) << symbol;
        EXPECT_TRUE(IsValidCondition(defaults.fractal_main_cond)) << symbol;
        EXPECT_TRUE(IsValidCondition(defaults.fractal_near_cond)) << symbol;
        for (const HistogramSettings& histogram : defaults.histograms) {
            EXPECT_TRUE(IsValidCondition(histogram.bar_cond)) << symbol;
        }
    }
}

}  // namespace
}  // namespace zarvex::settings
