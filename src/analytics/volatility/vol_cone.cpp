#include "analytics/volatility/vol_cone.h"

#include <algorithm>
#include <cmath>

namespace zarvex::analytics {

std::optional<double> LinearPercentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) {
        return std::nullopt;
    }
    const double h = static_cast<double>(sorted.size() - 1) * p / 100.0;
    const auto low = static_cast<std::size_t>(std::floor(h));
    const auto high = static_cast<std::size_t>(std::ceil(h));
    return sorted[low] + (h - std::floor(h)) * (sorted[high] - sorted[low]);
}

std::vector<ConeTenor> VolCone(const std::vector<VolHistoryDay>& history, std::size_t last) {
    std::vector<ConeTenor> cone;
    if (last >= history.size()) {
        return cone;
    }
    for (std::size_t k = 0; k < kConstantMaturities.size(); ++k) {
        std::vector<double> values;
        for (std::size_t i = 0; i <= last; ++i) {
            if (history[i].cm[k]) {
                values.push_back(*history[i].cm[k]);
            }
        }
        std::sort(values.begin(), values.end());
        ConeTenor tenor;
        tenor.days = kConstantMaturities[k];
        tenor.count = values.size();
        if (!values.empty()) {
            tenor.min = values.front();
            tenor.max = values.back();
        }
        tenor.p10 = LinearPercentile(values, 10.0);
        tenor.p25 = LinearPercentile(values, 25.0);
        tenor.p50 = LinearPercentile(values, 50.0);
        tenor.p75 = LinearPercentile(values, 75.0);
        tenor.p90 = LinearPercentile(values, 90.0);
        tenor.today = history[last].cm[k];
        cone.push_back(tenor);
    }
    return cone;
}

std::vector<ConeTenor> VolConeOn(const std::vector<VolHistoryDay>& history, common::Date date) {
    std::size_t count = 0;
    while (count < history.size() && history[count].date <= date) {
        ++count;
    }
    std::vector<VolHistoryDay> upto(history.begin(),
                                    history.begin() + static_cast<std::ptrdiff_t>(count));
    if (upto.empty() || upto.back().date != date) {
        VolHistoryDay none;
        none.date = date;
        upto.push_back(none);
    }
    return VolCone(upto, upto.size() - 1);
}

}  // namespace zarvex::analytics
