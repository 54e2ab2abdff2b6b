#pragma once

// The benchmarks' quote database of 250 full-size trading days, shared by the analytics and the
// window benchmarks (included once per benchmark program).

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/date.h"
#include "common/program_folder.h"
#include "common/text.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/store.h"

namespace {

using namespace zarvex;

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

void FillQuoteDatabase(const common::ProgramFolder& home, const std::string& symbol) {
    const auto path = storage::QuotePath(home, symbol);
    std::filesystem::remove(path);
    const storage::Database db = storage::OpenStore(path, storage::StoreKind::kQuote).db;
    const reportgen::ReportGenerator generator({.seed = kSeed, .full = true});
    db.Execute("Begin Transaction");
    storage::Statement insert = db.Prepare(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const common::Date day : LastTradingDays(kTradingDays)) {
        const reportgen::GeneratedDay generated = generator.Generate(day);
        for (const import::ReportRow& row : generated.rows.at(symbol)) {
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
        std::ofstream(home.ForwardPointFile(day), std::ios::binary) << generated.forward_points;
    }
    db.Execute("Commit");
}

const BenchFolder& Folder() {
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
        const auto count_days = [&] {
            const storage::Database db = storage::Database::OpenReadOnly(path);
            storage::Statement query = db.Prepare("SELECT COUNT(DISTINCT date) FROM dating");
            return query.Step() ? query.ColumnInt(0) : 0;
        };
        if (count_days() != kTradingDays) {
            FillQuoteDatabase(made.home, made.symbol);
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

storage::Database OpenQuotes() {
    return storage::Database::OpenReadOnly(storage::QuotePath(Folder().home, Folder().symbol));
}

// The contract with the most rows over all days among those of the last day.
std::string LongestContract() {
    const storage::Database db = OpenQuotes();
    storage::Statement query = db.Prepare(
        "SELECT contract, COUNT(*) FROM dating WHERE contract IN (SELECT contract FROM dating "
        "WHERE date = ?) GROUP BY contract ORDER BY 2 DESC LIMIT 1");
    query.BindAll({std::string_view(Folder().day)});
    return query.Step() ? query.ColumnText(0) : Folder().contract;
}

}  // namespace
