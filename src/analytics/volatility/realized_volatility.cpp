#include "analytics/volatility/realized_volatility.h"

#include <cmath>

#include "analytics/volatility/constant_maturity.h"

namespace zarvex::analytics {

namespace {

constexpr double kTradingDaysPerYear = 252.0;

const ContractSummary* Find(const DaySummary& day, const std::string& contract) {
    for (const ContractSummary& c : day.contracts) {
        if (c.contract == contract) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace

FuturesStep FuturesStepOf(const DaySummary& day, const DaySummary& previous) {
    const ContractSummary* chosen = nullptr;
    const ContractSummary* chosen_before = nullptr;
    for (const ContractSummary& c : day.contracts) {
        if (c.days < kMinDaysToTakePart) {
            continue;
        }
        const ContractSummary* before = Find(previous, c.contract);
        if (!before) {
            continue;
        }
        const bool better = !chosen || c.days < chosen->days ||
                            (c.days == chosen->days &&
                             (c.total_oi > chosen->total_oi ||
                              (c.total_oi == chosen->total_oi && c.contract < chosen->contract)));
        if (better) {
            chosen = &c;
            chosen_before = before;
        }
    }
    FuturesStep step;
    if (!chosen) {
        return step;
    }
    step.contract = chosen->contract;
    if (chosen->forward && chosen_before->forward && *chosen->forward > 0.0 &&
        *chosen_before->forward > 0.0) {
        step.price = chosen->forward;
        step.log_return = std::log(*chosen->forward / *chosen_before->forward);
    }
    return step;
}

std::vector<std::optional<double>> RealizedVolatility(
    const std::vector<std::optional<double>>& returns, std::size_t m) {
    std::vector<std::optional<double>> out(returns.size());
    if (m == 0) {
        return out;
    }
    std::vector<double> seen;
    for (std::size_t i = 0; i < returns.size(); ++i) {
        if (returns[i]) {
            seen.push_back(*returns[i]);
        }
        if (seen.size() < m) {
            continue;
        }
        // Summed afresh each day rather than as a running total, so that a day's figure does
        // not carry the rounding of every day before it.
        double sum = 0.0;
        for (std::size_t k = seen.size() - m; k < seen.size(); ++k) {
            sum += seen[k] * seen[k];
        }
        out[i] = std::sqrt(kTradingDaysPerYear / static_cast<double>(m) * sum);
    }
    return out;
}

}  // namespace zarvex::analytics
