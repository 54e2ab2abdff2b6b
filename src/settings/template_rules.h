#pragma once

#include <string_view>

// The checks of the settings dialog for the two unload templates and the SQL conditions.
// Each takes the text as typed (blanks at both ends do not count) and answers valid, or the
// entry of the interface text table (common/text_id.h) whose message the dialog shows.
namespace zarvex::settings {

struct CheckResult {
    bool valid = true;
    int message = -1;  // the text entry to show when invalid; -1 when valid

    static constexpr CheckResult Valid() { return {}; }
    static constexpr CheckResult Invalid(int entry) { return {false, entry}; }
    friend bool operator==(const CheckResult&, const CheckResult&) = default;
};

// Which setting a condition belongs to: it decides the message.
enum class ConditionUse {
    kLevel,    // Level_Cond
    kFractal,  // Fractal_Main_Cond, Fractal_Near_Cond
    kBar,      // Bar_Cond_1 .. Bar_Cond_4
};

// The file name template: not empty, as many "{" as "}", and every brace content that starts
// with a non-blank character one of SYM, OPT, DAY, MONTH, YEAR, CONT.
CheckResult CheckFileNameTemplate(std::string_view text);

// The data template: not empty; each of its lines (template_parts.h) holds as many "{" as
// "}", at least three. Its brace parts are read by their place, as the unload reads them
// (BraceContents): the first lists only column names, the second is a single condition that
// passes IsValidCondition; a part that starts with a blank is skipped, later parts and the
// last are not examined. And the condition the unload takes (SplitDataTemplate) is one it can
// run: none, or one without a comma that passes IsValidCondition.
CheckResult CheckDataTemplate(std::string_view text);

// An SQL condition for the setting use.
CheckResult CheckCondition(std::string_view text, ConditionUse use);

// The condition rule alone: operands (column names, CALL, PUT, contract codes, symbols, 0,
// non-zero numbers, dates DD.MM.YYYY in optional quotes) alternating with the operators
// + - * / = > < AND OR, starting and ending with an operand; parentheses that nest, both as
// written and as SQLite reads them outside quotes; nothing the query-time guard refuses
// (storage/grouped_condition.h).
bool IsValidCondition(std::string_view text);

}  // namespace zarvex::settings
