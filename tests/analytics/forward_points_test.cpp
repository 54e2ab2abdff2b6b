#include "analytics/forward_points.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>

#include "common/plain_host.h"
#include "support/temp_folder.h"

namespace zarvex::analytics {
namespace {

using common::Date;
using common::MakeDate;

class ForwardPoints : public testing::Test {
protected:
    void WriteFp(Date day, std::string_view bytes) {
        test::WriteFile(folder_.Folder().ForwardPointFile(day), bytes);
    }
    double Read(Date day, std::string_view symbol) {
        return GetFPFromFile(folder_.Folder(), day, symbol, host_);
    }
    double Resolve(Date day, std::string_view symbol, int fp_switch = 1) {
        return ResolveForwardPoint(folder_.Folder(), day, symbol, fp_switch, host_);
    }

    test::TempProgramFolder folder_;
    common::PlainHost plain_;
    common::Host host_ = plain_.AsHost();
};

// As the report server sends them: CRLF lines, and the download appends a zero byte.
constexpr std::string_view kTypicalFile =
    "Forward points\r\nEUR 10.5\r\nGBP -3\r\nJPY -12.35\r\nCAD +0.75\r\nCHF 2e1\r\n\0";

TEST_F(ForwardPoints, ReadsTheNumberAfterTheSymbolAndSeparator) {
    const Date day = MakeDate(2024, 3, 28);
    WriteFp(day, std::string(kTypicalFile.data(), kTypicalFile.size()));
    EXPECT_DOUBLE_EQ(Read(day, "JPY"), -12.35);
    EXPECT_DOUBLE_EQ(Read(day, "EUR"), 10.5);
    EXPECT_DOUBLE_EQ(Read(day, "GBP"), -3.0);
    EXPECT_DOUBLE_EQ(Read(day, "CAD"), 0.75);
    EXPECT_DOUBLE_EQ(Read(day, "CHF"), 20.0);
    EXPECT_DOUBLE_EQ(Read(day + 15 * 3600, "EUR"), 10.5) << "the time of day does not matter";
    EXPECT_DOUBLE_EQ(Read(day, "AUD"), 0.0) << "no line for the symbol";
    EXPECT_TRUE(plain_.Messages().empty());
}

TEST_F(ForwardPoints, TakesTheFirstLineThatMentionsTheSymbol) {
    const Date day = MakeDate(2024, 3, 28);
    WriteFp(day, "USD/JPY pairs\nJPY 7\nJPY 8\n");
    EXPECT_DOUBLE_EQ(Read(day, "JPY"), 0.0) << "the heading is the first line with JPY";
    WriteFp(day, "EUR 1.5\nEUR 2.5\n");
    EXPECT_DOUBLE_EQ(Read(day, "EUR"), 1.5);
}

struct LineCase {
    const char* name;
    std::string_view content;
    double expected;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class ForwardPointLines : public ForwardPoints, public testing::WithParamInterface<LineCase> {};

TEST_P(ForwardPointLines, AreReadQuietly) {
    const Date day = MakeDate(2040, 2, 29);
    WriteFp(day, GetParam().content);
    EXPECT_DOUBLE_EQ(Read(day, "EUR"), GetParam().expected);
    EXPECT_TRUE(plain_.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ForwardPointLines,
    testing::Values(LineCase{"SymbolOnly", "EUR\n", 0.0}, LineCase{"FourCharacters", "EUR \n", 0.0},
                    LineCase{"NotANumber", "EUR abc\n", 0.0},
                    LineCase{"NumberThenText", "EUR 12.5 pips\n", 12.5},
                    LineCase{"OtherSeparator", "EUR;-4.25\n", -4.25},
                    LineCase{"NoLineEnd", "EUR 3", 3.0}, LineCase{"Empty", "", 0.0},
                    LineCase{"Infinity", "EUR 1e999\n", 0.0},
                    LineCase{"SymbolAnywhereStillReadsFromColumnFive", "xEUR 9\n", 9.0},
                    LineCase{"PastTheZeroByte", std::string_view("GBP 1\n\0EUR 5", 13), 0.0}),
    [](const testing::TestParamInfo<LineCase>& param_info) {
        return std::string(param_info.param.name);
    });

TEST_F(ForwardPoints, MissingFileGivesZeroWithoutAMessage) {
    EXPECT_DOUBLE_EQ(Read(MakeDate(2024, 3, 28), "EUR"), 0.0);
    EXPECT_TRUE(plain_.Messages().empty());
}

TEST_F(ForwardPoints, ADateAtOrBeforeTheEpochIsReported) {
    EXPECT_DOUBLE_EQ(Read(0, "EUR"), 0.0);
    EXPECT_DOUBLE_EQ(Read(common::kInvalidDate, "EUR"), 0.0);
    const auto messages = plain_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Сообщение ZR: Неверно задана дата в функции GetFPFromFile");
}

TEST_F(ForwardPoints, ResolveNeedsTheSwitch) {
    WriteFp(MakeDate(2024, 3, 28), "EUR 10\n");
    WriteFp(MakeDate(2024, 4, 1), "EUR 11\n");
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 27), "EUR", 0), 0.0);
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 27), "EUR", 2), 0.0);
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 27), "EUR", 1), 10.0);
}

TEST_F(ForwardPoints, ResolveTakesTheNextTradingDay) {
    // Thursday 28 March 2024: Good Friday and the weekend follow, so the next trading day is
    // Monday 1 April.
    WriteFp(MakeDate(2024, 3, 28), "EUR 10\n");
    WriteFp(MakeDate(2024, 3, 29), "EUR 99\n");
    WriteFp(MakeDate(2024, 4, 1), "EUR 11\n");
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 28), "EUR"), 11.0);
}

TEST_F(ForwardPoints, ResolveFallsBackToTheSelectedTradingDay) {
    WriteFp(MakeDate(2024, 3, 28), "EUR 10\n");
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 28), "EUR"), 10.0);
    WriteFp(MakeDate(2024, 4, 1), "EUR 0\nGBP 4\n");
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 28), "EUR"), 10.0) << "a zero point falls back";
}

TEST_F(ForwardPoints, ResolveFallsBackToThePreviousTradingDayOfAHoliday) {
    // Good Friday is selected: the day before the next trading day that trades is Thursday.
    WriteFp(MakeDate(2024, 3, 28), "JPY -12.35\n");
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 29), "JPY"), -12.35);
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 30), "JPY"), -12.35);
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2024, 3, 30), "EUR"), 0.0) << "neither day has EUR";
    EXPECT_TRUE(plain_.Messages().empty());
}

TEST_F(ForwardPoints, ResolveWorksPast2038) {
    // Monday 31 December 2040; 1 January 2041 is a holiday, so Wednesday 2 January counts.
    WriteFp(MakeDate(2041, 1, 2), "CHF 4.5\n");
    EXPECT_DOUBLE_EQ(Resolve(MakeDate(2040, 12, 31), "CHF"), 4.5);
    EXPECT_TRUE(folder_.Folder().ForwardPointFile(MakeDate(2041, 1, 2)).filename() ==
                "FP_20410102.TXT");
}

TEST_F(ForwardPoints, ResolveIgnoresDaysThatNoDateKeyCanName) {
    EXPECT_DOUBLE_EQ(Resolve(std::numeric_limits<Date>::max(), "EUR"), 0.0);
    EXPECT_DOUBLE_EQ(Resolve(std::numeric_limits<Date>::min(), "EUR"), 0.0);
    EXPECT_TRUE(plain_.Messages().empty());
}

}  // namespace
}  // namespace zarvex::analytics
