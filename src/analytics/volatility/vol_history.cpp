#include "analytics/volatility/vol_history.h"

#include "analytics/volatility/realized_volatility.h"

namespace zarvex::analytics {

namespace {

// Rank and percentile of each day's cm30 among the last kRankWindow days that have one.
void RankAndPercentile(std::vector<VolHistoryDay>& out) {
    std::vector<double> with_cm30;  // every cm30 so far, oldest first
    for (VolHistoryDay& day : out) {
        if (!day.Cm30()) {
            continue;
        }
        const double today = *day.Cm30();
        with_cm30.push_back(today);
        if (with_cm30.size() < kRankMinimum) {
            continue;
        }
        const std::size_t size = std::min(with_cm30.size(), kRankWindow);
        const std::size_t first = with_cm30.size() - size;
        double low = today;
        double high = today;
        std::size_t below = 0;
        for (std::size_t i = first; i < with_cm30.size(); ++i) {
            low = std::min(low, with_cm30[i]);
            high = std::max(high, with_cm30[i]);
            below += with_cm30[i] < today ? 1 : 0;
        }
        if (high > low) {
            day.iv_rank = 100.0 * (today - low) / (high - low);
        }
        // The day itself is never below itself, so counting over the whole window is the
        // count over the other days.
        day.iv_percentile = 100.0 * static_cast<double>(below) / static_cast<double>(size - 1);
    }
}

}  // namespace

std::vector<VolHistoryDay> VolHistory(const std::vector<DaySummary>& days) {
    std::vector<VolHistoryDay> out(days.size());
    std::vector<std::optional<double>> returns(days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        VolHistoryDay& day = out[i];
        day.date = days[i].date;
        const auto part = TakingPart(days[i].contracts);
        for (std::size_t k = 0; k < kConstantMaturities.size(); ++k) {
            day.cm[k] = ConstantMaturityVol(part, kConstantMaturities[k]);
        }
        const Wings wings = ConstantMaturityWings(part, kConstantMaturities[kMaturity30]);
        day.rr25_30 = wings.rr25;
        day.bf25_30 = wings.bf25;
        if (i > 0) {
            const FuturesStep step = FuturesStepOf(days[i], days[i - 1]);
            day.futures_contract = step.contract;
            day.futures = step.price;
            day.log_return = step.log_return;
            returns[i] = step.log_return;
        }
    }
    const auto rv20 = RealizedVolatility(returns, 20);
    const auto rv60 = RealizedVolatility(returns, 60);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].rv20 = rv20[i];
        out[i].rv60 = rv60[i];
        if (out[i].Cm30() && rv20[i]) {
            out[i].vrp20 = *out[i].Cm30() - *rv20[i];
        }
    }
    RankAndPercentile(out);
    return out;
}

}  // namespace zarvex::analytics
