#include "analytics/board/alert_check.h"

#include <cmath>

#include "common/text.h"

namespace zarvex::analytics {

namespace {

bool Holds(const AlertRule& rule, double today, std::optional<double> previous) {
    switch (rule.test) {
        case AlertTest::kAbove:
            return today > rule.value;
        case AlertTest::kBelow:
            return today < rule.value;
        case AlertTest::kCrosses:
            // From one side of the value to it or beyond: a figure that only touches the value
            // from where it stood fires once, on the day it gets there.
            return previous && ((*previous < rule.value && today >= rule.value) ||
                                (*previous > rule.value && today <= rule.value));
        case AlertTest::kMoves: {
            if (!previous) {
                return false;
            }
            const double moved = std::fabs(today - *previous);
            if (!rule.percent) {
                return moved > rule.value;
            }
            return *previous != 0.0 && moved / std::fabs(*previous) * 100.0 > rule.value;
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
        const BoardValue& today = contract->today[rule.figure];
        if (!today.number) {
            continue;
        }
        const BoardValue* previous =
            contract->previous ? &(*contract->previous)[rule.figure] : nullptr;
        const std::optional<double> before =
            previous != nullptr ? previous->number : std::optional<double>();
        if (!Holds(rule, *today.number, before)) {
            continue;
        }
        FiredAlert alert;
        alert.rule = rule;
        alert.date = symbol->date;
        alert.contract = contract->contract;
        alert.today = common::TrimCopy(today.text);
        alert.previous = previous != nullptr ? common::TrimCopy(previous->text) : "";
        alert.message = rule.symbol + " " + contract->contract + " " +
                        std::string(BoardFigureKey(rule.figure)) + " " +
                        (alert.previous.empty() ? "" : alert.previous + " -> ") + alert.today +
                        ": " + std::string(AlertTestWord(rule.test)) + " " + ValueText(rule);
        fired.push_back(std::move(alert));
    }
    return fired;
}

}  // namespace zarvex::analytics
