#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/day/figure_catalogue.h"

namespace zarvex::analytics {

enum class AlertTest : std::uint8_t { kAbove, kBelow, kCrosses, kMoves };

// One line of the alert rules: "EUR front call_level crosses 1.3000".
struct AlertRule {
    int line = 0;      // 1-based line of the rule file
    std::string text;  // the line as written, trimmed
    std::string symbol;
    std::string contract;  // a contract code, or "front" for the nearest expiring one
    FigureId figure{};
    AlertTest test = AlertTest::kAbove;
    double value = 0.0;
    bool percent = false;  // "moves 5%": a change relative to the previous day's value
};

struct AlertRuleError {
    int line = 0;
    std::string message;  // "line 3: unknown figure call_lvl"
};

struct AlertRules {
    std::vector<AlertRule> rules;
    std::vector<AlertRuleError> errors;  // one per broken line, which is skipped
};

std::string_view AlertTestWord(AlertTest test);

// Reads the rule file's text: one rule per line, fields separated by blanks or tabs; empty
// lines and lines starting with '#' are skipped. A broken line is reported with its number and
// skipped; the other lines still count.
AlertRules ParseAlertRules(std::string_view text);

// What a new rule file starts with: how to write a rule, as comment lines.
std::string_view AlertRulesFileHeader();

}  // namespace zarvex::analytics
