#include "common/date.h"

#include <array>
#include <limits>

namespace zarvex::common {

namespace {

// Floor division, so that days before 1970 fall on the right calendar day.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// Seconds since the midnight before; unlike days * kSecondsPerDay this cannot overflow for
// moments within a day of the lowest 64-bit value.
std::int64_t SecondOfDay(Date date) {
    const std::int64_t secs = date % kSecondsPerDay;
    return secs < 0 ? secs + kSecondsPerDay : secs;
}

struct Field {
    std::string_view token;
    int width;
};

constexpr std::array<Field, 6> kFields{{
    {"%yyyy", 4},
    {"%mm", 2},
    {"%dd", 2},
    {"%hh", 2},
    {"%ii", 2},
    {"%ss", 2},
}};

// Index into kFields of the token at the front of rest, or -1.
int TokenAt(std::string_view rest) {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (rest.substr(0, kFields[i].token.size()) == kFields[i].token) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void AppendPadded(std::string& out, std::int64_t value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0) {
        out.push_back('-');
    }
    for (int i = static_cast<int>(digits.size()); i < width; ++i) {
        out.push_back('0');
    }
    out += digits;
}

}  // namespace

// Howard Hinnant's days_from_civil.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date MakeDate(int year, int month, int day, int hour, int minute, int second) {
    return DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600LL + minute * 60LL +
           second;
}

CivilTime ToCivil(Date date) {
    const std::int64_t days = FloorDiv(date, kSecondsPerDay);
    const std::int64_t secs = SecondOfDay(date);
    const std::int64_t z = days + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs % 3600 / 60);
    t.second = static_cast<int>(secs % 60);
    return t;
}

int Weekday(Date date) {
    // 1970-01-01 was a Thursday (4).
    const std::int64_t days = FloorDiv(date, kSecondsPerDay);
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

Date DayStart(Date date) {
    // The lowest day starts before the lowest moment: its start is clamped to that moment.
    const std::int64_t secs = SecondOfDay(date);
    return date < std::numeric_limits<Date>::min() + secs ? std::numeric_limits<Date>::min()
                                                          : date - secs;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::string FormatDate(Date date, std::string_view mask) {
    const CivilTime t = ToCivil(date);
    const std::array<int, 6> values{t.year, t.month, t.day, t.hour, t.minute, t.second};
    std::string out;
    out.reserve(mask.size() + 4);
    std::size_t i = 0;
    while (i < mask.size()) {
        const int field = mask[i] == '%' ? TokenAt(mask.substr(i)) : -1;
        if (field < 0) {
            out.push_back(mask[i]);
            ++i;
            continue;
        }
        const auto f = static_cast<std::size_t>(field);
        AppendPadded(out, values[f], kFields[f].width);
        i += kFields[f].token.size();
    }
    return out;
}

Date ParseDate(std::string_view text, std::string_view mask) {
    std::array<int, 6> values{1970, 1, 1, 0, 0, 0};
    std::size_t i = 0;
    std::size_t pos = 0;
    while (i < mask.size()) {
        const int field = mask[i] == '%' ? TokenAt(mask.substr(i)) : -1;
        if (field < 0) {
            if (pos >= text.size() || text[pos] != mask[i]) {
                return kInvalidDate;
            }
            ++pos;
            ++i;
            continue;
        }
        const auto f = static_cast<std::size_t>(field);
        int value = 0;
        for (int k = 0; k < kFields[f].width; ++k, ++pos) {
            if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') {
                return kInvalidDate;
            }
            value = value * 10 + (text[pos] - '0');
        }
        values[f] = value;
        i += kFields[f].token.size();
    }
    if (pos != text.size()) {
        return kInvalidDate;
    }
    const auto [year, month, day, hour, minute, second] = values;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59) {
        return kInvalidDate;
    }
    return MakeDate(year, month, day, hour, minute, second);
}

}  // namespace zarvex::common
