#pragma once

#include <string>
#include <string_view>

#include "common/date.h"

namespace zarvex::acquisition {

// The readings of the network clock, kept apart from the sockets so they can be checked on
// plain texts.

// From the answer of a time host: in the first of its first five lines that contains
// "Date:", the last 26 characters of the line (its line feed included), upper-cased, of which
// the first 20. For "Date: Mon, 03 Dec 2012 17:30:00 GMT\r\n" that is "03 DEC 2012 17:30:00".
// The empty text when no such line is found.
std::string DateHeaderText(std::string_view answer);

// Greenwich time from the kept text: day, month name (JAN..DEC), year and time at fixed
// places. kInvalidDate when it does not parse.
common::Date ParseHeaderTime(std::string_view kept);

// Exchange time from Greenwich time: 6 hours behind, 5 hours from 08:00 of the third Sunday of
// March to 07:00 of the third Sunday of November (Sundays counted from the 1st).
common::Date ToExchangeTime(common::Date greenwich);

// The third Sunday of the month (midnight).
common::Date ThirdSunday(int year, int month);

// The exchange-time page: the 17 characters after "EST: " as "%yyyy%mm%dd %hh:%ii:%ss". Without
// the marker the characters from the fifth on are taken, which does not parse. kInvalidDate
// when nothing parses.
common::Date ParseExchangeTimePage(std::string_view page);

// What the stand-in server and tests write: "Mon, 03 Dec 2012 17:30:00 GMT".
std::string HttpDateText(common::Date greenwich);

}  // namespace zarvex::acquisition
