#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analytics/history/contract_history.h"

namespace zarvex::ui {

// A contract's history as numbers for drawing, one entry per stored day, oldest first. An
// empty cell stays empty (nullopt) so that its line breaks there.
struct HistoryChartData {
    using Series = std::vector<std::optional<double>>;

    std::vector<QString> dates;  // "dd.mm.yyyy"
    Series call_level;
    Series put_level;
    Series upper_border;
    Series bottom_border;
    Series upper_limit;
    Series bottom_limit;
    Series delta_balance;
    Series max_pain;
    Series ratio_oi;
    Series ratio_volume;
    std::vector<double> call_oi;
    std::vector<double> put_oi;

    int Size() const { return static_cast<int>(dates.size()); }
};

HistoryChartData MakeHistoryChartData(const analytics::ContractHistory& history);

}  // namespace zarvex::ui
