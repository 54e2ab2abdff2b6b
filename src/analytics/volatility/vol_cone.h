#pragma once

#include <optional>
#include <vector>

#include "analytics/volatility/vol_history.h"

namespace zarvex::analytics {

// Where one maturity's volatility has been over the stored days up to a day.
struct ConeTenor {
    int days = 0;
    std::size_t count = 0;
    std::optional<double> min;
    std::optional<double> p10;
    std::optional<double> p25;
    std::optional<double> p50;
    std::optional<double> p75;
    std::optional<double> p90;
    std::optional<double> max;
    std::optional<double> today;  // the day's own cm(n)
};

// The p-th percentile (0..100) of ascending values, linear between the closest ranks; nullopt
// for none.
std::optional<double> LinearPercentile(const std::vector<double>& sorted, double p);

// The cone of every maturity over history[0..last] (last included); an empty vector when last
// is past the end.
std::vector<ConeTenor> VolCone(const std::vector<VolHistoryDay>& history, std::size_t last);

// The cone of `date` over the days of `history` (oldest first) up to it, as `vol --cone` gives
// it: the day's own figures only when it is one of them.
std::vector<ConeTenor> VolConeOn(const std::vector<VolHistoryDay>& history, common::Date date);

}  // namespace zarvex::analytics
