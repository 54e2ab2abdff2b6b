#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvex::common {

// A moment as whole seconds since 1970-01-01 00:00, on a plain calendar without time
// zones or leap seconds. Always 64 bits wide, so dates past 2038 work like any other.
using Date = std::int64_t;

inline constexpr Date kSecondsPerDay = 86400;
inline constexpr Date kInvalidDate = -1;

struct CivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);
Date MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
CivilTime ToCivil(Date date);

// 0 = Sunday ... 6 = Saturday.
int Weekday(Date date);
// Midnight of the date's day.
Date DayStart(Date date);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Masks use %yyyy, %mm, %dd, %hh, %ii (minutes) and %ss; every other character stands for
// itself. Example: FormatDate(d, "%dd.%mm.%yyyy") gives "03.12.2012".
std::string FormatDate(Date date, std::string_view mask);

// The reverse of FormatDate: every field must have exactly its digit count and every other
// character must match. Fields missing from the mask take their smallest value. A text that
// does not fit the mask, or names a day that does not exist, gives kInvalidDate.
Date ParseDate(std::string_view text, std::string_view mask);

// The two names of a day used throughout the program.
inline std::string DayText(Date date) {
    return FormatDate(date, "%dd.%mm.%yyyy");
}
inline std::string DateKey(Date date) {
    return FormatDate(date, "%yyyy%mm%dd");
}

}  // namespace zarvex::common
