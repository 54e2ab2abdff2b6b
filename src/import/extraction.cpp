#include "import/extraction.h"

#include <algorithm>
#include <string>

#include "common/calendar.h"
#include "common/log.h"
#include "common/text.h"
#include "import/existing_rows.h"
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
        existing_.Load(db_, common::Trim(day_text));
    }

    void Store(const ReportRow& row) {
        // Codes shorter than the 8-character field keep no trailing blanks: the duplicate
        // test compares the trimmed code, so a stored blank would never match again and a
        // day extracted twice would gain twin rows.
        const std::string_view contract = common::Trim(row.contract);
        const std::string_view day = common::Trim(row.date);
        const std::string_view strike = common::Trim(row.strike);
        if (!existing_.Known()) {
            StoreByQuery(row, contract, day, strike);
            return;
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
                update_by_id_.Run();
            }
            return;
        }
        if (Insert(row, contract)) {
            Remember(row, contract, strike);
        }
    }

private:
    static void BindValues(storage::Statement& statement, const ReportRow& row) {
        statement.BindAll({std::string_view(row.price), std::string_view(row.delta),
                           std::string_view(row.volume), std::string_view(row.oi),
                           std::string_view(row.doi), std::string_view(row.expiration),
                           std::string_view(row.sign)});
    }

    bool Insert(const ReportRow& row, std::string_view contract) {
        insert_.Reset(true);
        insert_.BindAll(
            {std::string_view(row.strike), std::string_view(row.price), std::string_view(row.delta),
             std::string_view(row.volume), std::string_view(row.oi), std::string_view(row.doi),
             std::string_view(row.sign), std::string_view(row.symb), std::string_view(row.option),
             contract, std::string_view(row.expiration), std::string_view(row.date)});
        return insert_.Run();
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
    void StoreByQuery(const ReportRow& row, std::string_view contract, std::string_view day,
                      std::string_view strike) {
        exists_.Reset(true);
        exists_.BindAll(
            {std::string_view(row.symb), std::string_view(row.option), contract, day, strike});
        const bool found = exists_.Step();
        exists_.Reset(true);
        if (!found) {
            Insert(row, contract);
            return;
        }
        update_.Reset(true);
        BindValues(update_, row);
        update_.Bind(8, std::string_view(row.symb));
        update_.Bind(9, std::string_view(row.option));
        update_.Bind(10, contract);
        update_.Bind(11, day);
        update_.Bind(12, strike);
        update_.Run();
    }

    const storage::Database& db_;
    ExistingRows existing_;
    storage::Statement exists_;
    storage::Statement same_strike_;
    storage::Statement stored_strike_;
    storage::Statement insert_;
    storage::Statement update_;
    storage::Statement update_by_id_;
};

}  // namespace

bool IsBlankLine(std::string_view line) {
    // A blank line inside a contract block comes out of the parser as a row without a single
    // value. Stored, its empty texts sort above every number, so MAX(oi) and MAX(strike) of
    // that contract and day would name no strike and its borders would vanish.
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

namespace {

bool IsOptionRow(const ReportRow& row) {
    // A note line that names the symbol opens a section of its own, whose "option" is the
    // tail of that line; its rows are no options, and stored they would bring their
    // contracts into the panel's list.
    return row.option == "CALL" || row.option == "PUT";
}

}  // namespace

int ExtractReport(const common::ProgramFolder& folder, settings::InstrumentStores& stores,
                  const common::Host& host, common::Date date) {
    const std::string date_key = common::DateKey(date);
    const std::string day_text = common::DayText(date);
    const auto path = folder.ReportFile(date);
    shell::Log("extract ", stores.symbol, " ", date_key);

    if (!analytics::IsTradingDay(date)) {
        return 1;
    }
    if (stores.settings.IsExtract() == 0) {
        return 1;
    }
    if (storage::GetStageFlag(stores.operation, date_key, storage::kStageExtract) == 1) {
        return 1;
    }

    ReportFile report(path);
    if (!report.IsOpen()) {
        shell::Log("extract: no report ", path.string());
        return 0;
    }
    ReportParser parser(stores.symbol, day_text);
    {
        storage::Transaction transaction(stores.quote);
        RowWriter writer(stores.quote, day_text);
        std::string_view line;
        while (true) {
            host.PumpEvents();
            if (!report.NextLine(line)) {
                break;
            }
            if (parser.FeedLine(line) && !IsBlankLine(line) && IsOptionRow(parser.Row())) {
                writer.Store(parser.Row());
            }
            if (parser.Finished()) {
                break;
            }
        }
        if (report.Failed()) {
            // A report that cannot be read to its end is treated as missing: nothing of it
            // stays, nothing is marked, and the next run reads it again.
            transaction.Rollback();
            shell::Log("extract: read error ", path.string());
            return 0;
        }
        if (!transaction.Commit()) {
            // The rows never reached the file (no database, or another program kept it from
            // the commit): marking the day would lose it for good, so it is tried again. The
            // transaction rolls back as it ends.
            shell::Log("extract: commit failed ", path.string());
            return 0;
        }
    }
    parser.EndOfFile();
    if (!parser.LinesRead()) {
        return 0;
    }
    storage::MarkStage(stores.operation, date_key, storage::kStageExtract);
    shell::Log("extract done ", stores.symbol, " ", date_key);
    return 1;
}

}  // namespace zarvex::import
