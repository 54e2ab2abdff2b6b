// Throughput of the report parser on a full-size generated report (over 1 MB, 1,500+ strike
// lines per currency), as the extraction and `zarvex-cli parse` drive it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/date.h"
#include "import/line_splitter.h"
#include "import/parse_report.h"
#include "import/report_parser.h"
#include "reportgen/report_generator.h"

namespace {

using namespace zarvex;

const std::string& FullReport() {
    static const std::string report = [] {
        reportgen::GeneratorOptions options;
        options.full = true;
        options.seed = 2012;
        return reportgen::ReportGenerator(options).Generate(common::MakeDate(2012, 12, 3)).report;
    }();
    return report;
}

constexpr const char* kSymbols[] = {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};

// One instrument's pass: the parser reads until that symbol's PUT section closes, so the
// bytes counted are those it actually read.
void BM_ParseOneSymbol(benchmark::State& state) {
    const std::string& report = FullReport();
    const char* symbol = kSymbols[state.range(0)];
    std::size_t bytes = 0;
    for (auto _ : state) {
        import::TextLines lines(report);
        import::ReportParser parser(symbol, "03.12.2012");
        std::string_view line;
        std::size_t rows = 0;
        std::size_t read = 0;
        while (lines.NextLine(line)) {
            read += line.size() + 2;
            if (parser.FeedLine(line)) {
                benchmark::DoNotOptimize(parser.Row());
                ++rows;
            }
            if (parser.Finished()) {
                break;
            }
        }
        parser.EndOfFile();
        benchmark::DoNotOptimize(rows);
        bytes += read;
    }
    state.SetLabel(symbol);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ParseOneSymbol)->DenseRange(0, 5);

// The day run: six instruments, each over the whole file, rows handed to a callback.
void BM_ParseSixSymbols(benchmark::State& state) {
    const std::string& report = FullReport();
    for (auto _ : state) {
        std::size_t rows = 0;
        for (const char* symbol : kSymbols) {
            import::ParseReportText(report, symbol, "03.12.2012",
                                    [&rows](const import::ReportRow&) { ++rows;
        });
    }
    benchmark::DoNotOptimize(rows);
}
state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 6 *
                        static_cast<std::int64_t>(report.size()));
}  // namespace
BENCHMARK(BM_ParseSixSymbols);

// The same one symbol read from a file, as the extraction and the parse command do.
void BM_ParseFile(benchmark::State& state) {
    const std::string& report = FullReport();
    const auto path = std::filesystem::temp_directory_path() /
                      ("zarvex-parser-bench-" + std::to_string(getpid()) + ".txt");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(report.data(), static_cast<std::streamsize>(report.size()));
    }
    for (auto _ : state) {
        std::size_t rows = 0;
        // A symbol that is not in the report: the whole file is read.
        import::ParseReportFile(path, "XYZ", "03.12.2012",
                                [&rows](const import::ReportRow&) { ++rows;
    });
    benchmark::DoNotOptimize(rows);
}
std::filesystem::remove(path);
state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                        static_cast<std::int64_t>(report.size()));
}
BENCHMARK(BM_ParseFile);

void BM_SplitLines(benchmark::State& state) {
    const std::string& report = FullReport();
    for (auto _ : state) {
        import::TextLines lines(report);
        std::string_view line;
        std::size_t count = 0;
        while (lines.NextLine(line)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(report.size()));
}
BENCHMARK(BM_SplitLines);

}  // namespace

BENCHMARK_MAIN();
