#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "import/report_row.h"

namespace zarvex::import {

// What a whole pass of the parser over one report came to.
struct ParseSummary {
    bool lines_read = false;  // the parser's lines-read flag after the end of the file
    bool finished = false;    // the PUT section was closed; the rest was not read
    std::size_t lines = 0;    // lines fed to the parser
    std::size_t rows = 0;     // rows yielded
};

using RowSink = std::function<void(const ReportRow&)>;

// Runs the parser for one symbol over a report held in memory.
ParseSummary ParseReportText(std::string_view text, std::string_view symbol,
                             std::string_view day_text, const RowSink& on_row);

// Whether the parser finds a CALL or PUT section with at least one strike line for any of the
// symbols: what tells a report from a page that only came in its place (an error text, a
// login page, a body cut off before the first section).
bool HoldsOptionSection(std::string_view text, std::span<const std::string_view> symbols);

// The same test over a report file, read only as far as the first option row; nullopt when
// the file cannot be opened or reading it fails.
std::optional<bool> FileHoldsOptionSection(const std::filesystem::path& path,
                                           std::span<const std::string_view> symbols);

// The parser over a file; nullopt when the file cannot be opened or reading it fails.
std::optional<ParseSummary> ParseReportFile(const std::filesystem::path& path,
                                            std::string_view symbol, std::string_view day_text,
                                            const RowSink& on_row);

}  // namespace zarvex::import
