#pragma once

// The benchmarks' quote database of 250 full-size trading days, shared by the analytics and the
// window benchmarks (included once per benchmark program).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/date.h"
#include "common/program_folder.h"
#include "common/symbols.h"
#include "common/text.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "settings/settings.h"
#include "storage/store.h"

namespace {

// Stores a generated row as the extraction would (the contract trimmed), through an INSERT of
// the twelve quote columns in their order.
void InsertGeneratedRow(zarvex::storage::Statement& insert, const zarvex::import::ReportRow& row) {
    const std::string contract = zarvex::common::TrimCopy(row.contract);
    insert.Reset(true);
    insert.BindAll(
        {std::string_view(row.strike), std::string_view(row.price), std::string_view(row.delta),
         std::string_view(row.volume), std::string_view(row.oi), std::string_view(row.doi),
         std::string_view(row.sign), std::string_view(row.symb), std::string_view(row.option),
         std::string_view(contract), std::string_view(row.expiration), std::string_view(row.date)});
    insert.Run();
}

using namespace zarvex;

// The instrument's default settings with forward points on: Futures prices, and histograms
// "In borders", Futures, of open interest, change of open interest, volume and premium x
// open interest.
inline const settings::Settings& BenchSettings() {
    static const settings::Settings kSettings = [] {
        settings::Settings settings;
        settings.is_fp = 1;
        for (int i = 0; i < settings::Settings::kHistogramCount; ++i) {
            settings.histograms[static_cast<std::size_t>(i)] = {"oi>500", 2, 0,
                                                                static_cast<std::int8_t>(i)};
        }
        return settings;
    }();
    return kSettings;
}

// --- A quote database of 250 full-size trading days ---
//
// Made once and kept under the temporary folder between runs: generating 250 full-size days
// takes a while, and the files do not change for a given seed.

constexpr int kTradingDays = 250;
constexpr std::uint64_t kSeed = 7;
const common::Date kLastDay = common::MakeDate(2012, 12, 7);

struct BenchFolder {
    common::ProgramFolder home{std::filesystem::path(".")};
    std::string symbol = "EUR";
    std::string day;       // the last of the days, "%dd.%mm.%yyyy"
    std::string contract;  // its contract with the most rows
};

std::vector<common::Date> LastTradingDays(int count) {
    std::vector<common::Date> days =
        reportgen::TradingDays(kLastDay - 400 * common::kSecondsPerDay, kLastDay);
    days.erase(days.begin(), days.end() - count);
    return days;
}

// The quote databases of the symbols, each day generated once for all of them.
void FillQuoteDatabases(const common::ProgramFolder& home,
                        const std::vector<std::string>& symbols) {
    std::vector<storage::Database> databases;
    std::vector<storage::Statement> inserts;
    for (const std::string& symbol : symbols) {
        const auto path = storage::QuotePath(home, symbol);
        std::filesystem::remove(path);
        databases.push_back(storage::OpenStore(path, storage::StoreKind::kQuote).db);
        databases.back().Execute("Begin Transaction");
    }
    for (const storage::Database& db : databases) {
        inserts.push_back(db.Prepare(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    }
    const reportgen::ReportGenerator generator({.seed = kSeed, .full = true});
    for (const common::Date day : LastTradingDays(kTradingDays)) {
        const reportgen::GeneratedDay generated = generator.Generate(day);
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            storage::Statement& insert = inserts[i];
            for (const import::ReportRow& row : generated.rows.at(symbols[i])) {
                InsertGeneratedRow(insert, row);
            }
        }
        std::ofstream(home.ForwardPointFile(day), std::ios::binary) << generated.forward_points;
    }
    inserts.clear();
    for (const storage::Database& db : databases) {
        db.Execute("Commit");
    }
}

std::int64_t StoredDays(const common::ProgramFolder& home, const std::string& symbol) {
    const storage::Database db = storage::Database::OpenReadOnly(storage::QuotePath(home, symbol));
    storage::Statement query = db.Prepare("SELECT COUNT(DISTINCT date) FROM dating");
    return query.Step() ? query.ColumnInt(0) : 0;
}

[[maybe_unused]] const BenchFolder& Folder() {
    static const BenchFolder folder = [] {
        BenchFolder made;
        const auto root = std::filesystem::temp_directory_path() /
                          ("zarvex_analytics_bench_" + std::to_string(kSeed));
        made.home = common::ProgramFolder(root);
        for (const auto& sub : {made.home.Input(), made.home.Output(), made.home.Db()}) {
            std::filesystem::create_directories(sub);
        }
        made.day = common::DayText(kLastDay);
        const auto path = storage::QuotePath(made.home, made.symbol);
        if (StoredDays(made.home, made.symbol) != kTradingDays) {
            FillQuoteDatabases(made.home, {made.symbol});
        }
        const storage::Database db = storage::Database::OpenReadOnly(path);
        storage::Statement largest = db.Prepare(
            "SELECT contract FROM dating WHERE date = ? GROUP BY contract ORDER BY COUNT(*) "
            "DESC LIMIT 1");
        largest.BindAll({std::string_view(made.day)});
        if (largest.Step()) {
            made.contract = largest.ColumnText(0);
        }
        return made;
    }();
    return folder;
}

[[maybe_unused]] storage::Database OpenQuotes() {
    return storage::Database::OpenReadOnly(storage::QuotePath(Folder().home, Folder().symbol));
}

// The contract with the most rows over all days among those of the last day.
[[maybe_unused]] std::string LongestContract() {
    const storage::Database db = OpenQuotes();
    storage::Statement query = db.Prepare(
        "SELECT contract, COUNT(*) FROM dating WHERE contract IN (SELECT contract FROM dating "
        "WHERE date = ?) GROUP BY contract ORDER BY 2 DESC LIMIT 1");
    query.BindAll({std::string_view(Folder().day)});
    return query.Step() ? query.ColumnText(0) : Folder().contract;
}

// The same 250 days for all six symbols, in a program folder of its own.
[[maybe_unused]] const common::ProgramFolder& SixSymbolHome() {
    static const common::ProgramFolder home = [] {
        const common::ProgramFolder made(std::filesystem::temp_directory_path() /
                                         ("zarvex_board_bench_" + std::to_string(kSeed)));
        for (const auto& sub : {made.Input(), made.Output(), made.Db()}) {
            std::filesystem::create_directories(sub);
        }
        const std::vector<std::string> symbols(common::kSymbols.begin(), common::kSymbols.end());
        const bool complete = std::all_of(symbols.begin(), symbols.end(), [&](const auto& symbol) {
            return StoredDays(made, symbol) == kTradingDays;
        });
        if (!complete) {
            FillQuoteDatabases(made, symbols);
        }
        return made;
    }();
    return home;
}

}  // namespace
