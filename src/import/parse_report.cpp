#include "import/parse_report.h"

#include <vector>

#include "import/line_splitter.h"
#include "import/report_file.h"
#include "import/report_parser.h"

namespace zarvex::import {

namespace {

template <typename Reader>
ParseSummary Drive(Reader& reader, std::string_view symbol, std::string_view day_text,
                   const RowSink& on_row) {
    ReportParser parser(symbol, day_text);
    ParseSummary summary;
    std::string_view line;
    while (reader.NextLine(line)) {
        if (parser.FeedLine(line)) {
            ++summary.rows;
            if (on_row) {
                on_row(parser.Row());
            }
        }
        if (parser.Finished()) {
            break;
        }
    }
    parser.EndOfFile();
    summary.lines_read = parser.LinesRead();
    summary.finished = parser.Finished();
    summary.lines = parser.LineCount();
    return summary;
}

}  // namespace

bool HoldsOptionSection(std::string_view text, std::span<const std::string_view> symbols) {
    for (const std::string_view symbol : symbols) {
        bool found = false;
        ParseReportText(text, symbol, {}, [&found](const ReportRow& row) {
            found = found || row.option == "CALL" || row.option == "PUT";
        });
        if (found) {
            return true;
        }
    }
    return false;
}

std::optional<bool> FileHoldsOptionSection(const std::filesystem::path& path,
                                           std::span<const std::string_view> symbols) {
    ReportFile file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::vector<ReportParser> parsers;
    for (const std::string_view symbol : symbols) {
        parsers.emplace_back(symbol, std::string_view());
    }
    std::string_view line;
    std::size_t open = parsers.size();
    while (open > 0 && file.NextLine(line)) {
        open = 0;
        for (ReportParser& parser : parsers) {
            if (parser.Finished()) {
                continue;
            }
            if (parser.FeedLine(line) &&
                (parser.Row().option == "CALL" || parser.Row().option == "PUT")) {
                return true;
            }
            open += parser.Finished() ? 0 : 1;
        }
    }
    if (file.Failed()) {
        return std::nullopt;
    }
    return false;
}

ParseSummary ParseReportText(std::string_view text, std::string_view symbol,
                             std::string_view day_text, const RowSink& on_row) {
    TextLines lines(text);
    return Drive(lines, symbol, day_text, on_row);
}

std::optional<ParseSummary> ParseReportFile(const std::filesystem::path& path,
                                            std::string_view symbol, std::string_view day_text,
                                            const RowSink& on_row) {
    ReportFile file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    ParseSummary summary = Drive(file, symbol, day_text, on_row);
    if (file.Failed()) {
        return std::nullopt;
    }
    return summary;
}

}  // namespace zarvex::import
