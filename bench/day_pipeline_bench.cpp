// The day run of a full-size generated day (six currencies, 1,500+ strike lines each):
// (a) into new databases, (b) into databases that already hold 250 earlier trading days,
// each beside the floor: the same rows inserted with one prepared statement in one
// transaction. Rows per second are reported as items per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/plain_host.h"
#include "day/instrument_list.h"
#include "import/report_row.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/folder_lock.h"
#include "storage/store.h"
#include "storage/transaction.h"

namespace {

using namespace zarvex;

const common::Date kDay = common::MakeDate(2013, 6, 14);
constexpr int kHistoryDays = 250;

struct Folder {
    Folder() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("zarvex-bench-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        for (const char* sub : {"INPUT", "OUTPUT", "DB"}) {
            std::filesystem::create_directories(path / sub);
        }
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

const reportgen::GeneratedDay& FullDay(common::Date day = kDay) {
    static std::map<common::Date, reportgen::GeneratedDay> days;
    auto it = days.find(day);
    if (it == days.end()) {
        reportgen::GeneratorOptions options;
        options.full = true;
        it = days.emplace(day, reportgen::ReportGenerator(options).Generate(day)).first;
    }
    return it->second;
}

std::int64_t RowCount(const reportgen::GeneratedDay& day) {
    std::int64_t rows = 0;
    for (const auto& [symbol, list] : day.rows) {
        if (day::InstrumentList::IndexOf(symbol) >= 0) {
            rows += static_cast<std::int64_t>(list.size());
        }
    }
    return rows;
}

// The floor: every row of the day into each symbol's quote database, one prepared INSERT,
// one transaction per database.
void InsertRows(const std::filesystem::path& home, const reportgen::GeneratedDay& day,
                const std::string& day_text) {
    const common::ProgramFolder folder(home);
    for (std::string_view symbol : day::InstrumentList::kSymbols) {
        storage::OpenedStore store =
            storage::OpenStore(storage::QuotePath(folder, symbol), storage::StoreKind::kQuote);
        storage::Transaction transaction(store.db);
        storage::Statement insert = store.db.Prepare(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const import::ReportRow& row : day.rows.at(std::string(symbol))) {
            insert.Reset(true);
            insert.BindAll({std::string_view(row.strike), std::string_view(row.price),
                            std::string_view(row.delta), std::string_view(row.volume),
                            std::string_view(row.oi), std::string_view(row.doi),
                            std::string_view(row.sign), std::string_view(row.symb),
                            std::string_view(row.option), std::string_view(row.contract),
                            std::string_view(row.expiration), std::string_view(day_text)});
            insert.Run();
        }
        transaction.Commit();
    }
}

void RunDay(const std::filesystem::path& home, common::Date day) {
    common::PlainHost plain;
    day::InstrumentList list(common::ProgramFolder(home), plain.AsHost());
    static_cast<void>(list.RunCurrentDay(day));
}

// A new folder holding the day's report (with extra lines after the header of its first euro
// contract) and the program's files, as at any start after the first.
void PrepareDay(const Folder& folder, const reportgen::GeneratedDay& day,
                const std::string& extra_euro_lines = {}) {
    std::string error;
    reportgen::WriteProgramFolderDay(day, folder.path, &error);
    if (!extra_euro_lines.empty()) {
        const std::filesystem::path report =
            folder.path / "INPUT" / ("CUR_" + common::FormatDate(kDay, "%yyyy%mm%dd") + ".TXT");
        std::ifstream in(report, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        const std::size_t header = text.find("EXPIRES", text.find("EURO FX"));
        text.insert(text.find('\n', header) + 1, extra_euro_lines);
        std::ofstream(report, std::ios::binary) << text;
    }
    common::PlainHost plain;
    day::InstrumentList list(common::ProgramFolder(folder.path), plain.AsHost());
}

void BM_ProcessDay_NewDatabases(benchmark::State& state) {
    const auto& day = FullDay();
    for (auto _ : state) {
        state.PauseTiming();
        Folder folder;
        PrepareDay(folder, day);
        state.ResumeTiming();
        RunDay(folder.path, kDay);
    }
    state.SetItemsProcessed(state.iterations() * RowCount(day));
}

void BM_Floor_NewDatabases(benchmark::State& state) {
    const auto& day = FullDay();
    for (auto _ : state) {
        state.PauseTiming();
        Folder folder;
        {
            common::PlainHost plain;
            day::InstrumentList list(common::ProgramFolder(folder.path), plain.AsHost());
        }
        state.ResumeTiming();
        InsertRows(folder.path, day, common::DayText(kDay));
    }
    state.SetItemsProcessed(state.iterations() * RowCount(day));
}

// A report whose first euro contract also lists 5,000 strikes written with an exponent
// ("13100e-4"), which SQLite reads as numbers while the duplicate test's quick path does not:
// each must still cost a lookup near its own strike, not a pass over the contract's rows.
void BM_ProcessDay_ExponentStrikes(benchmark::State& state) {
    constexpr int kOddRows = 5000;
    std::string odd;
    for (int i = 0; i < kOddRows; ++i) {
        char line[96];
        std::snprintf(line, sizeof line,
                      "%-10s 0.00100    0.500          1        %4d         1   -     0.00000\n",
                      (std::to_string(10000 + i) + "e-4").c_str(), 10 + i % 9000);
        odd += line;
    }
    const auto& day = FullDay();
    for (auto _ : state) {
        state.PauseTiming();
        Folder folder;
        PrepareDay(folder, day, odd);
        state.ResumeTiming();
        RunDay(folder.path, kDay);
    }
    state.SetItemsProcessed(state.iterations() * (RowCount(day) + kOddRows));
}

// A folder whose quote databases hold 250 trading days before kDay, made once. Every
// repetition of a benchmark works on a copy of its own, so that each runs the same days
// on the same history: on the made folder itself a second repetition would meet days
// that are already stored.
const Folder& HistoryFolder() {
    static const Folder folder;
    static const bool filled = [] {
        common::PlainHost plain;
        { day::InstrumentList list(common::ProgramFolder(folder.path), plain.AsHost()); }
        common::Date d = kDay;
        for (int i = 0; i < kHistoryDays; ++i) {
            do {
                d -= common::kSecondsPerDay;
            } while (reportgen::TradingDays(d, d).empty());
            InsertRows(folder.path, FullDay(), common::DayText(d));
        }
        return true;
    }();
    static_cast<void>(filled);
    return folder;
}

void CopyHistory(const Folder& to) {
    std::filesystem::copy(HistoryFolder().path / "DB", to.path / "DB",
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
}

void BM_ProcessDay_With250Days(benchmark::State& state) {
    const Folder folder;
    CopyHistory(folder);
    common::Date day = kDay;
    std::int64_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto& generated = FullDay(day);
        std::string error;
        reportgen::WriteProgramFolderDay(generated, folder.path, &error);
        rows += RowCount(generated);
        state.ResumeTiming();
        RunDay(folder.path, day);
        state.PauseTiming();
        do {
            day += common::kSecondsPerDay;
        } while (reportgen::TradingDays(day, day).empty());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(rows);
}

void BM_Floor_With250Days(benchmark::State& state) {
    const Folder folder;
    CopyHistory(folder);
    common::Date day = common::MakeDate(2014, 1, 6);
    for (auto _ : state) {
        InsertRows(folder.path, FullDay(), common::DayText(day));
        day += common::kSecondsPerDay;
    }
    state.SetItemsProcessed(state.iterations() * RowCount(FullDay()));
}

// What a day run adds for sharing its folder with another program: taking and dropping the
// folder lock once per run.
void BM_FolderLock(benchmark::State& state) {
    Folder folder;
    for (auto _ : state) {
        const storage::FolderLock lock(folder.path / "DB", [] {});
        benchmark::DoNotOptimize(lock.GetState());
    }
}

// And what the extraction adds per instrument and day: counting the day's rows before the
// commit, here in a quote database of 250 full days.
void BM_DayRowCount(benchmark::State& state) {
    const Folder& folder = HistoryFolder();
    const storage::Database db =
        storage::Database::Open(storage::QuotePath(common::ProgramFolder(folder.path), "EUR"));
    storage::Statement count = db.Prepare("SELECT count(*) FROM dating WHERE date = ?");
    const std::string day_text = common::DayText(common::MakeDate(2013, 6, 13));
    for (auto _ : state) {
        count.Reset(true);
        count.Bind(1, std::string_view(day_text));
        count.Step();
        benchmark::DoNotOptimize(count.ColumnInt(0));
    }
}

BENCHMARK(BM_FolderLock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DayRowCount)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor_NewDatabases)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ProcessDay_NewDatabases)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ProcessDay_ExponentStrikes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Floor_With250Days)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ProcessDay_With250Days)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
