#pragma once

#include <optional>

#include "common/clock.h"
#include "common/date.h"

namespace zarvex::common {

// The exchange's ten holidays, by index: 0 New Year's Day, 1 third Monday of January,
// 2 third Monday of February, 3 Good Friday, 4 last Monday of May, 5 Independence Day,
// 6 first Monday of September, 7 fourth Thursday of November, 8 Christmas Day, 9 19 June.
// New Year's Day, 4 July, Christmas Day and 19 June are observed: a Sunday moves to the
// Monday after, a Saturday to the Friday before (so New Year's Day may fall in the old year).
inline constexpr int kHolidayCount = 10;

// Stands for "the current year" wherever a holiday year is asked for.
inline constexpr int kCurrentYear = -65535;

// The calendar covers the years that a date key can spell.
inline constexpr int kFirstCalendarYear = 1;
inline constexpr int kLastCalendarYear = 9999;

// Midnight of Easter Sunday of a Gregorian year; nullopt outside the calendar's years.
std::optional<common::Date> EasterSunday(int year);

// Midnight of holiday `index` in `year`. nullopt when the rule finds no day: an index outside
// 0..9, a year outside the calendar, or kCurrentYear (which needs the clock overload).
std::optional<common::Date> ExchangeHoliday(int index, int year);

// As above; kCurrentYear takes the year of clock.Now().
std::optional<common::Date> ExchangeHoliday(int index, int year, const common::Clock& clock);

// False on Saturdays, Sundays and the ten holidays of the date's year, and on 31 December when
// the next New Year's Day is observed on it. The time of day does not matter.
bool IsTradingDay(common::Date date);

// The first trading day after the date's day (midnight), and the last one before it.
common::Date NextTradingDay(common::Date date);
common::Date PreviousTradingDay(common::Date date);

}  // namespace zarvex::common
