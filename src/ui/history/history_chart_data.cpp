#include "ui/history/history_chart_data.h"

namespace zarvex::ui {

HistoryChartData MakeHistoryChartData(const analytics::ContractHistory& history) {
    HistoryChartData data;
    const std::size_t n = history.days.size();
    for (HistoryChartData::Series* series :
         {&data.call_level, &data.put_level, &data.upper_border, &data.bottom_border,
          &data.upper_limit, &data.bottom_limit, &data.delta_balance, &data.max_pain,
          &data.ratio_oi, &data.ratio_volume}) {
        series->reserve(n);
    }
    for (const analytics::HistoryDay& day : history.days) {
        data.dates.push_back(QString::fromStdString(day.date));
        data.call_level.push_back(analytics::ShownNumber(day.call_level));
        data.put_level.push_back(analytics::ShownNumber(day.put_level));
        data.upper_border.push_back(analytics::ShownNumber(day.upper_border));
        data.bottom_border.push_back(analytics::ShownNumber(day.bottom_border));
        data.upper_limit.push_back(analytics::ShownNumber(day.upper_limit));
        data.bottom_limit.push_back(analytics::ShownNumber(day.bottom_limit));
        data.delta_balance.push_back(analytics::ShownNumber(day.delta_balance));
        data.max_pain.push_back(analytics::ShownNumber(day.max_pain));
        data.ratio_oi.push_back(analytics::ShownNumber(day.ratio_oi));
        data.ratio_volume.push_back(analytics::ShownNumber(day.ratio_volume));
        data.call_oi.push_back(static_cast<double>(day.call_oi));
        data.put_oi.push_back(static_cast<double>(day.put_oi));
    }
    return data;
}

}  // namespace zarvex::ui
