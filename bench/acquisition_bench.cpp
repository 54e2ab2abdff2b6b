// The in-memory side of a report download: normalising a report of the largest size the
// receive buffer takes, and the atomic write into INPUT/.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "acquisition/file_writer.h"
#include "acquisition/report_normaliser.h"

namespace {

std::string BigReport(std::size_t size) {
    std::string report;
    const std::string line = "EUR CALL JLY13  1.2950  0.0123  0.4512      12     1500     -30\n";
    while (report.size() + line.size() < size) {
        report += line;
    }
    return report;
}

void BM_NormaliseReport(benchmark::State& state) {
    const std::string report = BigReport(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zarvex::acquisition::NormaliseReport(report));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(report.size()));
}
BENCHMARK(BM_NormaliseReport)->Arg(100'000)->Arg(4'000'000)->Unit(benchmark::kMillisecond);

void BM_WriteReportAtomically(benchmark::State& state) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("zarvex-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string report = zarvex::acquisition::NormaliseReport(BigReport(1'000'000));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            zarvex::acquisition::WriteFileAtomically(folder / "CUR_20121203.TXT", report));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteReportAtomically)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
