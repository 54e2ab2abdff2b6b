#include "common/date.h"

#include <gtest/gtest.h>

#include <limits>

namespace zarvex::common {
namespace {

TEST(Date, KnownDaysAndWeekdays) {
    EXPECT_EQ(MakeDate(1970, 1, 1), 0);
    EXPECT_EQ(MakeDate(2012, 12, 3), 1354492800);
    EXPECT_EQ(Weekday(MakeDate(2012, 12, 3)), 1);  // Monday
    EXPECT_EQ(Weekday(MakeDate(2022, 1, 1)), 6);   // Saturday
    EXPECT_EQ(Weekday(MakeDate(2021, 7, 4)), 0);   // Sunday
    EXPECT_EQ(Weekday(MakeDate(1969, 12, 31)), 3);
}

TEST(Date, RoundTripsAcrossCenturiesAndPast2038) {
    for (Date d = MakeDate(1900, 1, 1); d < MakeDate(2200, 1, 1); d += 86400 * 13 + 3607) {
        const CivilTime t = ToCivil(d);
        EXPECT_EQ(MakeDate(t.year, t.month, t.day, t.hour, t.minute, t.second), d);
    }
    const Date past2038 = MakeDate(2038, 1, 19, 3, 14, 8);
    EXPECT_GT(past2038, Date{2147483647});
    EXPECT_EQ(FormatDate(past2038, "%dd.%mm.%yyyy %hh:%ii:%ss"), "19.01.2038 03:14:08");
    EXPECT_EQ(ParseDate("29.02.2040", "%dd.%mm.%yyyy"), MakeDate(2040, 2, 29));
}

TEST(Date, FormatsEveryMask) {
    const Date d = MakeDate(2012, 12, 7, 9, 5, 3);
    EXPECT_EQ(DayText(d), "07.12.2012");
    EXPECT_EQ(DateKey(d), "20121207");
    EXPECT_EQ(FormatDate(d, "%hh:%ii:%ss"), "09:05:03");
    EXPECT_EQ(FormatDate(d, "%hh.%ii"), "09.05");
    EXPECT_EQ(FormatDate(d, "%dd.%mm %hh:%ii:%ss"), "07.12 09:05:03");
    EXPECT_EQ(FormatDate(d, "%yyyy.%mm.%dd.-%hh:%ii"), "2012.12.07.-09:05");
    EXPECT_EQ(FormatDate(d, "%yyyy%mm%dd%hh%ii%ss"), "20121207090503");
    EXPECT_EQ(FormatDate(d, "100%"), "100%");
}

TEST(Date, ParsesStrictly) {
    EXPECT_EQ(ParseDate("20121207 09:05:03", "%yyyy%mm%dd %hh:%ii:%ss"),
              MakeDate(2012, 12, 7, 9, 5, 3));
    EXPECT_EQ(ParseDate("07.12.2012", "%dd.%mm.%yyyy"), MakeDate(2012, 12, 7));
    for (const char* bad : {"", "7.12.2012", "07-12-2012", "07.12.2012 ", "32.12.2012",
                            "29.02.2013", "00.01.2012", "07.13.2012", "aa.bb.cccc"}) {
        EXPECT_EQ(ParseDate(bad, "%dd.%mm.%yyyy"), kInvalidDate) << bad;
    }
    EXPECT_EQ(ParseDate("20120101 24:00:00", "%yyyy%mm%dd %hh:%ii:%ss"), kInvalidDate);
    EXPECT_EQ(ParseDate("201201", "%yyyy%mm%dd"), kInvalidDate);
}

TEST(Date, DayStartAndMonthLengths) {
    EXPECT_EQ(DayStart(MakeDate(2024, 3, 1, 23, 59, 59)), MakeDate(2024, 3, 1));
    EXPECT_EQ(DayStart(-1), -86400);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

// Moments within a day of the lowest 64-bit value once overflowed (days * 86400 below it).
TEST(Date, LowestMomentsStayInRange) {
    constexpr Date kLowest = std::numeric_limits<Date>::min();
    EXPECT_EQ(DayStart(kLowest), kLowest);
    for (const Date moment : {kLowest, kLowest + 11520, kLowest + kSecondsPerDay}) {
        const Date start = DayStart(moment);
        EXPECT_LE(start, moment);
        EXPECT_LT(moment - start, kSecondsPerDay);
        const CivilTime civil = ToCivil(moment);
        EXPECT_TRUE(civil.hour >= 0 && civil.hour < 24 && civil.minute >= 0 && civil.minute < 60 &&
                    civil.second >= 0 && civil.second < 60);
    }
}

}  // namespace
}  // namespace zarvex::common
