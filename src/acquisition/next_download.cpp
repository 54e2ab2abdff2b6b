#include "acquisition/next_download.h"

#include "common/calendar.h"

namespace zarvex::acquisition {

common::Date NextDownloadDue(common::Date latest_day, std::int64_t start_hour,
                             std::int64_t delay_minutes) {
    if (latest_day < 0) {
        return common::kInvalidDate;
    }
    common::Date day = common::DayStart(latest_day) + common::kSecondsPerDay;
    // A year holds far fewer holidays and weekends than this.
    for (int step = 0; step < 30 && !common::IsTradingDay(day); ++step) {
        day += common::kSecondsPerDay;
    }
    return day + start_hour * 3600 + delay_minutes * 60;
}

}  // namespace zarvex::acquisition
