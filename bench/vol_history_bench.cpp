// The volatility across ten years of stored days: vol --history and --cone with the volatility
// store in place, its first build, and the day run's extra cost for six symbols, each beside
// what it replaces (the per-day recomputation from the rows, the bare reads of the store).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analytics/volatility/term_structure.h"
#include "analytics/volatility/vol_cone.h"
#include "analytics/volatility/vol_history.h"
#include "analytics/volatility/volatility_store.h"
#include "app/cli/cli.h"
#include "long_history_data.h"

namespace {

constexpr int kTenYearDays = 2500;

// Ten years of generated EUR days (30 strike lines per block), made once and kept in the build
// folder: generating them takes minutes.
const common::ProgramFolder& TenYearHome() {
    static const common::ProgramFolder home = [] {
        const common::ProgramFolder made(std::filesystem::path(ZARVEX_BENCH_DATA_DIR) /
                                         "vol_history_bench");
        for (const auto& sub : {made.Input(), made.Output(), made.Db()}) {
            std::filesystem::create_directories(sub);
        }
        if (StoredDays(made, "EUR") < kTenYearDays) {
            const auto path = storage::QuotePath(made, "EUR");
            std::filesystem::remove(path);
            std::filesystem::remove(analytics::VolatilityStorePath(made, "EUR"));
            const storage::Database db = storage::OpenStore(path, storage::StoreKind::kQuote).db;
            db.Execute("Begin Transaction");
            storage::Statement insert = db.Prepare(
                "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
                "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            std::vector<common::Date> days =
                reportgen::TradingDays(kLastDay - 3700 * common::kSecondsPerDay, kLastDay);
            days.erase(days.begin(), days.end() - kTenYearDays);
            const reportgen::ReportGenerator generator({.seed = kSeed});
            for (const common::Date day : days) {
                const reportgen::GeneratedDay generated = generator.Generate(day);
                for (const import::ReportRow& row : generated.rows.at("EUR")) {
                    InsertGeneratedRow(insert, row);
                }
            }
            insert = storage::Statement();
            db.Execute("Commit");
        }
        return made;
    }();
    return home;
}

std::string RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    zarvex::cli::Run(args, out, err);
    return out.str();
}

void BM_VolHistoryCommand(benchmark::State& state) {
    const std::string home = TenYearHome().Root().string();
    RunCli({"--home", home, "vol", "--symbol", "EUR", "--history"});  // the store in place
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunCli({"--home", home, "vol", "--symbol", "EUR", "--history"}));
    }
}
BENCHMARK(BM_VolHistoryCommand)->Unit(benchmark::kMillisecond);

void BM_VolConeCommand(benchmark::State& state) {
    const std::string home = TenYearHome().Root().string();
    RunCli({"--home", home, "vol", "--symbol", "EUR", "--cone"});
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunCli({"--home", home, "vol", "--symbol", "EUR", "--cone"}));
    }
}
BENCHMARK(BM_VolConeCommand)->Unit(benchmark::kMillisecond);

// Floor: the store's rows read bare, nothing computed over them.
void BM_StoreRowsBare(benchmark::State& state) {
    const storage::Database db =
        storage::Database::OpenReadOnly(analytics::VolatilityStorePath(TenYearHome(), "EUR"));
    for (auto _ : state) {
        storage::Statement s = db.Prepare("SELECT * FROM contracts");
        std::int64_t n = 0;
        while (s.Step()) {
            n += s.ColumnInt(4);
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_StoreRowsBare)->Unit(benchmark::kMillisecond);

// What the store replaces: one day's term structure solved from the rows (per day; times
// 2,500 for ten years).
void BM_TermOfOneDayFromRows(benchmark::State& state) {
    const storage::Database db =
        storage::Database::OpenReadOnly(storage::QuotePath(TenYearHome(), "EUR"));
    const std::string day = common::DayText(kLastDay);
    for (auto _ : state) {
        benchmark::DoNotOptimize(analytics::TermOfDay(db, "EUR", day));
    }
}
BENCHMARK(BM_TermOfOneDayFromRows)->Unit(benchmark::kMillisecond);

// The first build of the store for ten years, with the rows' fingerprints.
void BM_FirstBuild(benchmark::State& state) {
    const common::ProgramFolder& home = TenYearHome();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(analytics::VolatilityStorePath(home, "EUR"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(analytics::LoadVolatilityDays(home, "EUR"));
    }
}
BENCHMARK(BM_FirstBuild)->Unit(benchmark::kMillisecond)->Iterations(1);

// The day run's extra cost for six symbols of 250 full-size days: the day just extracted
// fingerprinted, summarised and written into each store that was in line before.
void BM_DayRunSixSymbols(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    const std::string day = common::DayText(kLastDay);
    for (const std::string_view symbol : common::kSymbols) {
        analytics::LoadVolatilityDays(home, symbol);
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> stamps;
        for (const std::string_view symbol : common::kSymbols) {
            // The day gone from the store, as it is before the day run writes it.
            const storage::Database store =
                storage::Database::Open(analytics::VolatilityStorePath(home, symbol));
            store.Execute("DELETE FROM days WHERE date = ?", {std::string_view(day)});
            stamps.push_back(analytics::QuoteFileStamp(home, symbol));
        }
        state.ResumeTiming();
        for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
            benchmark::DoNotOptimize(
                analytics::RefreshVolatilityDay(home, common::kSymbols[i], day, stamps[i]));
        }
    }
}
BENCHMARK(BM_DayRunSixSymbols)->Unit(benchmark::kMillisecond);

// Floor of the day run: the six days' term structures alone, as the store needs them.
void BM_SixTermsFromRows(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    const std::string day = common::DayText(kLastDay);
    for (auto _ : state) {
        for (const std::string_view symbol : common::kSymbols) {
            const storage::Database db =
                storage::Database::OpenReadOnly(storage::QuotePath(home, symbol));
            benchmark::DoNotOptimize(analytics::TermOfDay(db, symbol, day));
        }
    }
}
BENCHMARK(BM_SixTermsFromRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
