#include "acquisition/time_texts.h"

#include <gtest/gtest.h>

#include "acquisition/host_address.h"
#include "support/case_name.h"

namespace zarvex::acquisition {
namespace {

using common::FormatDate;
using common::kInvalidDate;
using common::MakeDate;

std::string ExchangeText(std::string_view answer) {
    const common::Date greenwich = ParseHeaderTime(DateHeaderText(answer));
    if (greenwich <= 0) {
        return "none";
    }
    return FormatDate(ToExchangeTime(greenwich), "%dd.%mm.%yyyy %hh:%ii");
}

struct HeaderCase {
    const char* answer;
    const char* expected;  // exchange time, or "none"
};

class DateHeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(DateHeaderTest, GivesTheExchangeTime) {
    EXPECT_EQ(ExchangeText(GetParam().answer), GetParam().expected) << GetParam().answer;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateHeaderTest,
    testing::Values(
        // Daylight saving starts at 08:00 Greenwich of the third Sunday of March...
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Sun, 10 Mar 2013 08:00:00 GMT\r\n\r\n",
                   "10.03.2013 02:00"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Sun, 17 Mar 2013 07:59:59 GMT\r\n\r\n",
                   "17.03.2013 01:59"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Sun, 17 Mar 2013 08:00:00 GMT\r\n\r\n",
                   "17.03.2013 03:00"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 15 Jul 2013 12:00:00 GMT\r\n\r\n",
                   "15.07.2013 07:00"},
        // ... and ends at 07:00 of the third Sunday of November.
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Fri, 01 Nov 2013 12:00:00 GMT\r\n\r\n",
                   "01.11.2013 07:00"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Sun, 17 Nov 2013 06:59:00 GMT\r\n\r\n",
                   "17.11.2013 01:59"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Sun, 17 Nov 2013 07:00:00 GMT\r\n\r\n",
                   "17.11.2013 01:00"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 18 Nov 2013 12:00:00 GMT\r\n\r\n",
                   "18.11.2013 06:00"},
        // Early in the Greenwich morning the exchange is still on the day before.
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 03 Dec 2012 05:30:00 GMT\r\n\r\n",
                   "02.12.2012 23:30"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Tue, 01 Jan 2013 03:00:00 GMT\r\n\r\n",
                   "31.12.2012 21:00"},
        // Past 2038 and 2040 the dates keep working.
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Tue, 19 Jan 2038 12:00:00 GMT\r\n\r\n",
                   "19.01.2038 06:00"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 16 Jul 2040 22:00:00 GMT\r\n\r\n",
                   "16.07.2040 17:00"},
        // The kept text is upper-cased, so any letter case of the month name reads.
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 03 dec 2012 17:30:00 GMT\r\n\r\n",
                   "03.12.2012 11:30"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 03 DEC 2012 17:30:00 GMT\r\n\r\n",
                   "03.12.2012 11:30"},
        // The Date line may be any of the first five lines, but not the sixth.
        HeaderCase{
            "HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\nC: 3\r\nDate: Mon, 03 Dec 2012 17:30:00 GMT\r\n",
            "03.12.2012 11:30"},
        HeaderCase{"HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\nC: 3\r\nD: 4\r\nDate: Mon, 03 Dec 2012 "
                   "17:30:00 GMT\r\n",
                   "none"},
        // A bare line feed shifts the kept text by one character: no time.
        HeaderCase{"HTTP/1.1 200 OK\nDate: Mon, 03 Dec 2012 17:30:00 GMT\n\n", "none"},
        // Another letter case of the header name is not recognised.
        HeaderCase{"HTTP/1.1 200 OK\r\ndate: Mon, 03 Dec 2012 17:30:00 GMT\r\n\r\n", "none"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 03 Xyz 2012 17:30:00 GMT\r\n\r\n", "none"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: Mon, 31 Feb 2012 17:30:00 GMT\r\n\r\n", "none"},
        HeaderCase{"HTTP/1.1 200 OK\r\nDate: soon\r\n\r\n", "none"}, HeaderCase{"Date:", "none"},
        HeaderCase{"", "none"},
        HeaderCase{"\x01\x02garbage\xff\xfe without any line feed", "none"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.answer); });

