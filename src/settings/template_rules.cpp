#include "settings/template_rules.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/date.h"
#include "common/symbols.h"
#include "common/text.h"
#include "common/text_id.h"
#include "settings/template_parts.h"
#include "storage/grouped_condition.h"

namespace zarvex::settings {

namespace {

constexpr std::array<std::string_view, 6> kFileNameTokens{"SYM",   "OPT",  "DAY",
                                                          "MONTH", "YEAR", "CONT"};
constexpr std::array<std::string_view, 9> kOperators{"+", "-", "*",   "/", "=",
                                                     ">", "<", "AND", "OR"};
constexpr std::array<std::string_view, 2> kOptionWords{"CALL", "PUT"};
constexpr std::array<std::string_view, 12> kMonths{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

template <std::size_t N>
bool IsOneOf(std::string_view word, const std::array<std::string_view, N>& words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

std::size_t CountOf(std::string_view text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

// Whether a token reads as 0 the way atof reads it. Only the digits of the leading decimal
// number matter: an exponent cannot make a non-zero mantissa 0 or the reverse, and hex, inf
// and nan forms fail both the number test and the date test whatever their value. Counting
// digits instead of converting keeps 400 digits from overflowing into a wrong answer.
bool ReadsAsZero(std::string_view token) {
    std::size_t at = 0;
    if (at < token.size() && (token[at] == '+' || token[at] == '-')) {
        ++at;
    }
    bool point = false;
    for (; at < token.size(); ++at) {
        const char c = token[at];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '1' && c <= '9') {
            return false;
        } else if (c != '0') {
            break;
        }
    }
    return true;
}

bool IsNumber(std::string_view token) {
    // Comma, minus, point, slash and digits are the characters from "," to "9".
    const bool plain =
        std::all_of(token.begin(), token.end(), [](char c) { return c >= ',' && c <= '9'; });
    return plain && !ReadsAsZero(token);
}

bool IsDate(std::string_view token) {
    if (!ReadsAsZero(token)) {
        return false;
    }
    std::string unquoted(token);
    unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '\''), unquoted.end());
    return common::ParseDate(unquoted, "%dd.%mm.%yyyy") != common::kInvalidDate;
}

bool IsOperand(std::string_view token) {
    return IsOneOf(token, kColumnNames) || IsOneOf(token, kOptionWords) ||
           (token.size() >= 3 && IsOneOf(token.substr(0, 3), kMonths)) ||
           common::ChartIndex(token) >= 0 || token == "0" || IsNumber(token) || IsDate(token);
}

bool IsValidFieldList(std::string_view part) {
    const std::vector<std::string_view> fields = ListItems(part);
    return std::all_of(fields.begin(), fields.end(),
                       [](std::string_view field) { return IsOneOf(field, kColumnNames); });
}

// The condition part of a line holds one item, and that item passes the condition rule. A
// comma followed by a blank starts no item: whether such a part can run is the unload's
// question (IsValidForTheUnload), asked of the one line it reads.
bool IsValidConditionPart(std::string_view part) {
    const std::vector<std::string_view> items = ListItems(part);
    return items.size() == 1 && IsValidCondition(items.front());
}

// The condition the unload takes from the whole template must be one it can run: none, or one
// without a comma (no row value) that passes the condition rule. The field names need no such
// test: a name the unload does not know writes nothing.
bool IsValidForTheUnload(std::string_view text) {
    const std::string_view condition = SplitDataTemplate(text).condition;
    return condition.empty() ||
           (condition.find(',') == std::string_view::npos && IsValidCondition(condition));
}

// Never more closed than opened at any point, all closed at the end: counting alone lets
// ")oi>0(" through, and a condition that closes early leaves the group its query puts it in.
bool ParenthesesNestInOrder(std::string_view text) {
    long depth = 0;
    for (char c : text) {
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

// A part is read at its place among the brace parts, as the unload takes them: the first is
// the field list, the second the condition. Every part but the last is examined; one that
// does not start with a non-blank character (one blank standing for "no condition") is
// skipped, and parts after the second are not examined.
bool IsValidTemplateLine(std::string_view line) {
    const std::size_t opening = CountOf(line, '{');
    if (opening != CountOf(line, '}') || opening < 3) {
        return false;
    }
    const std::vector<std::string_view> parts = BraceContents(line);
    for (std::size_t i = 0; i < 2 && i + 1 < parts.size(); ++i) {
        if (parts[i].empty() || IsPcreSpace(parts[i].front())) {
            continue;
        }
        if (i == 0 ? !IsValidFieldList(parts[i]) : !IsValidConditionPart(parts[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

CheckResult CheckFileNameTemplate(std::string_view text) {
    const CheckResult invalid = CheckResult::Invalid(common::text::kBadFileNameTemplate);
    const std::string_view trimmed = common::Trim(text);
    if (trimmed.empty() || CountOf(trimmed, '{') != CountOf(trimmed, '}')) {
        return invalid;
    }
    for (std::string_view token : NonBlankBraceContents(trimmed)) {
        if (!IsOneOf(token, kFileNameTokens)) {
            return invalid;
        }
    }
    return CheckResult::Valid();
}

CheckResult CheckDataTemplate(std::string_view text) {
    const std::string_view trimmed = common::Trim(text);
    if (trimmed.empty()) {
        return CheckResult::Invalid(common::text::kBadDataTemplate);
    }
    for (std::string_view line : TemplateLines(trimmed)) {
        if (!IsValidTemplateLine(line)) {
            return CheckResult::Invalid(common::text::kBadDataTemplate);
        }
    }
    if (!IsValidForTheUnload(trimmed)) {
        return CheckResult::Invalid(common::text::kBadDataTemplate);
    }
    return CheckResult::Valid();
}

CheckResult CheckCondition(std::string_view text, ConditionUse use) {
    if (IsValidCondition(text)) {
        return CheckResult::Valid();
    }
    switch (use) {
        case ConditionUse::kLevel:
            return CheckResult::Invalid(common::text::kBadLevelCondition);
        case ConditionUse::kFractal:
            return CheckResult::Invalid(common::text::kBadFractalCondition);
        case ConditionUse::kBar:
            break;
    }
    return CheckResult::Invalid(common::text::kBadBarCondition);
}

bool IsValidCondition(std::string_view text) {
    const std::string_view trimmed = common::Trim(text);
    // Both the parentheses as written and those SQLite sees outside the quotes must nest: a
    // quoted "(" would otherwise let an unquoted ")" close the query's group. Whatever the
    // query-time guard refuses (a bind parameter, a subquery) is refused here already.
    if (trimmed.empty() || !ParenthesesNestInOrder(trimmed) || storage::GroupRefusal(trimmed)) {
        return false;
    }
    std::string copy;
    copy.reserve(trimmed.size() * 3);
    for (char c : trimmed) {
        if (c != '(' && c != ')') {
            copy.push_back(c);
        }
    }
    ReplaceAll(copy, "<>", "<");
    ReplaceAll(copy, "<=", "<");
    ReplaceAll(copy, ">=", ">");
    std::string spaced;
    spaced.reserve(copy.size() * 3);
    for (char c : copy) {
        if (std::string_view("<>=*-/+").find(c) != std::string_view::npos) {
            spaced.push_back(' ');
            spaced.push_back(c);
            spaced.push_back(' ');
        } else {
            spaced.push_back(c);
        }
    }
    const std::vector<std::string_view> tokens = ConditionTokens(spaced);
    // An even count ends on an operator, which no query can take.
    if (tokens.size() < 3 || tokens.size() % 2 == 0) {
        return false;
    }
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const bool operand_expected = i % 2 == 0;
        if (operand_expected ? !IsOperand(tokens[i]) : !IsOneOf(tokens[i], kOperators)) {
            return false;
        }
    }
    return true;
}

}  // namespace zarvex::settings
