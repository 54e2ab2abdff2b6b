#include "common/calendar.h"

namespace zarvex::common {

namespace {

using common::Date;
using common::kSecondsPerDay;

constexpr int kSunday = 0;
constexpr int kMonday = 1;
constexpr int kThursday = 4;
constexpr int kSaturday = 6;

bool InCalendar(int year) {
    return year >= kFirstCalendarYear && year <= kLastCalendarYear;
}

// A fixed-date holiday as the exchange observes it: Sunday moves on to Monday, Saturday back
// to Friday.
Date Observed(int year, int month, int day) {
    Date date = common::MakeDate(year, month, day);
    if (common::Weekday(date) == kSunday) {
        date += kSecondsPerDay;
    }
    if (common::Weekday(date) == kSaturday) {
        date -= kSecondsPerDay;
    }
    return date;
}

// The n-th (1-based) given weekday of a month; n = 0 asks for the last one.
Date NthWeekday(int year, int month, int weekday, int n) {
    const Date first = common::MakeDate(year, month, 1);
    const int offset = (weekday - common::Weekday(first) + 7) % 7;
    if (n == 0) {
        const int days = common::DaysInMonth(year, month);
        n = (days - 1 - offset) / 7 + 1;
    }
    return first + (offset + 7 * (n - 1)) * kSecondsPerDay;
}

}  // namespace

// The Gregorian computation (anonymous algorithm, as in Meeus). For 1900..2099 it gives the
// same day as the short rule with its constants 225 and 11, which ignores the century
// corrections and so drifts, even off Sunday, outside those years.
std::optional<Date> EasterSunday(int year) {
    if (!InCalendar(year)) {
        return std::nullopt;
    }
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return common::MakeDate(year, month, day);
}

std::optional<Date> ExchangeHoliday(int index, int year) {
    if (!InCalendar(year)) {
        return std::nullopt;
    }
    switch (index) {
        case 0:
            return Observed(year, 1, 1);
        case 1:
            return NthWeekday(year, 1, kMonday, 3);
        case 2:
            return NthWeekday(year, 2, kMonday, 3);
        case 3:
            return *EasterSunday(year) - 2 * kSecondsPerDay;
        case 4:
            return NthWeekday(year, 5, kMonday, 0);
        case 5:
            return Observed(year, 7, 4);
        case 6:
            return NthWeekday(year, 9, kMonday, 1);
        case 7:
            return NthWeekday(year, 11, kThursday, 4);
        case 8:
            return Observed(year, 12, 25);
        case 9:
            return Observed(year, 6, 19);
        default:
            return std::nullopt;
    }
}

std::optional<Date> ExchangeHoliday(int index, int year, const common::Clock& clock) {
    if (year == kCurrentYear) {
        year = common::ToCivil(clock.Now()).year;
    }
    return ExchangeHoliday(index, year);
}

bool IsTradingDay(Date date) {
    const int weekday = common::Weekday(date);
    if (weekday == kSunday || weekday == kSaturday) {
        return false;
    }
    const Date day = common::DayStart(date);
    const common::CivilTime civil = common::ToCivil(day);
    for (int i = 0; i < kHolidayCount; ++i) {
        if (ExchangeHoliday(i, civil.year) == day) {
            return false;
        }
    }
    // New Year's Day on a Saturday is observed on the Friday before, in the old year.
    if (civil.month == 12 && civil.day == 31 && civil.year < kLastCalendarYear &&
        ExchangeHoliday(0, civil.year + 1) == day) {
        return false;
    }
    return true;
}

Date NextTradingDay(Date date) {
    Date day = common::DayStart(date) + kSecondsPerDay;
    while (!IsTradingDay(day)) {
        day += kSecondsPerDay;
    }
    return day;
}

Date PreviousTradingDay(Date date) {
    Date day = common::DayStart(date) - kSecondsPerDay;
    while (!IsTradingDay(day)) {
        day -= kSecondsPerDay;
    }
    return day;
}

}  // namespace zarvex::common
