#pragma once

#include <string>
#include <string_view>

#include "import/report_row.h"

namespace zarvex::import {

// Reads the daily currency report on behalf of one symbol, one line at a time, and turns
// the strike lines of that symbol's CALL and PUT sections into rows. Recognition is by
// contained text and fixed columns only; malformed lines are never an error, they simply
// yield what their columns hold. Work per line is linear in the line length and the parser
// keeps no more than one row, so any byte sequence is safe to feed.
//
// Driving it:
//     ReportParser parser(symbol, day_text);
//     while (reader.NextLine(line)) {
//         if (parser.FeedLine(line)) store(parser.Row());
//         if (parser.Finished()) break;
//     }
//     parser.EndOfFile();
//     return parser.LinesRead();
class ReportParser final {
public:
    ReportParser() = default;
    ReportParser(std::string_view symbol, std::string_view day_text);

    // Resets every state for a new file: symbol ("EUR" ... "CHF"; "JPY" turns on the strike
    // rescaling) and the trading day stamped on every row.
    void Start(std::string_view symbol, std::string_view day_text);

    // One line without its end characters. Returns true when the line yielded a row, which
    // Row() then holds until the next FeedLine or Start. Lines fed after Finished() are
    // ignored.
    bool FeedLine(std::string_view line);

    // To be called once after the last line (also after Finished()); settles LinesRead() for
    // a file whose last line lies outside every section.
    void EndOfFile();

    const ReportRow& Row() const { return row_; }

    // The closing line of the PUT section was seen: the caller stops reading.
    bool Finished() const { return finished_; }

    // The file held at least one line the parser took as read: a line inside a section, or
    // any line when the file ends outside every section. False for an empty file.
    bool LinesRead() const { return lines_read_; }

    // Lines fed since Start (for the callers' diagnostics).
    std::size_t LineCount() const { return line_count_; }

private:
    void OpenBlock(std::string_view line);
    void YieldStrikeLine(std::string_view line);

    std::string symbol_;
    std::string day_text_;
    bool jpy_ = false;

    bool section_open_ = false;
    bool block_open_ = false;
    std::string option_;
    std::string contract_;
    std::string expiration_;

    bool finished_ = false;
    bool lines_read_ = false;
    std::size_t line_count_ = 0;

    ReportRow row_;
};

}  // namespace zarvex::import
