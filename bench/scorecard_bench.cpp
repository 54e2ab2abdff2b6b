// The scorecard over ten years of stored days of one symbol, beside its floor, the bare SQLite
// read of the rows it reads, and beside the per-day figures loop of every contract's history
// (what the scorecard would cost if it asked the history of each contract instead).

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "analytics/history/contract_history.h"
#include "analytics/scorecard/numeric_rows.h"
#include "analytics/scorecard/scorecard.h"
#include "analytics/volatility/volatility_store.h"
#include "common/calendar.h"
#include "common/plain_host.h"
#include "common/text.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"

namespace {

using namespace zarvex;

constexpr int kYears = 10;

// Ten years of generated days of EUR (about 2,500 trading days), made once under the temporary
// folder and kept between runs.
const common::ProgramFolder& TenYears() {
    static const common::ProgramFolder home = [] {
        const common::ProgramFolder made(std::filesystem::temp_directory_path() /
                                         "zarvex_scorecard_bench");
        std::filesystem::create_directories(made.Db());
        const auto path = storage::QuotePath(made, "EUR");
        const common::Date last = common::MakeDate(2025, 12, 12);
        const auto days =
            reportgen::TradingDays(last - kYears * 365 * common::kSecondsPerDay, last);
        {
            const storage::Database db = storage::Database::OpenReadOnly(path);
            storage::Statement count = db.Prepare("SELECT COUNT(DISTINCT date) FROM dating");
            if (db.IsOpen() && count.Step() &&
                count.ColumnInt(0) == static_cast<std::int64_t>(days.size())) {
                return made;
            }
        }
        std::filesystem::remove(path);
        const storage::Database db = storage::OpenStore(path, storage::StoreKind::kQuote).db;
        // The store's own first rows are not part of the ten years.
        db.Execute("DELETE FROM dating");
        db.Execute("Begin Transaction");
        storage::Statement insert = db.Prepare(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const reportgen::ReportGenerator generator({.seed = 11});
        for (const common::Date day : days) {
            const reportgen::GeneratedDay generated = generator.Generate(day);
            for (const import::ReportRow& row : generated.rows.at("EUR")) {
                // Stored as the extraction stores it, the contract trimmed.
                const std::string contract = common::TrimCopy(row.contract);
                insert.Reset(true);
                insert.BindAll({std::string_view(row.strike), std::string_view(row.price),
                                std::string_view(row.delta), std::string_view(row.volume),
                                std::string_view(row.oi), std::string_view(row.doi),
                                std::string_view(row.sign), std::string_view(row.symb),
                                std::string_view(row.option), std::string_view(contract),
                                std::string_view(row.expiration), std::string_view(row.date)});
                insert.Run();
            }
        }
        db.Execute("Commit");
        return made;
    }();
    return home;
}

// As `scorecard` and the Scorecard page open it: for one thread's long read.
storage::Database Quotes() {
    return storage::Database::OpenReadOnlyForScan(storage::QuotePath(TenYears(), "EUR"));
}

// What `scorecard --symbol EUR` computes, with the volatility store already in line (it is made
// once, outside the timing, as the day runs keep it): the store's days read, then the card.
void BM_Scorecard(benchmark::State& state) {
    const storage::Database db = Quotes();
    const settings::Settings settings;
    analytics::ScorecardRequest request;
    request.input = analytics::AnalysisInput(settings, "EUR");
    if (!analytics::LoadVolatilityDays(TenYears(), "EUR")) {
        state.SkipWithError("the volatility store cannot be made");
        return;
    }
    for (auto _ : state) {
        const auto summaries = analytics::LoadVolatilityDays(TenYears(), "EUR", {}, nullptr,
                                                             analytics::StoredSmiles::kRead);
        const auto card = analytics::ComputeScorecard(db, request, summaries->days);
        benchmark::DoNotOptimize(card->lines.data());
    }
}
BENCHMARK(BM_Scorecard)->Unit(benchmark::kMillisecond);

// The same on a connection that locks around every call, as the window's own is opened.
void BM_ScorecardOnALockedConnection(benchmark::State& state) {
    const storage::Database db =
        storage::Database::OpenReadOnly(storage::QuotePath(TenYears(), "EUR"));
    const settings::Settings settings;
    analytics::ScorecardRequest request;
    request.input = analytics::AnalysisInput(settings, "EUR");
    if (!analytics::LoadVolatilityDays(TenYears(), "EUR")) {
        state.SkipWithError("the volatility store cannot be made");
        return;
    }
    for (auto _ : state) {
        const auto summaries = analytics::LoadVolatilityDays(TenYears(), "EUR", {}, nullptr,
                                                             analytics::StoredSmiles::kRead);
        const auto card = analytics::ComputeScorecard(db, request, summaries->days);
        benchmark::DoNotOptimize(card->lines.data());
    }
}
BENCHMARK(BM_ScorecardOnALockedConnection)->Unit(benchmark::kMillisecond);

// The same with every forward fitted from the rows (no store).
void BM_ScorecardWithoutTheStore(benchmark::State& state) {
    const storage::Database db = Quotes();
    const settings::Settings settings;
    analytics::ScorecardRequest request;
    request.input = analytics::AnalysisInput(settings, "EUR");
    for (auto _ : state) {
        const auto card = analytics::ComputeScorecard(db, request, {});
        benchmark::DoNotOptimize(card->lines.data());
    }
}
BENCHMARK(BM_ScorecardWithoutTheStore)->Unit(benchmark::kMillisecond);

// Of it: the one read of every contract's rows as numbers.
void BM_ReadNumericContracts(benchmark::State& state) {
    const storage::Database db = Quotes();
    for (auto _ : state) {
        const auto contracts = analytics::ReadNumericContracts(db);
        benchmark::DoNotOptimize(contracts->size());
    }
}
BENCHMARK(BM_ReadNumericContracts)->Unit(benchmark::kMillisecond);

// Of it: the store's days, read while the store is in line.
void BM_ReadVolatilityStore(benchmark::State& state) {
    if (!analytics::LoadVolatilityDays(TenYears(), "EUR")) {
        state.SkipWithError("the volatility store cannot be made");
        return;
    }
    for (auto _ : state) {
        const auto summaries = analytics::LoadVolatilityDays(TenYears(), "EUR", {}, nullptr,
                                                             analytics::StoredSmiles::kRead);
        benchmark::DoNotOptimize(summaries->days.size());
    }
}
BENCHMARK(BM_ReadVolatilityStore)->Unit(benchmark::kMillisecond);

// Floor: the bare SQLite reads of the same rows by the same statements, on the same connection:
// every value of the pass read once by its storage class as the scorecard reads it, then each
// contract's last expiration of a side.
void BM_Floor_BareRead(benchmark::State& state) {
    const storage::Database db = Quotes();
    for (auto _ : state) {
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(db.Handle(),
                           "SELECT contract, date, option, strike, price, delta, volume, oi FROM "
                           "dating ORDER BY rowid",
                           -1, &raw, nullptr);
        std::int64_t sum = 0;
        double reals = 0.0;
        std::vector<std::string> contracts;
        while (sqlite3_step(raw) == SQLITE_ROW) {
            const auto* contract = sqlite3_column_text(raw, 0);
            if (contract != nullptr &&
                (contracts.empty() ||
                 contracts.back() != reinterpret_cast<const char*>(contract))) {
                contracts.emplace_back(reinterpret_cast<const char*>(contract));
            }
            for (int column = 1; column < 8; ++column) {
                sqlite3_value* value = sqlite3_column_value(raw, column);
                switch (sqlite3_value_type(value)) {
                    case SQLITE_TEXT:
                        benchmark::DoNotOptimize(sqlite3_value_text(value));
                        sum += sqlite3_value_bytes(value);
                        break;
                    case SQLITE_FLOAT:
                        reals += sqlite3_value_double(value);
                        break;
                    default:
                        sum += sqlite3_value_int64(value);
                        break;
                }
            }
        }
        sqlite3_finalize(raw);
        std::sort(contracts.begin(), contracts.end());
        contracts.erase(std::unique(contracts.begin(), contracts.end()), contracts.end());
        sqlite3_stmt* last = nullptr;
        sqlite3_prepare_v2(db.Handle(),
                           "SELECT expiration FROM dating WHERE contract = ?1 AND option = ?2 "
                           "ORDER BY rowid DESC LIMIT 1",
                           -1, &last, nullptr);
        for (const std::string& contract : contracts) {
            sqlite3_reset(last);
            sqlite3_bind_text(last, 1, contract.data(), static_cast<int>(contract.size()),
                              SQLITE_STATIC);
            sqlite3_bind_text(last, 2, "PUT", 3, SQLITE_STATIC);
            if (sqlite3_step(last) == SQLITE_ROW) {
                sum += sqlite3_column_bytes(last, 0);
            }
        }
        sqlite3_finalize(last);
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(reals);
    }
}
BENCHMARK(BM_Floor_BareRead)->Unit(benchmark::kMillisecond);

// Beside it: every contract's history, the per-day figures loop of the window and `history`.
void BM_PerDayFiguresOfEveryContract(benchmark::State& state) {
    const storage::Database db = Quotes();
    const settings::Settings settings;
    std::vector<std::string> contracts;
    {
        storage::Statement query = db.Prepare("SELECT DISTINCT contract FROM dating");
        while (query.Step()) {
            contracts.push_back(query.ColumnText(0));
        }
    }
    common::PlainHost plain;
    for (auto _ : state) {
        std::size_t days = 0;
        for (const std::string& contract : contracts) {
            analytics::HistoryRequest request;
            request.input = analytics::AnalysisInput(settings, "EUR", contract);
            const auto history =
                analytics::LoadContractHistory(db, TenYears(), request, plain.AsHost());
            days += history ? history->days.size() : 0;
        }
        benchmark::DoNotOptimize(days);
    }
}
BENCHMARK(BM_PerDayFiguresOfEveryContract)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