TEST(ThirdSundayTest, CountsSundaysFromTheFirst) {
    EXPECT_EQ(ThirdSunday(2013, 3), MakeDate(2013, 3, 17));
    EXPECT_EQ(ThirdSunday(2013, 11), MakeDate(2013, 11, 17));
    EXPECT_EQ(ThirdSunday(2015, 3), MakeDate(2015, 3, 15));  // the 1st is a Sunday
    EXPECT_EQ(ThirdSunday(2012, 3), MakeDate(2012, 3, 18));
}

TEST(HttpDateTextTest, ReadsBackThroughTheHeaderRule) {
    for (const common::Date date : {MakeDate(2012, 12, 3, 17, 30), MakeDate(2038, 1, 19, 3, 14, 8),
                                    MakeDate(2040, 2, 29, 23, 59, 59)}) {
        const std::string answer = "HTTP/1.1 200 OK\r\nDate: " + HttpDateText(date) + "\r\n\r\n";
        EXPECT_EQ(ParseHeaderTime(DateHeaderText(answer)), date) << answer;
    }
    EXPECT_EQ(HttpDateText(MakeDate(2012, 12, 3, 17, 30)), "Mon, 03 Dec 2012 17:30:00 GMT");
}

struct PageCase {
    const char* page;
    common::Date expected;
};

class ExchangePageTest : public testing::TestWithParam<PageCase> {};

TEST_P(ExchangePageTest, ReadsTheTimeAfterTheMarker) {
    EXPECT_EQ(ParseExchangeTimePage(GetParam().page), GetParam().expected) << GetParam().page;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExchangePageTest,
    testing::Values(PageCase{"<html>EST: 20121203 11:30:00</html>", MakeDate(2012, 12, 3, 11, 30)},
                    PageCase{"EST: 20400101 00:00:01", MakeDate(2040, 1, 1, 0, 0, 1)},
                    PageCase{"20121203 11:30:00", kInvalidDate},  // no marker
                    PageCase{"EST: 2012120", kInvalidDate},       // cut short
                    PageCase{"EST: 20121303 11:30:00", kInvalidDate},
                    // Without the marker the text from the fifth character on is read.
                    PageCase{"EST:20121203 11:30:00", MakeDate(2012, 12, 3, 11, 30)},
                    PageCase{"", kInvalidDate}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.page); });

struct AddressCase {
    const char* text;
    bool valid;
    const char* host;
    int port;
};

class HostAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(HostAddressTest, SplitsHostAndPort) {
    const auto address = ParseHostAddress(GetParam().text, 80);
    ASSERT_EQ(address.has_value(), GetParam().valid) << GetParam().text;
    if (address) {
        EXPECT_EQ(address->host, GetParam().host);
        EXPECT_EQ(address->port, GetParam().port);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostAddressTest,
    testing::Values(AddressCase{"example.org", true, "example.org", 80},
                    AddressCase{"127.0.0.1:8217", true, "127.0.0.1", 8217},
                    AddressCase{"[::1]:8080", true, "::1", 8080},
                    AddressCase{"[::1]", true, "::1", 80}, AddressCase{"host:0", false, "", 0},
                    AddressCase{"host:65536", false, "", 0}, AddressCase{"host:http", false, "", 0},
                    AddressCase{"host:", false, "", 0}, AddressCase{":80", false, "", 0},
                    AddressCase{"::1", false, "", 0}, AddressCase{"a/b:80", false, "", 0},
                    AddressCase{"", false, "", 0}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

}  // namespace
}  // namespace zarvex::acquisition
