#include "common/calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace zarvex::common {
namespace {

class FixedClock final : public common::Clock {
public:
    explicit FixedClock(Date now) : now_(now) {}
    Date Now() const override { return now_; }
    void SleepFor(std::chrono::milliseconds) override {}

private:
    Date now_;
};

std::string Text(std::optional<Date> date) {
    return date ? common::DayText(*date) : "none";
}

// The holidays by index, worked out independently of the code: the published US market
// holidays for 2023 to 2025, and the same rules applied by hand to the other years (19 June and
// a Saturday New Year's Day moved to the Friday before count in every year, as the exchange
// counts them here).
struct YearHolidays {
    int year;
    std::array<const char*, kHolidayCount> days;
};

void PrintTo(const YearHolidays& y, std::ostream* os) {
    *os << y.year;
}

class HolidaysOfYear : public testing::TestWithParam<YearHolidays> {};

TEST_P(HolidaysOfYear, MatchTheKnownCalendar) {
    const YearHolidays& expected = GetParam();
    for (int i = 0; i < kHolidayCount; ++i) {
        const auto day = ExchangeHoliday(i, expected.year);
        EXPECT_EQ(Text(day), expected.days[static_cast<std::size_t>(i)])
            << "holiday " << i << " of " << expected.year;
        ASSERT_TRUE(day.has_value());
        EXPECT_FALSE(IsTradingDay(*day)) << Text(day);
        EXPECT_FALSE(IsTradingDay(*day + 12 * 3600)) << "noon of " << Text(day);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, HolidaysOfYear,
    testing::Values(
        YearHolidays{2012,
                     {"02.01.2012", "16.01.2012", "20.02.2012", "06.04.2012", "28.05.2012",
                      "04.07.2012", "03.09.2012", "22.11.2012", "25.12.2012", "19.06.2012"}},
        YearHolidays{2021,
                     {"01.01.2021", "18.01.2021", "15.02.2021", "02.04.2021", "31.05.2021",
                      "05.07.2021", "06.09.2021", "25.11.2021", "24.12.2021", "18.06.2021"}},
        YearHolidays{2022,
                     {"31.12.2021", "17.01.2022", "21.02.2022", "15.04.2022", "30.05.2022",
                      "04.07.2022", "05.09.2022", "24.11.2022", "26.12.2022", "20.06.2022"}},
        YearHolidays{2023,
                     {"02.01.2023", "16.01.2023", "20.02.2023", "07.04.2023", "29.05.2023",
                      "04.07.2023", "04.09.2023", "23.11.2023", "25.12.2023", "19.06.2023"}},
        YearHolidays{2024,
                     {"01.01.2024", "15.01.2024", "19.02.2024", "29.03.2024", "27.05.2024",
                      "04.07.2024", "02.09.2024", "28.11.2024", "25.12.2024", "19.06.2024"}},
        YearHolidays{2025,
                     {"01.01.2025", "20.01.2025", "17.02.2025", "18.04.2025", "26.05.2025",
                      "04.07.2025", "01.09.2025", "27.11.2025", "25.12.2025", "19.06.2025"}},
        YearHolidays{2026,
                     {"01.01.2026", "19.01.2026", "16.02.2026", "03.04.2026", "25.05.2026",
                      "03.07.2026", "07.09.2026", "26.11.2026", "25.12.2026", "19.06.2026"}},
        YearHolidays{2027,
                     {"01.01.2027", "18.01.2027", "15.02.2027", "26.03.2027", "31.05.2027",
                      "05.07.2027", "06.09.2027", "25.11.2027", "24.12.2027", "18.06.2027"}},
        YearHolidays{2038,
                     {"01.01.2038", "18.01.2038", "15.02.2038", "23.04.2038", "31.05.2038",
                      "05.07.2038", "06.09.2038", "25.11.2038", "24.12.2038", "18.06.2038"}},
        YearHolidays{2040,
                     {"02.01.2040", "16.01.2040", "20.02.2040", "30.03.2040", "28.05.2040",
                      "04.07.2040", "03.09.2040", "22.11.2040", "25.12.2040", "19.06.2040"}}),
    [](const testing::TestParamInfo<YearHolidays>& param_info) {
        return std::to_string(param_info.param.year);
    });

struct DayCase {
    const char* day;
    bool trading;
    const char* why;
};

void PrintTo(const DayCase& c, std::ostream* os) {
    *os << c.day;
}

class TradingDay : public testing::TestWithParam<DayCase> {};

TEST_P(TradingDay, FollowsWeekendsHolidaysAndTheYearEnd) {
    const Date day = common::ParseDate(GetParam().day, "%dd.%mm.%yyyy");
    ASSERT_NE(day, common::kInvalidDate);
    EXPECT_EQ(IsTradingDay(day), GetParam().trading) << GetParam().why;
    EXPECT_EQ(IsTradingDay(day + 86399), GetParam().trading) << "late on " << GetParam().day;
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, TradingDay,
    testing::Values(
        DayCase{"31.12.2021", false, "New Year's Day 2022 is a Saturday, observed the day before"},
        DayCase{"30.12.2021", true, "an ordinary Thursday"},
        DayCase{"01.01.2022", false, "Saturday"},
        DayCase{"03.01.2022", true, "New Year's Day is not moved to Monday from a Saturday"},
        DayCase{"04.07.2021", false, "Sunday"},
        DayCase{"05.07.2021", false, "4 July on a Sunday is observed on Monday"},
        DayCase{"02.07.2021", true, "the Friday before"},
        DayCase{"29.03.2024", false, "Good Friday 2024"},
        DayCase{"28.03.2024", true, "Maundy Thursday trades"},
        DayCase{"01.04.2024", true, "Easter Monday trades"},
        DayCase{"31.12.2027", false, "New Year's Day 2028 is a Saturday"},
        DayCase{"31.12.2024", true, "New Year's Day 2025 is a Wednesday"},
        DayCase{"31.12.2038", false, "New Year's Day 2039 is a Saturday"},
        DayCase{"19.01.2038", true, "the first day past 32-bit seconds"},
        DayCase{"20.01.2038", true, "a Wednesday past 32-bit seconds"},
        DayCase{"02.01.2040", false, "New Year's Day 2040 is a Sunday, observed on Monday"},
        DayCase{"03.01.2040", true, "a Tuesday in 2040"},
        DayCase{"29.02.2040", true, "leap day 2040 is a Wednesday"},
        DayCase{"30.03.2040", false, "Good Friday 2040"},
        DayCase{"25.12.1969", false, "Christmas before 1970"},
        DayCase{"01.01.1970", false, "New Year's Day at second zero"},
        DayCase{"02.01.1970", true, "the first trading day of 1970"}),
    [](const testing::TestParamInfo<DayCase>& param_info) {
        std::string name = param_info.param.day;
        std::erase(name, '.');
        return "d" + name;
    });

// The short rule of the exchange's calendar: valid without century corrections, which holds
// from 1900 to 2099.
Date ShortRuleEaster(int year) {
    int d = 225 - 11 * (year % 19);
    d = (d - 21) % 30 + 21;
    if (d > 48) {
        d -= 1;
    }
    const int e = (year + year / 4 + d + 1) % 7;
    const int q = d + 7 - e;
    return q < 32 ? MakeDate(year, 3, q) : MakeDate(year, 4, q - 31);
}

TEST(Easter, AgreesWithTheShortRuleFrom1900To2099) {
    for (int year = 1900; year <= 2099; ++year) {
        EXPECT_EQ(EasterSunday(year), ShortRuleEaster(year)) << year;
    }
    EXPECT_EQ(Text(EasterSunday(2024)), "31.03.2024");
    EXPECT_EQ(Text(ExchangeHoliday(3, 2024)), "29.03.2024");
}

TEST(Easter, StaysOnASundayOutsideTheShortRulesCenturies) {
    EXPECT_EQ(Text(EasterSunday(2100)), "28.03.2100");
    EXPECT_EQ(Text(EasterSunday(2285)), "22.03.2285");
    EXPECT_EQ(Text(EasterSunday(1818)), "22.03.1818");
    for (int year = kFirstCalendarYear; year <= kLastCalendarYear; ++year) {
        const auto easter = EasterSunday(year);
        ASSERT_TRUE(easter.has_value());
        ASSERT_EQ(common::Weekday(*easter), 0) << year;
        const common::CivilTime civil = common::ToCivil(*easter);
        ASSERT_TRUE((civil.month == 3 && civil.day >= 22) || (civil.month == 4 && civil.day <= 25))
            << year;
    }
}

TEST(ExchangeHoliday, ObservedDaysNeverFallOnAWeekendAndStayNearTheirYear) {
    for (int year = 1950; year <= 2150; ++year) {
        for (int i = 0; i < kHolidayCount; ++i) {
            const auto day = ExchangeHoliday(i, year);
            ASSERT_TRUE(day.has_value());
            const int weekday = common::Weekday(*day);
            EXPECT_TRUE(weekday >= 1 && weekday <= 5) << i << " of " << year;
            const common::CivilTime civil = common::ToCivil(*day);
            const bool new_year_eve =
                i == 0 && civil.year == year - 1 && civil.month == 12 && civil.day == 31;
            EXPECT_TRUE(civil.year == year || new_year_eve) << Text(day);
        }
    }
}

TEST(ExchangeHoliday, FindsNoDayForUnknownIndicesAndYears) {
    EXPECT_FALSE(ExchangeHoliday(-1, 2024).has_value());
    EXPECT_FALSE(ExchangeHoliday(kHolidayCount, 2024).has_value());
    EXPECT_FALSE(ExchangeHoliday(0, 0).has_value());
    EXPECT_FALSE(ExchangeHoliday(0, 10000).has_value());
    EXPECT_FALSE(ExchangeHoliday(0, kCurrentYear).has_value());
    EXPECT_FALSE(EasterSunday(-5).has_value());
}

TEST(ExchangeHoliday, CurrentYearComesFromTheClock) {
    const FixedClock clock(MakeDate(2040, 6, 15, 13, 0, 0));
    for (int i = 0; i < kHolidayCount; ++i) {
        EXPECT_EQ(ExchangeHoliday(i, kCurrentYear, clock), ExchangeHoliday(i, 2040)) << i;
        EXPECT_EQ(ExchangeHoliday(i, 2012, clock), ExchangeHoliday(i, 2012)) << i;
    }
}

TEST(TradingDaySteps, SkipWeekendsAndHolidaysBothWays) {
    // Independence Day 2021 falls on a Sunday: no trading from Saturday 3 to Monday 5 July.
    EXPECT_EQ(NextTradingDay(MakeDate(2021, 7, 1, 15, 0, 0)), MakeDate(2021, 7, 2));
    EXPECT_EQ(NextTradingDay(MakeDate(2021, 7, 2)), MakeDate(2021, 7, 6));
    EXPECT_EQ(PreviousTradingDay(MakeDate(2021, 7, 6)), MakeDate(2021, 7, 2));
    EXPECT_EQ(PreviousTradingDay(MakeDate(2022, 1, 3)), MakeDate(2021, 12, 30));
    EXPECT_EQ(NextTradingDay(MakeDate(2040, 12, 31)), MakeDate(2041, 1, 2));
}

}  // namespace
}  // namespace zarvex::common
