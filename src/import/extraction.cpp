#include "import/extraction.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/calendar.h"
#include "common/log.h"
#include "common/symbols.h"
#include "common/text.h"
#include "import/existing_rows.h"
#include "import/parse_report.h"
#include "import/report_file.h"
#include "import/report_parser.h"
#include "storage/stage_flags.h"
#include "storage/transaction.h"

namespace zarvex::import {

namespace {

// Stores the parser's rows of one report: the duplicate test, then INSERT or UPDATE, each
// with its values bound. The statements are prepared once per report.
//
// The duplicate test asks whether a row of the same symbol, option, contract, day and strike
// is stored. The plain query for it ("SELECT * FROM dating WHERE symb = ? AND option = ? AND
// contract = ? AND date = ? AND strike = ?") runs over every stored row of the contract, on
// every day, for each new row. Instead the day's rows are held in memory and only the rows
// whose strike may be equal are put to SQLite, one by id, with the very comparison of the
// plain query ("strike = ?"), so the answer stays SQLite's own. The update goes to exactly
// the rows that answered yes, which are the rows the plain update would change.
class RowWriter final {
public:
    RowWriter(const storage::Database& db, std::string_view day_text)
        : db_(db),
          day_(common::Trim(day_text)),
          exists_(db.Prepare("SELECT * FROM dating WHERE symb = ? AND option = ? AND "
                             "contract = ? AND date = ? AND strike = ?")),
          same_strike_(db.Prepare("SELECT 1 FROM dating WHERE id = ? AND strike = ?")),
          stored_strike_(db.Prepare("SELECT typeof(strike), strike FROM dating WHERE id = ?")),
          insert_(db.Prepare("INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, "
                             "symb, option, contract, expiration, date) VALUES (?, ?, ?, ?, ?, "
                             "?, ?, ?, ?, ?, ?, ?)")),
          update_(db.Prepare("UPDATE dating SET price=?, delta=?, volume=?, oi=?, doi=?, "
                             "expiration=?, sign=? WHERE symb = ? AND option = ? AND "
                             "contract = ? AND date = ? AND strike = ?")),
          update_by_id_(db.Prepare("UPDATE dating SET price=?, delta=?, volume=?, oi=?, doi=?, "
                                   "expiration=?, sign=? WHERE id = ?")) {
        existing_.Load(db_, day_);
        // A database stored as UTF-16 gets a converted copy of every text as it is bound.
        storage::Statement encoding = db.Prepare("PRAGMA encoding");
        in_place_ = encoding.Step() && encoding.ColumnTextView(0) == "UTF-8";
    }

    // False when an INSERT or UPDATE failed; Error() then says why. The caller drops the day:
    // a day with a row missing must not be marked.
    bool Store(const ReportRow& row) {
        // Codes shorter than the 8-character field keep no trailing blanks: the duplicate
        // test compares the trimmed code, so a stored blank would never match again and a
        // day extracted twice would gain twin rows.
        const std::string_view contract = common::Trim(row.contract);
        const std::string_view day = common::Trim(row.date);
        const std::string_view strike = common::Trim(row.strike);
        if (!existing_.Known()) {
            return StoreByQuery(row, contract, day, strike);
        }
        std::vector<std::int64_t> equal;
        for (std::int64_t id : existing_.Candidates(row.symb, row.option, contract, strike)) {
            same_strike_.Reset(true);
            same_strike_.BindAll({id, strike});
            if (same_strike_.Step()) {
                equal.push_back(id);
            }
        }
        same_strike_.Reset(true);
        if (!equal.empty()) {
            for (std::int64_t id : equal) {
                update_by_id_.Reset(true);
                BindValues(update_by_id_, row);
                update_by_id_.Bind(8, id);
                if (!Ran(update_by_id_)) {
                    return false;
                }
            }
            return true;
        }
        if (!Insert(row, contract)) {
            return false;
        }
        Remember(row, contract, strike);
        return true;
    }

    const std::string& Error() const { return error_; }

