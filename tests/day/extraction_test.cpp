#include "import/extraction.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "common/text.h"
#include "day/process_day.h"
#include "day_fixture.h"
#include "import/existing_rows.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/stage_flags.h"
#include "storage/store.h"
#include "storage/transaction.h"

namespace zarvex::import {
namespace {

using day::ProcessDay;
using day::ProcessPreviousDays;

using test::WriteFile;

// Not 3 December 2012: every new quote database holds its seed row on that day.
const common::Date kMonday = common::MakeDate(2012, 12, 10);

// The parser's row of a blank line inside a block: no value at all.
bool IsBlankRow(const ReportRow& row) {
    return row.price.empty() && row.delta.empty() && row.volume.empty() && row.oi.empty() &&
           row.doi.empty() && row.sign.empty();
}

// A small report in the exchange's layout, one EUR CALL block.
std::string SmallReport() {
    reportgen::GeneratorOptions options;
    options.strikes = 12;
    options.seed = 7;
    return reportgen::ReportGenerator(options).Generate(kMonday).report;
}

class ExtractionTest : public ::testing::Test {
protected:
    int Extract(common::Date date = kMonday) {
        common::Host host = fx.Host();
        return ExtractReport(fx.Folder(), fx.Stores(), host, date).Flag();
    }
    int Flag(const char* key = "20121210") {
        return storage::GetStageFlag(fx.Stores().operation, key, storage::kStageExtract);
    }
    void WriteReport(common::Date date, std::string_view text) {
        WriteFile(fx.Folder().ReportFile(date), text);
    }

