#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/log.h"
#include "common/log_file.h"
#include "common/system_clock.h"

namespace {

using namespace zarvex;

// Log calls sit in nearly every procedure, some inside loops over report lines: with the
// switch off a call must cost nothing.
void BM_LogCallWithTheSwitchAsBuilt(benchmark::State& state) {
    std::int64_t line = 0;
    for (auto _ : state) {
        common::Log("Extract: line ", line, " of ", "CUR_20400102.TXT", ' ', 1.25);
        benchmark::DoNotOptimize(++line);
    }
    state.SetLabel(common::LogEnabled() ? "switch on" : "switch off");
}
BENCHMARK(BM_LogCallWithTheSwitchAsBuilt);

// The price of one line when the switch is on: open, append, close.
void BM_LogFileAppend(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("zarvex_log_bench_" + std::to_string(::getpid()) + ".txt");
    common::SystemClock clock;
    common::LogFile log(path, clock);
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.Append("Extract: line 1234 of CUR_20400102.TXT"));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LogFileAppend);

}  // namespace

BENCHMARK_MAIN();