    // Whether every row the day had and every row inserted is still in the file, counted
    // inside the transaction: a trigger (or anything else in the file) that takes rows away
    // would otherwise leave a day marked extracted without its rows. False with Error() set.
    bool RowsStayed() {
        storage::Statement count = db_.Prepare("SELECT count(*) FROM dating WHERE date = ?");
        if (!count.Bind(1, day_) || !count.Step()) {
            error_ = "the rows could not be counted: " +
                     (count.Error().empty() ? db_.LastError() : count.Error());
            return false;
        }
        const auto expected = static_cast<std::int64_t>(existing_.LoadedCount() + inserted_);
        const std::int64_t found = count.ColumnInt(0);
        if (found < expected) {
            error_ = std::to_string(expected) + " rows were written but " + std::to_string(found) +
                     " are there (something in the file removes rows)";
            return false;
        }
        return true;
    }

private:
    bool Ran(storage::Statement& statement) {
        if (statement.Run()) {
            return true;
        }
        error_ = statement.Error().empty() ? db_.LastError() : statement.Error();
        return false;
    }

    static void BindValues(storage::Statement& statement, const ReportRow& row) {
        statement.BindAll({std::string_view(row.price), std::string_view(row.delta),
                           std::string_view(row.volume), std::string_view(row.oi),
                           std::string_view(row.doi), std::string_view(row.expiration),
                           std::string_view(row.sign)});
    }

    bool Insert(const ReportRow& row, std::string_view contract) {
        const std::array<std::string_view, kInsertValues> values{
            row.strike, row.price, row.delta,  row.volume, row.oi,         row.doi,
            row.sign,   row.symb,  row.option, contract,   row.expiration, row.date};
        for (std::size_t i = 0; i < values.size(); ++i) {
            BindInsert(i, values[i]);
        }
        const bool ran = Ran(insert_);
        insert_.Reset();
        if (!ran) {
            return false;
        }
        ++inserted_;
        return true;
    }

    // The INSERT reads the row's texts where the parser keeps them (SQLite takes no copy), and
    // a parameter is bound anew only when its text lies elsewhere or has another length: a
    // text in the same place holds the current row's value when the statement runs. Most of a
    // row keeps its place from line to line, and binding cost about as much as the insert.
    void BindInsert(std::size_t i, std::string_view text) {
        if (in_place_ && bound_[i] && bound_[i]->data() == text.data() &&
            bound_[i]->size() == text.size()) {
            return;
        }
        bound_[i].reset();
        if (insert_.BindKept(static_cast<int>(i) + 1, text)) {
            bound_[i] = text;
        }
    }

    // Notes the new row as SQLite stored it.
    void Remember(const ReportRow& row, std::string_view contract, std::string_view strike) {
        const std::int64_t id = db_.LastInsertId();
        if (IsPlainDecimal(strike)) {
            existing_.AddNumber(id, row.symb, row.option, contract, common::ToDouble(strike));
            return;
        }
        stored_strike_.Reset(true);
        stored_strike_.Bind(1, id);
        if (stored_strike_.Step()) {
            const std::string_view type = stored_strike_.ColumnTextView(0);
            if (type == "real" || type == "integer") {
                existing_.AddNumber(id, row.symb, row.option, contract,
                                    stored_strike_.ColumnDouble(1));
            } else {
                existing_.AddText(id, row.symb, row.option, contract,
                                  stored_strike_.ColumnTextView(1));
            }
        }
        stored_strike_.Reset(true);
    }

    // The plain test and update, for a day whose rows could not be read beforehand.
    bool StoreByQuery(const ReportRow& row, std::string_view contract, std::string_view day,
                      std::string_view strike) {
        exists_.Reset(true);
        exists_.BindAll(
            {std::string_view(row.symb), std::string_view(row.option), contract, day, strike});
        const bool found = exists_.Step();
        exists_.Reset(true);
        if (!found) {
            return Insert(row, contract);
        }
        update_.Reset(true);
        BindValues(update_, row);
        update_.Bind(8, std::string_view(row.symb));
        update_.Bind(9, std::string_view(row.option));
        update_.Bind(10, contract);
        update_.Bind(11, day);
        update_.Bind(12, strike);
        return Ran(update_);
    }

    static constexpr std::size_t kInsertValues = 12;

