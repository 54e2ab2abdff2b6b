#include "analytics/board/alert_check.h"

#include <cmath>

#include "common/date.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

// The figures are decimal texts: a change is taken as rounded to their decimals (and a
// percentage to ten places), so that a move of exactly the rule's amount is no move beyond it.
bool Holds(const AlertRule& rule, const FigureValue& today, const FigureValue* previous) {
    const double now = today.number.value_or(0.0);
    const bool known = previous != nullptr && previous->number.has_value();
    const double before = known ? *previous->number : 0.0;
    switch (rule.test) {
        case AlertTest::kAbove:
            return now > rule.value;
        case AlertTest::kBelow:
            return now < rule.value;
        case AlertTest::kCrosses:
            // From one side of the value to it or beyond: a figure that only touches the value
            // from where it stood fires once, on the day it gets there.
            return known && ((before < rule.value && now >= rule.value) ||
                             (before > rule.value && now <= rule.value));
        case AlertTest::kMoves: {
            if (!known) {
                return false;
            }
            const double moved = std::fabs(Change(today, *previous).value_or(0.0));
            if (!rule.percent) {
                return moved > rule.value;
            }
            if (before == 0.0) {
                return false;
            }
            return std::round(moved / std::fabs(before) * 100.0 * 1e10) / 1e10 > rule.value;
        }
    }
    return false;
}

std::string ValueText(const AlertRule& rule) {
    return common::FormatShort(rule.value) + (rule.percent ? "%" : "");
}

}  // namespace

std::vector<FiredAlert> EvaluateAlerts(const std::vector<AlertRule>& rules, const Board& board) {
    std::vector<FiredAlert> fired;
    for (const AlertRule& rule : rules) {
        const SymbolBoard* symbol = board.Find(rule.symbol);
        if (symbol == nullptr) {
            continue;
        }
        const BoardContract* contract =
            rule.contract == "front" ? symbol->Front() : symbol->Find(rule.contract);
        if (contract == nullptr) {
            continue;
        }
        const bool symbol_wide = Figure(rule.figure).In(figure_output::kSymbol);
        std::optional<FigureValue> across_days[2];
        if (symbol_wide) {
            // The symbol's previous stored day, whether or not this contract had rows then.
            across_days[0] = symbol->volatility ? symbol->volatility->today.Of(rule.figure)
                                                : FigureValue::FromExact(std::nullopt);
            if (symbol->volatility && symbol->volatility->previous) {
                across_days[1] = symbol->volatility->previous->Of(rule.figure);
            }
        }
        const FigureValue& today = symbol_wide ? *across_days[0] : contract->today[rule.figure];
        if (!today.number) {
            continue;
        }
        const FigureValue* previous =
            symbol_wide ? (across_days[1] ? &*across_days[1] : nullptr)
                        : (contract->previous ? &(*contract->previous)[rule.figure] : nullptr);
        if (!Holds(rule, today, previous)) {
            continue;
        }
        FiredAlert alert;
        alert.rule = rule;
        alert.date = symbol->date;
        alert.contract = contract->contract;
        alert.today = common::TrimCopy(today.text);
        alert.previous = previous != nullptr ? common::TrimCopy(previous->text) : "";
        alert.message = rule.symbol + " " + contract->contract + " " +
                        std::string(Figure(rule.figure).key) + " " +
                        (alert.previous.empty() ? "" : alert.previous + " -> ") + alert.today +
                        ": " + std::string(AlertTestWord(rule.test)) + " " + ValueText(rule);
        fired.push_back(std::move(alert));
    }
    return fired;
}

std::vector<std::string> UnmatchedRules(const std::vector<AlertRule>& rules, const Board& board) {
    std::vector<std::string> lines;
    for (const AlertRule& rule : rules) {
        const SymbolBoard* symbol = board.Find(rule.symbol);
        if (symbol == nullptr || symbol->date == common::kInvalidDate) {
            continue;
        }
        const bool front = rule.contract == "front";
        if ((front ? symbol->Front() : symbol->Find(rule.contract)) != nullptr) {
            continue;
        }
        lines.push_back("line " + std::to_string(rule.line) + ": " + common::Capped(rule.text) +
                        ": " + (front ? "no contract" : "contract " + rule.contract) +
                        " is not stored on " + common::DayText(symbol->date));
    }
    return lines;
}

}  // namespace zarvex::analytics
