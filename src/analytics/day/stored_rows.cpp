#include "analytics/day/stored_rows.h"

#include <sqlite3.h>

#include <cmath>
#include <initializer_list>
#include <memory>

namespace zarvex::analytics {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

}  // namespace

// The raw statement API, because the storage class of each value decides how the panel's
// filters treat it, and the Statement wrapper does not tell it.
StoredValue ReadStoredValue(sqlite3_stmt* statement, int column) {
    StoredValue value;
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return value;
        case SQLITE_INTEGER:
            value.kind = StoredValue::Kind::kInteger;
            break;
        case SQLITE_FLOAT:
            value.kind = StoredValue::Kind::kReal;
            break;
        default: {
            value.kind = StoredValue::Kind::kText;
            const auto* text = sqlite3_column_text(statement, column);
            if (text != nullptr) {
                value.text.assign(
                    reinterpret_cast<const char*>(text),
                    static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            }
            break;
        }
    }
    const double number = sqlite3_column_double(statement, column);
    value.raw = number;
    value.finite = std::isfinite(number);
    value.as_double = value.finite ? number : 0.0;
    value.as_int = sqlite3_column_int64(statement, column);
    return value;
}

std::string_view ReadStoredText(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text == nullptr ? std::string_view()
                           : std::string_view(
                                 reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

StoredOption ReadStoredOption(sqlite3_stmt* statement) {
    StoredOption row;
    if (sqlite3_column_int(statement, 0) == 1) {
        row.side = common::Side::kCall;
    } else if (sqlite3_column_int(statement, 1) == 1) {
        row.side = common::Side::kPut;
    }
    row.strike = ReadStoredValue(statement, 2);
    row.price = ReadStoredValue(statement, 3);
    row.delta = ReadStoredValue(statement, 4);
    row.volume = ReadStoredValue(statement, 5);
    row.oi = ReadStoredValue(statement, 6);
    row.doi = ReadStoredValue(statement, 7);
    return row;
}

const std::vector<std::size_t>& ContractRows::Day(std::string_view date) const {
    static const std::vector<std::size_t> kNone;
    const auto found = days.find(date);
    return found == days.end() ? kNone : found->second;
}

namespace {

using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Runs sql with the texts bound in order and hands every row to `each`; false when the query
// could not be prepared or failed while stepping.
template <typename Each>
bool ForEachRow(const storage::Database& db, const std::string& sql,
                std::initializer_list<const std::string*> texts, Each each) {
    sqlite3_stmt* raw = nullptr;
    if (!db.IsOpen() || sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()),
                                           &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return false;
    }
    const Statement statement(raw);
    int index = 1;
    for (const std::string* text : texts) {
        sqlite3_bind_text(raw, index++, text->data(), static_cast<int>(text->size()),
                          SQLITE_STATIC);
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        each(raw);
    }
    return rc == SQLITE_DONE;
}

// The comparisons stay the database's own, so a row counts as the contract's and as a CALL
// exactly when the panel's queries take it so. Columns from 0: CALL, PUT, strike, price, delta,
// volume, oi, doi, then what the query adds.
constexpr std::string_view kOptionColumns =
    "SELECT option = 'CALL', option = 'PUT', strike, price, delta, volume, oi, doi";

// The level strikes take the rows in the order the panel reads them; every row read sets the
// expiration. The panel reads the CALL rows and then the PUT rows: the last PUT row's
// expiration stays, else the last CALL row's.
class LevelReader final {
public:
    explicit LevelReader(ContractLevels& out) : out_(out) {}

    // The queries take CALL and PUT rows only.
    void Add(std::optional<common::Side> side, double strike, std::int64_t volume,
             std::string_view expiration) {
        const bool call = side == common::Side::kCall;
        (call ? out_.call_levels : out_.put_levels).Add(strike, volume);
        (call ? call_expiration_ : put_expiration_).assign(expiration);
        any_put_ = any_put_ || !call;
    }
    void Finish() { out_.expiration = any_put_ ? put_expiration_ : call_expiration_; }

private:
    ContractLevels& out_;
    std::string call_expiration_;
    std::string put_expiration_;
    bool any_put_ = false;
};

// Collects one contract's rows as ReadContractRows keeps them, from statements whose columns
// are kOptionColumns, then the expiration and the day text.
class RowsCollector final {
public:
    explicit RowsCollector(ContractRows& out) : out_(out), levels_(out) {}

    void Add(sqlite3_stmt* raw) {
        StoredOption row = ReadStoredOption(raw);
        levels_.Add(row.side, row.strike.as_double, row.volume.as_int, ReadStoredText(raw, 8));
        const std::string_view day = ReadStoredText(raw, 9);
        // The rows of a day mostly follow each other: the day's list is looked up when it
        // changes.
        if (day_rows_ == nullptr || day != day_text_) {
            auto found = out_.days.find(day);
            if (found == out_.days.end()) {
                found = out_.days.emplace(std::string(day), std::vector<std::size_t>()).first;
            }
            day_rows_ = &found->second;
            day_text_ = found->first;
        }
        day_rows_->push_back(out_.rows.size());
        out_.rows.push_back(std::move(row));
    }
    void Finish() { levels_.Finish(); }

private:
    ContractRows& out_;
    LevelReader levels_;
    std::vector<std::size_t>* day_rows_ = nullptr;
    std::string_view day_text_;
};

}  // namespace

bool ReadContractRows(const storage::Database& db, const std::string& contract, ContractRows& out) {
    RowsCollector collector(out);
    const bool read = ForEachRow(
        db,
        std::string(kOptionColumns) +
            ", expiration, date FROM dating WHERE contract = ? AND option IN ('CALL', 'PUT') "
            "ORDER BY rowid",
        {&contract}, [&](sqlite3_stmt* raw) { collector.Add(raw); });
    collector.Finish();
    return read;
}

bool ReadContractLevels(const storage::Database& db, const std::string& contract,
                        ContractLevels& out) {
    LevelReader levels(out);
    const bool read = ForEachRow(
        db,
        "SELECT option = 'CALL', strike, volume, expiration FROM dating WHERE contract = ? AND "
        "option IN ('CALL', 'PUT') ORDER BY rowid",
        {&contract}, [&](sqlite3_stmt* raw) {
            // As ReadValue reads them: a stored infinity counts as 0.0.
            const double strike = sqlite3_column_double(raw, 1);
            levels.Add(sqlite3_column_int(raw, 0) == 1 ? common::Side::kCall : common::Side::kPut,
                       std::isfinite(strike) ? strike : 0.0, sqlite3_column_int64(raw, 2),
                       ReadStoredText(raw, 3));
        });
    levels.Finish();
    return read;
}

bool ReadDayRows(const storage::Database& db, const std::string& date, const std::string& contract,
                 std::vector<StoredOption>& out) {
    // The day through its index; the contract inside CASE so that the planner cannot take the
    // contract index for it.
    return ForEachRow(db,
                      std::string(kOptionColumns) +
                          " FROM dating WHERE date = ? AND CASE WHEN contract = ? THEN 1 ELSE 0 "
                          "END AND option IN ('CALL', 'PUT') ORDER BY rowid",
                      {&date, &contract},
                      [&](sqlite3_stmt* raw) { out.push_back(ReadStoredOption(raw)); });
}

}  // namespace zarvex::analytics
