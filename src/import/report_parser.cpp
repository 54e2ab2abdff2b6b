#include "import/report_parser.h"

#include "common/date.h"
#include "common/text.h"

namespace zarvex::import {

namespace {

// Section and block ends are runs of this many '=' or '-' anywhere in the line.
constexpr std::size_t kRuleLength = 61;

// Whether text holds a run of at least kRuleLength copies of c. Every such run covers one
// of the positions kRuleLength - 1, 2 * kRuleLength - 1, ..., so only those are probed; a
// probe that hits c measures the run around it. Shorter runs hold at most one probe each,
// so the whole test stays linear and usually touches one byte in 61.
bool HasRule(std::string_view text, char c) {
    for (std::size_t probe = kRuleLength - 1; probe < text.size(); probe += kRuleLength) {
        if (text[probe] != c) {
            continue;
        }
        std::size_t left = probe;
        while (left > 0 && text[left - 1] == c) {
            --left;
        }
        std::size_t right = probe + 1;
        while (right < text.size() && text[right] == c && right - left < kRuleLength) {
            ++right;
        }
        if (right - left >= kRuleLength) {
            return true;
        }
    }
    return false;
}

bool IsMonthAt(std::string_view text, std::size_t i) {
    const char a = text[i];
    const char b = text[i + 1];
    const char c = text[i + 2];
    switch (a) {
        case 'J':
            return (b == 'A' && c == 'N') || (b == 'U' && (c == 'N' || c == 'L'));
        case 'F':
            return b == 'E' && c == 'B';
        case 'M':
            return b == 'A' && (c == 'R' || c == 'Y');
        case 'A':
            return (b == 'P' && c == 'R') || (b == 'U' && c == 'G');
        case 'S':
            return b == 'E' && c == 'P';
        case 'O':
            return b == 'C' && c == 'T';
        case 'N':
            return b == 'O' && c == 'V';
        case 'D':
            return b == 'E' && c == 'C';
        default:
            return false;
    }
}

// Whether text holds one of JAN ... DEC (upper case, anywhere).
bool HasMonth(std::string_view text) {
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        if (IsMonthAt(text, i)) {
            return true;
        }
    }
    return false;
}

// The field at 1-based column first of the given width, trimmed; empty beyond the line.
std::string_view Field(std::string_view line, std::size_t first, std::size_t width) {
    if (first - 1 >= line.size()) {
        return {};
    }
    return common::Trim(line.substr(first - 1, width));
}

std::string_view Last(std::string_view text, std::size_t count) {
    return text.size() > count ? text.substr(text.size() - count) : text;
}

}  // namespace

ReportParser::ReportParser(std::string_view symbol, std::string_view day_text) {
    Start(symbol, day_text);
}

void ReportParser::Start(std::string_view symbol, std::string_view day_text) {
    symbol_.assign(symbol);
    day_text_.assign(day_text);
    jpy_ = symbol == "JPY";
    section_open_ = false;
    block_open_ = false;
    option_.clear();
    contract_.clear();
    expiration_.clear();
    finished_ = false;
    lines_read_ = false;
    line_count_ = 0;
    row_ = ReportRow{};
}

bool ReportParser::FeedLine(std::string_view line) {
    if (finished_) {
        return false;
    }
    ++line_count_;

    if (!section_open_ && line.find(symbol_) != std::string_view::npos) {
        section_open_ = true;
        block_open_ = false;
        // "... CALL" or "... PUT": the tail of the header, so a blank before PUT goes.
        option_.assign(common::Trim(Last(common::Trim(line), 4)));
    }

    if (section_open_ && HasRule(line, '=')) {
        if (option_ == "PUT") {
            finished_ = true;
            lines_read_ = true;
            return false;
        }
        // The block stays as it is; the next section header closes it.
        section_open_ = false;
    }

    if (!section_open_) {
        return false;
    }

    bool yielded = false;
    if (block_open_ && HasRule(line, '-')) {
        block_open_ = false;
    }
    if (block_open_) {
        YieldStrikeLine(line);
        yielded = true;
    } else if (HasMonth(line)) {
        // Even a section header with a month in it opens a block: strike lines start below.
        OpenBlock(line);
    }
    lines_read_ = true;
    return yielded;
}

void ReportParser::EndOfFile() {
    if (line_count_ > 0 && !section_open_) {
        lines_read_ = true;
    }
}

void ReportParser::OpenBlock(std::string_view line) {
    const std::string_view trimmed = common::Trim(line);
    contract_.assign(trimmed.substr(0, 8));
    const common::Date expiry = common::ParseDate(Last(trimmed, 8), "%yyyy%mm%dd");
    // A contract line without a readable date gets no expiration rather than the 1969 day
    // that formatting the invalid date value would produce.
    if (expiry == common::kInvalidDate) {
        expiration_.clear();
    } else {
        expiration_ = common::FormatDate(expiry, "%dd.%mm.%yyyy");
    }
    block_open_ = true;
}

void ReportParser::YieldStrikeLine(std::string_view line) {
    const std::string_view strike = Field(line, 1, 8);
    if (jpy_) {
        // The report quotes the yen per 1 JPY (0.009850); the program works in yen per 100.
        row_.strike = common::FormatShort(common::ToDouble(strike) * 100.0);
    } else {
        row_.strike.assign(strike);
    }
    row_.price.assign(Field(line, 11, 8));
    row_.delta.assign(Field(line, 21, 8));
    row_.volume.assign(Field(line, 31, 8));
    row_.oi.assign(Field(line, 41, 8));
    row_.doi.assign(Field(line, 51, 8));
    const std::string_view sign = Field(line, 61, 2);
    if (sign == "-") {
        row_.sign.assign("-1");
    } else if (sign == "+") {
        row_.sign.assign("1");
    } else {
        row_.sign.assign(sign);
    }
    row_.symb = symbol_;
    row_.option = option_;
    row_.contract = contract_;
    row_.expiration = expiration_;
    row_.date = day_text_;
}

}  // namespace zarvex::import
