#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analytics/volatility/constant_maturity.h"
#include "analytics/volatility/term_summary.h"

namespace zarvex::analytics {

// A symbol's volatility on one stored day, set against its own past.
struct VolHistoryDay {
    common::Date date = common::kInvalidDate;
    // cm(n) for each of kConstantMaturities.
    std::array<std::optional<double>, kConstantMaturities.size()> cm{};
    std::optional<double> rr25_30;
    std::optional<double> bf25_30;
    std::optional<double> iv_rank;        // 0..100
    std::optional<double> iv_percentile;  // 0..100
    std::string futures_contract;         // empty: none
    std::optional<double> futures;
    std::optional<double> log_return;
    std::optional<double> rv20;
    std::optional<double> rv60;
    std::optional<double> vrp20;  // cm30 - rv20

    const std::optional<double>& Cm30() const { return cm[kMaturity30]; }
};

// Stored days of the rank's window (those with a cm30) and how many it needs at least.
inline constexpr std::size_t kRankWindow = 252;
inline constexpr std::size_t kRankMinimum = 20;

// The figures of every day of `days` (a symbol's stored days, oldest first).
std::vector<VolHistoryDay> VolHistory(const std::vector<DaySummary>& days);

}  // namespace zarvex::analytics
