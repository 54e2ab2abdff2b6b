// The scorecard over ten years of stored days of one symbol, beside its floors: the single read
// of the rows it makes, and the per-day figures loop of every contract's history (what the
// scorecard would cost if it asked the history of each contract instead).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "analytics/day/stored_rows.h"
#include "analytics/history/contract_history.h"
#include "analytics/scorecard/scorecard.h"
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

storage::Database Quotes() {
    return storage::Database::OpenReadOnly(storage::QuotePath(TenYears(), "EUR"));
}

void BM_Scorecard(benchmark::State& state) {
    const storage::Database db = Quotes();
    const settings::Settings settings;
    analytics::ScorecardRequest request;
    request.input = analytics::AnalysisInput(settings, "EUR");
    for (auto _ : state) {
        analytics::Scorecard card;
        benchmark::DoNotOptimize(analytics::ComputeScorecard(db, request, card).IsDone());
        benchmark::DoNotOptimize(card.lines.data());
    }
}
BENCHMARK(BM_Scorecard)->Unit(benchmark::kMillisecond);

// Floor: the one read of every contract's rows.
void BM_Floor_ReadEveryContract(benchmark::State& state) {
    const storage::Database db = Quotes();
    for (auto _ : state) {
        std::map<std::string, analytics::ContractRows, std::less<>> contracts;
        benchmark::DoNotOptimize(analytics::ReadEveryContractRows(db, contracts));
        benchmark::DoNotOptimize(contracts.size());
    }
}
BENCHMARK(BM_Floor_ReadEveryContract)->Unit(benchmark::kMillisecond);

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