    const storage::Database& db_;
    std::string day_;
    std::size_t inserted_ = 0;
    ExistingRows existing_;
    storage::Statement exists_;
    storage::Statement same_strike_;
    storage::Statement stored_strike_;
    storage::Statement insert_;
    storage::Statement update_;
    storage::Statement update_by_id_;
    std::array<std::optional<std::string_view>, kInsertValues> bound_;  // where each text lies
    bool in_place_ = false;  // SQLite reads the bound texts in place (a UTF-8 database)
    std::string error_;
};

bool IsOptionRow(const ReportRow& row) {
    // A note line that names the symbol opens a section of its own, whose "option" is the
    // tail of that line; its rows are no options, and stored they would bring their
    // contracts into the panel's list.
    return row.option == "CALL" || row.option == "PUT";
}

// The failed day, noted where the user looks: the log and the status bar.
common::Outcome Fail(const common::Host& host, const settings::InstrumentStores& stores,
                     std::string why) {
    common::Log("extract ", stores.symbol, ": ", why);
    host.ShowStatus(stores.symbol + ": " + why);
    return common::Outcome::Failed(std::move(why));
}

// One instrument's share of the pass over the report: its parser, its transaction on its
// quote database and the writer of its rows.
struct Reading {
    Reading(settings::InstrumentStores& owner, std::string_view day_text)
        : stores(owner),
          parser(owner.symbol, day_text),
          transaction(owner.quote, storage::Transaction::Mode::kImmediate),
          writer(owner.quote, day_text) {}

