#include "ui/history/history_chart_data.h"

#include <optional>

#include "common/date.h"

namespace zarvex::ui {

namespace {

// An empty cell (a blank CALL or PUT level included) breaks the line instead of falling to
// zero.
std::optional<double> Shown(const analytics::PanelNumber& number) {
    return number.IsNumber() ? std::optional<double>(number.Value()) : std::nullopt;
}

}  // namespace

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
        data.dates.push_back(QString::fromStdString(common::DayText(day.day)));
        // The levels as the panel showed them on each evening, not as today's rows put them.
        data.call_level.push_back(Shown(day.call_level_as_of));
        data.put_level.push_back(Shown(day.put_level_as_of));
        data.upper_border.push_back(Shown(day.upper_border));
        data.bottom_border.push_back(Shown(day.bottom_border));
        data.upper_limit.push_back(Shown(day.upper_limit));
        data.bottom_limit.push_back(Shown(day.bottom_limit));
        data.delta_balance.push_back(Shown(day.delta_balance));
        data.max_pain.push_back(Shown(day.max_pain));
        data.ratio_oi.push_back(Shown(day.ratio_oi));
        data.ratio_volume.push_back(Shown(day.ratio_volume));
        data.call_oi.push_back(static_cast<double>(day.call_oi));
        data.put_oi.push_back(static_cast<double>(day.put_oi));
    }
    return data;
}

}  // namespace zarvex::ui
