// The report parser over a whole report, for each of the six symbols. Besides not crashing:
// - the file reader and the in-memory reader split the bytes into the same lines, so both
//   passes give the same rows and the same summary;
// - every row carries the symbol and day it was asked for, and an expiration that is empty
//   or a real day;
// - storing the report as the download does (normalised) changes no row; only the empty line
//   the normaliser adds after a final line break may yield one row more.

#include <array>
#include <cstdint>
#include <vector>

#include "acquisition/report_normaliser.h"
#include "common/date.h"
#include "fuzz/fuzz_check.h"
#include "import/parse_report.h"

namespace {

using zarvex::import::ParseSummary;
using zarvex::import::ReportRow;

constexpr std::array<std::string_view, 6> kSymbols{"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};
constexpr std::string_view kDay = "03.12.2012";

struct Pass {
    ParseSummary summary;
    std::vector<ReportRow> rows;
};

Pass InMemory(std::string_view text, std::string_view symbol) {
    Pass pass;
    pass.summary = zarvex::import::ParseReportText(
        text, symbol, kDay, [&](const ReportRow& row) { pass.rows.push_back(row); });
    return pass;
}

bool SameSummary(const ParseSummary& a, const ParseSummary& b) {
    return a.lines_read == b.lines_read && a.finished == b.finished && a.lines == b.lines &&
           a.rows == b.rows;
}

bool EndsWithLineEnd(std::string_view text) {
    return !text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zarvex::fuzz::ScratchFolder scratch;
    const std::string_view text = zarvex::fuzz::AsText(data, size);
    const auto file = scratch.Path() / "CUR_20121203.TXT";
    zarvex::fuzz::ScratchFolder::Write(file, text);
    const std::string normalised = zarvex::acquisition::NormaliseReport(text);
    const bool renamed = text.find("JLY") != std::string_view::npos;

    for (const std::string_view symbol : kSymbols) {
        const Pass memory = InMemory(text, symbol);
        FUZZ_CHECK(memory.summary.rows == memory.rows.size());
        FUZZ_CHECK(memory.summary.lines == 0 || memory.summary.lines_read);
        for (const ReportRow& row : memory.rows) {
            FUZZ_CHECK(row.symb == symbol);
            FUZZ_CHECK(row.date == kDay);
            FUZZ_CHECK(row.expiration.empty() ||
                       zarvex::common::ParseDate(row.expiration, "%dd.%mm.%yyyy") !=
                           zarvex::common::kInvalidDate);
        }

        Pass from_file;
        const auto summary = zarvex::import::ParseReportFile(
            file, symbol, kDay, [&](const ReportRow& row) { from_file.rows.push_back(row); });
        FUZZ_CHECK(summary.has_value());
        FUZZ_CHECK(SameSummary(*summary, memory.summary));
        FUZZ_CHECK(from_file.rows == memory.rows);

        if (!renamed) {
            const Pass stored = InMemory(normalised, symbol);
            const std::size_t extra = EndsWithLineEnd(text) && !memory.summary.finished ? 1 : 0;
            FUZZ_CHECK(stored.rows.size() >= memory.rows.size());
            FUZZ_CHECK(stored.rows.size() - memory.rows.size() <= extra);
            FUZZ_CHECK(std::equal(memory.rows.begin(), memory.rows.end(), stored.rows.begin()));
        }
    }
    return 0;
}
