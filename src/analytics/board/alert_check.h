#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analytics/board/alert_rules.h"
#include "analytics/board/board.h"

namespace zarvex::analytics {

// A rule that held on the board's day.
struct FiredAlert {
    AlertRule rule;
    common::Date date = common::kInvalidDate;
    std::string contract;  // the contract the rule was checked on ("front" resolved)
    std::string today;     // the figure's text on the day
    std::string previous;  // and on the previous day ("" when it had none)
    // One line for a notification or the status bar:
    // "EUR DEC12-EU call_level 1.2950 -> 1.3050: crosses 1.3000".
    std::string message;
};

// The rules that hold on the board, in rule order. A rule on a symbol or contract the board
// does not hold, or on a figure without a number, does not fire; "crosses" and "moves" need
// the figure on the previous day too. A symbol's figure across days (iv_rank, ...) is the
// symbol's, whichever of its contracts the rule names, and its previous day the symbol's.
std::vector<FiredAlert> EvaluateAlerts(const std::vector<AlertRule>& rules, const Board& board);

// A line for each rule whose symbol the board holds but whose contract it does not: such a
// rule can never fire on the day, and the user should hear why ("line 3: EUR MAR31-XX
// call_level above 1: contract MAR31-XX is not stored on 07.12.2012").
std::vector<std::string> UnmatchedRules(const std::vector<AlertRule>& rules, const Board& board);

}  // namespace zarvex::analytics