    settings::InstrumentStores& stores;
    ReportParser parser;
    storage::Transaction transaction;
    RowWriter writer;
    bool reading = true;        // still takes lines
    bool write_failed = false;  // a row could not be stored; the day is rolled back
};

// Reads the report once and feeds every line to each instrument that still takes lines. A
// report of six currencies is read once, not once per currency; a file of nothing but line
// ends is the worst case, and it is read to its end a single time.
// Returns whether any instrument met an option row.
bool ReadReport(const common::Host& host, ReportFile& report,
                std::vector<std::unique_ptr<Reading>>& readings) {
    bool option_rows = false;
    std::size_t open = 0;
    for (auto& reading : readings) {
        // Without the write lock nothing may be written: the day fails as a whole.
        reading->reading = reading->transaction.Began();
        open += reading->reading ? 1 : 0;
    }
    std::string_view line;
    while (open > 0) {
        host.PumpEvents();
        if (!report.NextLine(line)) {
            return option_rows;
        }
        for (auto& reading : readings) {
            Reading& r = *reading;
            if (!r.reading) {
                continue;
            }
            if (r.parser.FeedLine(line) && !IsBlankLine(line) && IsOptionRow(r.parser.Row())) {
                option_rows = true;
                if (!r.writer.Store(r.parser.Row())) {
                    r.transaction.Rollback();
                    r.write_failed = true;
                }
            }
            if (r.write_failed || r.parser.Finished()) {
                r.reading = false;
                --open;
            }
        }
    }
    return option_rows;
}

// The end of one instrument's reading: the commit and the flag, or why not.
// `is_report` tells whether the file holds an option section of any currency at all.
common::Outcome FinishReading(Reading& r, const ReportFile& report,
                              const std::filesystem::path& path, bool is_report,
                              const common::Host& host, const std::string& date_key,
                              const std::string& day_text) {
    const settings::InstrumentStores& stores = r.stores;
    if (!r.transaction.Began()) {
        return Fail(host, stores,
                    "the rows of " + day_text + " could not be written to " +
                        stores.quote_path.string() + ": " + stores.quote.LastError());
    }
    if (r.write_failed) {
        return Fail(host, stores,
                    "the rows of " + day_text + " could not be stored in " +
                        stores.quote_path.string() + ": " + r.writer.Error());
    }
    if (report.Failed() && r.reading) {
        // A report that cannot be read to its end is treated as missing: nothing of it
        // stays, nothing is marked, and the next run reads it again.
        r.transaction.Rollback();
        return Fail(host, stores, "read error in " + path.string());
    }
    r.parser.EndOfFile();
    if (!r.parser.LinesRead()) {
        r.transaction.Rollback();
        return Fail(host, stores, "the report " + path.string() + " is empty");
    }
    if (!is_report) {
        // Random bytes, blank lines or a page of text in the report's place: marking the day
        // would keep it at 0 rows for good, even after an honest report arrives.
        r.transaction.Rollback();
        return Fail(host, stores,
                    path.string() + " is no report: it holds no option section of any currency");
    }
    if (!r.writer.RowsStayed()) {
        r.transaction.Rollback();
        return Fail(host, stores,
                    "the rows of " + day_text + " did not stay in " + stores.quote_path.string() +
                        ": " + r.writer.Error());
    }
    if (!r.transaction.Commit()) {
        // The rows never reached the file (no database, a full disk, or another program kept
        // it from the commit): marking the day would lose it for good, so it is tried again.
        // The transaction rolls back as it ends.
        const std::string error = stores.quote.LastError();
        return Fail(host, stores,
                    "the rows of " + day_text + " could not be committed to " +
                        stores.quote_path.string() + ": " + error);
    }
    if (!storage::MarkStage(stores.operation, date_key, storage::kStageExtract)) {
        // The rows are stored but the day is not marked: the next run extracts it again,
        // and the duplicate test turns that into updates of the same rows.
        return Fail(host, stores,
                    "the extract flag of " + date_key + " could not be written to " +
                        stores.operation_path.string() + ": " + stores.operation.LastError());
    }
    common::Log("extract done ", stores.symbol, " ", date_key);
    return common::Outcome::Done();
}

// Whether the report holds an option section of a currency that none of the readings took
// (they already looked for their own).
bool OthersHoldOptionSection(const std::filesystem::path& path,
                             const std::vector<std::unique_ptr<Reading>>& readings) {
    std::vector<std::string_view> others;
    for (const std::string_view symbol : common::kSymbols) {
        const bool read = std::any_of(readings.begin(), readings.end(),
                                      [&](const auto& r) { return r->stores.symbol == symbol; });
        if (!read) {
            others.push_back(symbol);
        }
    }
    return !others.empty() && FileHoldsOptionSection(path, others).value_or(false);
}

}  // namespace

bool IsBlankLine(std::string_view line) {
    // A blank line inside a contract block comes out of the parser as a row without a single
    // value. Stored, its empty texts sort above every number, so MAX(oi) and MAX(strike) of
    // that contract and day would name no strike and its borders would vanish.
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::vector<common::Outcome> ExtractReports(
    const common::ProgramFolder& folder,
    const std::vector<settings::InstrumentStores*>& instruments, const common::Host& host,
    common::Date date) {
    const std::string date_key = common::DateKey(date);
    const std::string day_text = common::DayText(date);
    const auto path = folder.ReportFile(date);
    std::vector<common::Outcome> results(instruments.size(), common::Outcome::Done());
    std::vector<std::size_t> due;
    for (std::size_t i = 0; i < instruments.size(); ++i) {
        const settings::InstrumentStores& stores = *instruments[i];
        common::Log("extract ", stores.symbol, " ", date_key);
        if (!stores.settings.Problem().empty()) {
            results[i] = Fail(host, stores, stores.settings.ProblemText());
            continue;
        }
        if (!common::IsTradingDay(date) || stores.settings.IsExtract() == 0 ||
            storage::GetStageFlag(stores.operation, date_key, storage::kStageExtract) == 1) {
            continue;
        }
        due.push_back(i);
    }
    if (due.empty()) {
        return results;
    }

    ReportFile report(path);
    if (!report.IsOpen()) {
        for (std::size_t i : due) {
            results[i] = Fail(host, *instruments[i],
                              "no report " + path.string() + ": " + report.OpenError());
        }
        return results;
    }
    std::vector<std::unique_ptr<Reading>> readings;
    for (std::size_t i : due) {
        readings.push_back(std::make_unique<Reading>(*instruments[i], day_text));
    }
    // The test that the download puts to a report body, applied to the file as it lies in
    // INPUT/. A report with option rows for the instruments read passes on the way; only a
    // file without any looks at the other currencies' sections.
    const bool is_report = ReadReport(host, report, readings) || report.Failed() ||
                           OthersHoldOptionSection(path, readings);
    for (std::size_t k = 0; k < due.size(); ++k) {
        results[due[k]] =
            FinishReading(*readings[k], report, path, is_report, host, date_key, day_text);
    }
    return results;
}

common::Outcome ExtractReport(const common::ProgramFolder& folder,
                              settings::InstrumentStores& stores, const common::Host& host,
                              common::Date date) {
    return std::move(ExtractReports(folder, {&stores}, host, date).front());
}

}  // namespace zarvex::import
