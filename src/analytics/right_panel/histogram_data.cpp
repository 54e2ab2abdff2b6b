#include "analytics/right_panel/histogram_data.h"

#include <algorithm>

namespace zarvex::analytics {

double HistogramData::HighestStrike() const {
    return axis.empty() ? 0.0 : *std::max_element(axis.begin(), axis.end());
}

void HistogramData::ResetArrays(std::size_t size) {
    for (std::vector<double>* array :
         {&axis, &put, &call, &call_premium, &put_premium, &call_strike, &put_strike}) {
        array->assign(size, 0.0);
    }
    call_sources.clear();
    put_sources.clear();
}

}  // namespace zarvex::analytics
