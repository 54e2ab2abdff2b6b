#pragma once

#include <string>

namespace zarvex::import {

// One option row as the report parser yields it: every column is the text taken from the
// report (cut and trimmed, sign and JPY strike rewritten), in the column order of the
// quote table. The contract keeps its 8 characters as cut, trailing blanks included; the
// extraction decides what it trims.
struct ReportRow {
    std::string strike;
    std::string price;
    std::string delta;
    std::string volume;
    std::string oi;
    std::string doi;
    std::string sign;
    std::string symb;
    std::string option;  // "CALL" or "PUT" (the tail of the section header)
    std::string contract;
    std::string expiration;  // "%dd.%mm.%yyyy", empty when the contract line has no valid date
    std::string date;        // the trading day given to the parser, "%dd.%mm.%yyyy"

    bool operator==(const ReportRow&) const = default;
};

}  // namespace zarvex::import
