#pragma once

#include <cstdint>

#include "common/date.h"

namespace zarvex::acquisition {

// When the download of the day after latest_day is due, in the exchange's time: the next
// trading day after it, at the daily start hour plus the monitor's delay (the scheduler reads
// the day then). kInvalidDate for an invalid day.
common::Date NextDownloadDue(common::Date latest_day, std::int64_t start_hour,
                             std::int64_t delay_minutes);

}  // namespace zarvex::acquisition
