// The volatility across ten years of stored days: vol --history and --cone with the volatility
// store in place, its first build, and the day run's extra cost for six symbols, each beside
// what it replaces (the per-day recomputation from the rows, the bare reads of the store, the
// board's reading of the store as it was).

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analytics/board/board_figures.h"
#include "analytics/board/symbol_rows.h"
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

// --- The day run's extra cost for the store, six symbols of 250 full-size days ---

// Each symbol's last day as the evening's board hands it over: its rows read and every contract
// solved the way the board does for its own figures (made once, outside the timings).
const std::vector<analytics::HandedDay>& BoardDays() {
    static const std::vector<analytics::HandedDay> days = [] {
        const common::ProgramFolder& home = SixSymbolHome();
        std::vector<analytics::HandedDay> out;
        for (const std::string_view symbol : common::kSymbols) {
            analytics::LoadVolatilityDays(home, symbol);  // the stores in line
            const storage::Database db =
                storage::Database::OpenReadOnlyForScan(storage::QuotePath(home, symbol));
            analytics::SymbolRows rows;
            rows.Scan(db);
            rows.Load(db, {kLastDay});
            const analytics::AnalysisInput input(BenchSettings(), std::string(symbol));
            analytics::HandedDay& day = out.emplace_back();
            day.date = common::DayText(kLastDay);
            const analytics::SymbolRows::DayReading& reading = *rows.ReadingOf(kLastDay);
            day.print = reading.print;
            day.contracts = reading.contracts;
            day.expirations = reading.expirations;
            for (const std::string& name : rows.ContractsOn(kLastDay)) {
                const analytics::ContractRows& contract = *rows.Contract(name);
                analytics::TermContract& term = day.solved.emplace_back();
                analytics::ComputeContractDay(contract,
                                              *analytics::SymbolRows::RowsOn(contract, kLastDay),
                                              kLastDay, input, 0.0, &term);
                term.contract = name;
            }
        }
        return out;
    }();
    return days;
}

// The day run as it touches the store: after the extraction, each symbol's day noted as waiting
// for its summary; in the evening, the board's reading of the store taking the day it solved.
// The quote files are touched first, as the extraction leaves them.
void BM_DayRunSixSymbols(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    const std::vector<analytics::HandedDay>& handed = BoardDays();
    const std::string day = common::DayText(kLastDay);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> stamps;
        for (const std::string_view symbol : common::kSymbols) {
            stamps.push_back(analytics::QuoteFileStamp(home, symbol));
            const auto path = storage::QuotePath(home, symbol);
            std::filesystem::last_write_time(
                path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
        }
        state.ResumeTiming();
        for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
            benchmark::DoNotOptimize(
                analytics::RefreshVolatilityDay(home, common::kSymbols[i], day, stamps[i]));
            const auto days =
                analytics::LoadVolatilityDays(home, common::kSymbols[i], {}, &handed[i]);
            if (!days || !days->handed) {
                state.SkipWithError("the board's day was not taken");
            }
        }
    }
}
BENCHMARK(BM_DayRunSixSymbols)->Unit(benchmark::kMillisecond);

// The day run's part alone: the six days noted as waiting (the board's reading then takes them,
// outside the timing).
void BM_DayRunNoteSixDays(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    const std::vector<analytics::HandedDay>& handed = BoardDays();
    const std::string day = common::DayText(kLastDay);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> stamps;
        for (const std::string_view symbol : common::kSymbols) {
            stamps.push_back(analytics::QuoteFileStamp(home, symbol));
            const auto path = storage::QuotePath(home, symbol);
            std::filesystem::last_write_time(
                path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
        }
        state.ResumeTiming();
        for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
            benchmark::DoNotOptimize(
                analytics::RefreshVolatilityDay(home, common::kSymbols[i], day, stamps[i]));
        }
        state.PauseTiming();
        for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
            analytics::LoadVolatilityDays(home, common::kSymbols[i], {}, &handed[i]);
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DayRunNoteSixDays)->Unit(benchmark::kMillisecond);

// The evening's part alone: the board's reading of the store with the six days waiting, which
// takes the days it solved.
void BM_BoardTakesSixDays(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    const std::vector<analytics::HandedDay>& handed = BoardDays();
    const std::string day = common::DayText(kLastDay);
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string_view symbol : common::kSymbols) {
            const std::string stamp = analytics::QuoteFileStamp(home, symbol);
            const auto path = storage::QuotePath(home, symbol);
            std::filesystem::last_write_time(
                path, std::filesystem::last_write_time(path) + std::chrono::seconds(1));
            analytics::RefreshVolatilityDay(home, symbol, day, stamp);
        }
        state.ResumeTiming();
        for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
            benchmark::DoNotOptimize(
                analytics::LoadVolatilityDays(home, common::kSymbols[i], {}, &handed[i]));
        }
    }
}
BENCHMARK(BM_BoardTakesSixDays)->Unit(benchmark::kMillisecond);

// Beside it, what the board's reading of the store costs with nothing waiting (as it did
// before): the day run's extra cost is the difference.
void BM_BoardStoreReadSixSymbols(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    const std::vector<analytics::HandedDay>& handed = BoardDays();
    for (auto _ : state) {
        for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
            benchmark::DoNotOptimize(
                analytics::LoadVolatilityDays(home, common::kSymbols[i], {}, &handed[i]));
        }
    }
}
BENCHMARK(BM_BoardStoreReadSixSymbols)->Unit(benchmark::kMillisecond);

// The board's part of the day's fingerprint: the six days' rows hashed as its reading hashes
// them (rows already in memory).
void BM_SixDayFingerprints(benchmark::State& state) {
    const common::ProgramFolder& home = SixSymbolHome();
    struct Row {
        std::int64_t id;
        bool call;
        std::string contract, expiration;
        double strike, price;
        std::int64_t oi;
    };
    std::vector<std::vector<Row>> days;
    for (const std::string_view symbol : common::kSymbols) {
        const storage::Database db =
            storage::Database::OpenReadOnly(storage::QuotePath(home, symbol));
        storage::Statement s = db.Prepare(
            "SELECT id, option = 'CALL', contract, expiration, strike, price, oi FROM dating "
            "WHERE date = ? AND option IN ('CALL', 'PUT') ORDER BY id");
        const std::string day = common::DayText(kLastDay);
        s.BindAll({std::string_view(day)});
        std::vector<Row>& rows = days.emplace_back();
        while (s.Step()) {
            rows.push_back({s.ColumnInt(0), s.ColumnInt(1) == 1, s.ColumnText(2), s.ColumnText(3),
                            s.ColumnDouble(4), s.ColumnDouble(5), s.ColumnInt(6)});
        }
    }
    for (auto _ : state) {
        for (const std::vector<Row>& rows : days) {
            analytics::DayFingerprint print;
            for (const Row& r : rows) {
                print.Add(r.id, r.call ? "CALL" : "PUT", r.contract, r.expiration, r.strike,
                          r.price, r.oi);
            }
            benchmark::DoNotOptimize(print);
        }
    }
}
BENCHMARK(BM_SixDayFingerprints)->Unit(benchmark::kMillisecond);

// What the day run did before: the six days' term structures solved from the rows, which the
// board now hands over.
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