    test::DayFixture fx;
};

TEST_F(ExtractionTest, StoresEveryRowOfAGeneratedDayOnceAndMarksIt) {
    reportgen::GeneratorOptions options;
    options.strikes = 40;
    const reportgen::GeneratedDay day = reportgen::ReportGenerator(options).Generate(kMonday);
    WriteReport(kMonday, day.report);
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(Flag(), 1);

    // The parser's rows, with later duplicates folded into the first.
    std::set<std::tuple<std::string, std::string, std::string>> keys;
    std::size_t blank = 0;
    for (const auto& row : day.rows.at("EUR")) {
        if (IsBlankRow(row)) {
            ++blank;  // blank lines inside blocks are not stored
            continue;
        }
        keys.emplace(row.option, std::string(common::Trim(row.contract)), row.strike);
    }
    EXPECT_GT(blank, 0u) << "the generated day should hold blank lines inside blocks";
    EXPECT_EQ(fx.Count("strike = '' OR oi = ''"), 0);
    EXPECT_EQ(fx.Count("date = '10.12.2012'"), static_cast<std::int64_t>(keys.size()));
    EXPECT_EQ(fx.Count("symb <> 'EUR'"), 0);
    EXPECT_EQ(fx.Count("contract LIKE '% '"), 0);  // codes are stored trimmed

    // A second run is a no-op, and even without the flag it adds no twin rows.
    EXPECT_EQ(Extract(), 1);
    fx.Stores().operation.Execute("DELETE FROM dating");
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(fx.Count("date = '10.12.2012'"), static_cast<std::int64_t>(keys.size()));
}

TEST_F(ExtractionTest, ALaterDuplicateLineUpdatesTheFirstRow) {
    // A generated day with duplicate strike lines of EUR.
    reportgen::GeneratedDay day;
    std::map<std::tuple<std::string, std::string, double>, const ReportRow*> last;
    for (std::uint64_t seed = 1; seed < 50; ++seed) {
        reportgen::GeneratorOptions options;
        options.strikes = 60;
        options.seed = seed;
        day = reportgen::ReportGenerator(options).Generate(kMonday);
        // The last occurrence of each key carries the values that must be stored.
        last.clear();
        std::size_t lines = 0;
        for (const auto& row : day.rows.at("EUR")) {
            if (!IsBlankRow(row)) {
                last[{row.option, std::string(common::Trim(row.contract)),
                      common::ToDouble(row.strike)}] = &row;
                ++lines;
            }
        }
        if (last.size() < lines) {
            break;
        }
        last.clear();
    }
    ASSERT_FALSE(last.empty()) << "no generated day had duplicates";
    WriteReport(kMonday, day.report);
    ASSERT_EQ(Extract(), 1);
    storage::Statement stored = fx.Stores().quote.Prepare(
        "SELECT option, contract, strike, oi, price, doi FROM dating WHERE date = '10.12.2012'");
    std::size_t seen = 0;
    while (stored.Step()) {
        const auto it =
            last.find({stored.ColumnText(0), stored.ColumnText(1), stored.ColumnDouble(2)});
        ASSERT_NE(it, last.end());
        EXPECT_EQ(stored.ColumnInt(3), common::ToInt(it->second->oi));
        EXPECT_DOUBLE_EQ(stored.ColumnDouble(4), common::ToDouble(it->second->price));
        EXPECT_EQ(stored.ColumnInt(5), common::ToInt(it->second->doi));
        ++seen;
    }
    EXPECT_EQ(seen, last.size());
}

TEST_F(ExtractionTest, RowsOfANoteSectionAreNotStored) {
    auto strike_line = [](const char* strike, const char* oi) {
        std::string line;
        for (const char* field : {strike, "0.0100", "0.50", "5", oi, "1"}) {
            line += field;
            line.resize(line.size() + 10 - std::string_view(field).size(), ' ');
        }
        return line + "+\r\n";
    };
    const std::string rule = std::string(80, '=') + "\r\n";
    // The note names the symbol, so it opens a section; its "option" is the line's tail.
    const std::string report =
        "EUR OPTIONS: SEE THE WEEKLY LISTINGS\r\nAPR14-AM 20140404\r\n" +
        strike_line("1.2000", "700") + rule + "EUR EURO FX OPTIONS CALL\r\nDEC12-AM 20121207\r\n" +
        strike_line("1.3000", "800") + rule + "EUR EURO FX OPTIONS  PUT\r\nDEC12-AM 20121207\r\n" +
        strike_line("1.2500", "900") + rule;
    WriteReport(kMonday, report);
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(Flag(), 1);
    EXPECT_EQ(fx.Count("date = '10.12.2012'"), 2);
    EXPECT_EQ(fx.Count("option = 'CALL' AND strike = 1.3 AND oi = 800"), 1);
    EXPECT_EQ(fx.Count("option = 'PUT' AND strike = 1.25 AND oi = 900"), 1);
    EXPECT_EQ(fx.Count("contract = 'APR14-AM' OR option NOT IN ('CALL', 'PUT')"), 0);
}

TEST_F(ExtractionTest, DaysWithoutWorkReturnOneWithoutReading) {
    WriteReport(common::MakeDate(2012, 12, 8), SmallReport());
    EXPECT_EQ(Extract(common::MakeDate(2012, 12, 8)), 1);  // Saturday
    EXPECT_EQ(Flag("20121208"), 0);
    EXPECT_EQ(Extract(common::MakeDate(2012, 12, 25)), 1);  // Christmas, no file at all
    fx.Stores().settings.SetIsExtract(0);
    EXPECT_EQ(Extract(), 1);   // switched off: no report needed
    EXPECT_EQ(fx.Count(), 1);  // the seed row only
}

TEST_F(ExtractionTest, MissingOrEmptyReportGivesZeroAndNoFlag) {
    EXPECT_EQ(Extract(), 0);
    WriteReport(kMonday, "");
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(Flag(), 0);
    // A folder where the report should be does not open either.
    std::filesystem::remove(fx.Folder().ReportFile(kMonday));
    std::filesystem::create_directory(fx.Folder().ReportFile(kMonday));
    EXPECT_EQ(Extract(), 0);
}

TEST_F(ExtractionTest, RowsThatNeverReachTheFileLeaveTheDayUnmarked) {
    WriteReport(kMonday, SmallReport());
    const std::int64_t seed_rows = fx.Count();

    // Another program reads the quote file the whole time: the commit cannot take the file.
    storage::Database reader = storage::Database::Open(fx.Stores().quote_path);
    storage::Statement reading = reader.Prepare("SELECT * FROM dating");
    ASSERT_TRUE(reader.Execute("Begin Transaction"));
    ASSERT_TRUE(reading.Step());
    sqlite3_busy_timeout(fx.Stores().quote.Handle(), 50);
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(Flag(), 0);
    reading.Reset();
    reader.Execute("Commit");
    EXPECT_EQ(fx.Count(), seed_rows);

    // A quote file that could not be opened at all.
    fx.Stores().quote.Close();
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(Flag(), 0);

    // Once the file can be written again the day is read in full.
    fx.Stores().quote = storage::Database::Open(fx.Stores().quote_path);
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(Flag(), 1);
    EXPECT_GT(fx.Count(), seed_rows);
}

TEST_F(ExtractionTest, HostileReportTextIsStoredAsTextAndNothingIsInjected) {
    std::string report = SmallReport();
    // Single quotes and SQL inside the columns, a very long line, binary bytes.
    const auto at = report.find("EUR");
    report.insert(at, "'); DROP TABLE dating; --");
    report += std::string(200000, 'x') + "\r\n";
    for (int i = 0; i < 256; ++i) {
        report.push_back(static_cast<char>(i));
    }
    WriteReport(kMonday, report);
    EXPECT_EQ(Extract(), 1);
    EXPECT_GE(fx.Count(), 1);  // the table is still there
    std::string mangled = SmallReport();
    for (std::size_t i = 0; i < mangled.size(); i += 7) {
        mangled[i] = '\'';
    }
    // Mangled this far it holds no option section any more: refused, and not marked.
    WriteReport(common::MakeDate(2012, 12, 11), mangled);
    EXPECT_EQ(Extract(common::MakeDate(2012, 12, 11)), 0);
    storage::Statement check = fx.Stores().quote.Prepare("PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.ColumnText(0), "ok");
}

TEST_F(ExtractionTest, PreviousDaysStopAtTheFirstMissingDayAndResume) {
    const common::Date date = common::MakeDate(2013, 1, 31);
    reportgen::GeneratorOptions options;
    options.strikes = 6;
    const reportgen::ReportGenerator generator(options);
    const common::Date missing = date - 20 * common::kSecondsPerDay;  // 11 January, a Friday
    for (common::Date d : reportgen::TradingDays(date - 30 * common::kSecondsPerDay,
                                                 date - common::kSecondsPerDay)) {
        if (d != missing) {
            WriteReport(d, generator.Generate(d).report);
        }
    }
    common::Host host = fx.Host();
    EXPECT_EQ(ProcessPreviousDays(fx.Folder(), fx.Stores(), host, date).Flag(), 0);
    EXPECT_EQ(Flag("20130110"), 1);
    EXPECT_EQ(Flag("20130111"), 0);
    EXPECT_EQ(Flag("20130114"), 0);
    EXPECT_EQ(fx.Plain().MaxLockDepth(), 1);
    EXPECT_FALSE(fx.Plain().IsLocked());

    WriteReport(missing, generator.Generate(missing).report);
    EXPECT_EQ(ProcessPreviousDays(fx.Folder(), fx.Stores(), host, date).Flag(), 1);
    EXPECT_EQ(Flag("20130130"), 1);
    EXPECT_TRUE(std::filesystem::exists(fx.Home() / "OUTPUT" / "EUR20130130.TXT"));
    const auto statuses = fx.Plain().StatusTexts();
    EXPECT_EQ(statuses.back(),
              "Data processing is in progress. The window is temporarily locked. Wait when "
              "operation to complete... (EUR: 30.01.2013)");
}

TEST_F(ExtractionTest, ProcessDayRunsTheUnloadUnderTheLock) {
    WriteReport(kMonday, SmallReport());
    common::Host host = fx.Host();
    EXPECT_EQ(ProcessDay(fx.Folder(), fx.Stores(), host, kMonday).Flag(), 1);
    EXPECT_TRUE(std::filesystem::exists(fx.Home() / "OUTPUT" / "EUR20121210.TXT"));
    EXPECT_EQ(fx.Plain().StatusTexts().front(),
              "Data processing is in progress. The window is temporarily locked. Wait when "
              "operation to complete... (EUR: 10.12.2012)");
    EXPECT_FALSE(fx.Plain().IsLocked());
}

TEST_F(ExtractionTest, DatesPast2038Work) {
    const common::Date day = common::MakeDate(2040, 3, 5);
    reportgen::GeneratorOptions options;
    options.strikes = 5;
    WriteReport(day, reportgen::ReportGenerator(options).Generate(day).report);
    common::Host host = fx.Host();
    EXPECT_EQ(ProcessDay(fx.Folder(), fx.Stores(), host, day).Flag(), 1);
    EXPECT_EQ(Flag("20400305"), 1);
    EXPECT_GT(fx.Count("date = '05.03.2040'"), 0);
    EXPECT_TRUE(std::filesystem::exists(fx.Home() / "OUTPUT" / "EUR20400305.TXT"));
}

// Every value of the day's rows as SQLite holds it, its type included, in the order stored.
std::vector<std::string> StoredRows(const storage::Database& db) {
    storage::Statement rows = db.Prepare(
        "SELECT quote(strike) || '|' || quote(price) || '|' || quote(delta) || '|' || "
        "quote(volume) || '|' || quote(oi) || '|' || quote(doi) || '|' || quote(sign) || '|' || "
        "quote(symb) || '|' || quote(option) || '|' || quote(contract) || '|' || "
        "quote(expiration) || '|' || quote(date) FROM dating WHERE date = '10.12.2012' "
        "ORDER BY id");
    std::vector<std::string> texts;
    while (rows.Step()) {
        texts.push_back(rows.ColumnText(0));
    }
    return texts;
}

void CreateUtf16QuoteDatabase(const std::filesystem::path& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    std::string sql = "PRAGMA encoding = 'UTF-16le'; " +
                      std::string(storage::CreateTableSql(storage::StoreKind::kQuote)) + ";";
    for (const std::string_view index : storage::kQuoteIndexSql) {
        sql += index;
    }
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// The extraction binds a row's texts where the parser keeps them and binds a value anew only
// when its text moved, so each stored value must still be its own row's. A database stored as
// UTF-16 takes a converted copy of a text as it is bound: there a value left bound would
// repeat the row before.
TEST(ExtractionBinding, EveryValueIsItsOwnRowsInUtf8AndUtf16Databases) {
    reportgen::GeneratorOptions options;
    options.strikes = 40;
    options.duplicates = false;
    options.blank_lines = false;
    const reportgen::GeneratedDay day = reportgen::ReportGenerator(options).Generate(kMonday);
    test::TempProgramFolder expected_home;
    settings::InstrumentStores expected =
        settings::OpenInstrumentStores(expected_home.Folder(), "EUR");
    storage::Transaction transaction(expected.quote);
    for (const ReportRow& row : day.rows.at("EUR")) {
        if (row.option == "CALL" || row.option == "PUT") {
            expected.quote.Execute(
                "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
                "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {row.strike, row.price, row.delta, row.volume, row.oi, row.doi, row.sign, row.symb,
                 row.option, common::Trim(row.contract), row.expiration, row.date});
        }
    }
    ASSERT_TRUE(transaction.Commit());
    ASSERT_GT(StoredRows(expected.quote).size(), 100u);
    for (const bool utf16 : {false, true}) {
        test::TempProgramFolder home;
        if (utf16) {
            CreateUtf16QuoteDatabase(storage::QuotePath(home.Folder(), "EUR"));
        }
        settings::InstrumentStores stores = settings::OpenInstrumentStores(home.Folder(), "EUR");
        storage::Statement encoding = stores.quote.Prepare("PRAGMA encoding");
        ASSERT_TRUE(encoding.Step());
        EXPECT_EQ(encoding.ColumnText(0), utf16 ? "UTF-16le" : "UTF-8");
        stores.settings.SetDefaults();
        WriteFile(home.Folder().ReportFile(kMonday), day.report);
        common::PlainHost plain;
        ASSERT_TRUE(ExtractReport(home.Folder(), stores, plain.AsHost(), kMonday).IsDone());
        EXPECT_EQ(StoredRows(stores.quote), StoredRows(expected.quote))
            << (utf16 ? "UTF-16" : "UTF-8");
    }
}

// The candidates must hold every row the plain query would find, whatever the strike text.
TEST(ExistingRows, CandidatesHoldEveryRowThePlainQueryFinds) {
    test::DayFixture fx;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> pick(0, 400);
    const char* odd_texts[] = {"",      "x",      " 1.0025", "1.0025 ",  "1e0",       ".5",
                               "1.",    "+1.005", "0x10",    "1,5",      "-",         "NaN",
                               "5e-4",  "1e400",  "-1e400",  "12abc",    "1e",        "1.5e+3",
                               "\t1.5", "-0",     "1e-400",  "1.0025e0", "100250e-5", "Inf"};
    for (int i = 0; i < 60; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%.4f", 1.0 + pick(rng) * 0.0025);
        fx.AddRow({text, "0.01", "0.5", "1", "1", "0", "1", "EUR", i % 2 ? "CALL" : "PUT", "DEC12",
                   "", "10.12.2012"});
    }
    for (const char* odd : odd_texts) {
        fx.AddRow(
            {odd, "0.01", "0.5", "1", "1", "0", "1", "EUR", "CALL", "DEC12", "", "10.12.2012"});
    }
    ExistingRows rows;
    ASSERT_TRUE(rows.Load(fx.Stores().quote, "10.12.2012"));
    storage::Statement query = fx.Stores().quote.Prepare(
        "SELECT id FROM dating WHERE symb = 'EUR' AND option = ? AND contract = 'DEC12' AND "
        "date = '10.12.2012' AND strike = ?");
    std::vector<std::string> probes(std::begin(odd_texts), std::end(odd_texts));
    probes.insert(probes.end(), {"1", "1.0", "1.00", "0.5", "1.5", "-0", "10025e-4"});
    for (int i = 0; i < 2000; ++i) {
        char text[32];
        const double value = 1.0 + pick(rng) * 0.0025;
        std::snprintf(text, sizeof text, i % 3 == 0 ? "%.4f" : i % 3 == 1 ? "%.6f" : "%.2f", value);
        probes.emplace_back(text);
    }
    int found_rows = 0;
    for (const std::string& probe : probes) {
        for (const std::string option : {"CALL", "PUT"}) {
            const auto candidates = rows.Candidates("EUR", option, "DEC12", probe);
            query.Reset(true);
            query.BindAll({std::string_view(option), std::string_view(probe)});
            while (query.Step()) {
                ++found_rows;
                EXPECT_NE(std::find(candidates.begin(), candidates.end(), query.ColumnInt(0)),
                          candidates.end())
                    << "strike text '" << probe << "'";
            }
        }
    }
    EXPECT_GT(found_rows, 100);
    EXPECT_TRUE(rows.Candidates("EUR", "CALL", "DEC13", "1.0025").empty());
    EXPECT_TRUE(IsPlainDecimal("-0.009200"));
    EXPECT_FALSE(IsPlainDecimal("1."));
    EXPECT_FALSE(IsPlainDecimal(" 1.5"));
    EXPECT_TRUE(HasNoDigit(""));
}

}  // namespace
}  // namespace zarvex::import
