#include "analytics/history/stored_rows.h"

#include <sqlite3.h>

#include <cmath>
#include <memory>

namespace zarvex::analytics {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// The raw statement API, because the storage class of each value decides how the panel's
// filters treat it, and the Statement wrapper does not tell it.
StoredValue ReadValue(sqlite3_stmt* statement, int column) {
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

std::string_view TextOf(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text == nullptr ? std::string_view()
                           : std::string_view(
                                 reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

}  // namespace

const std::vector<std::size_t>& ContractRows::Day(std::string_view date) const {
    static const std::vector<std::size_t> kNone;
    const auto found = days.find(date);
    return found == days.end() ? kNone : found->second;
}

bool ReadContractRows(const storage::Database& db, const std::string& contract, ContractRows& out) {
    if (!db.IsOpen()) {
        return false;
    }
    // The comparisons stay the database's own, so a row counts as the contract's and as a
    // CALL exactly when the panel's queries take it so.
    constexpr std::string_view kSql =
        "SELECT option = 'CALL', option = 'PUT', strike, price, delta, volume, oi, doi, "
        "expiration, date FROM dating WHERE contract = ? AND option IN ('CALL', 'PUT') "
        "ORDER BY rowid";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), kSql.data(), static_cast<int>(kSql.size()), &raw,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return false;
    }
    const std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
    sqlite3_bind_text(raw, 1, contract.data(), static_cast<int>(contract.size()), SQLITE_STATIC);
    std::string call_expiration;
    std::string put_expiration;
    bool any_put = false;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        StoredOption row;
        row.call = sqlite3_column_int(raw, 0) == 1;
        row.put = sqlite3_column_int(raw, 1) == 1;
        row.strike = ReadValue(raw, 2);
        row.price = ReadValue(raw, 3);
        row.delta = ReadValue(raw, 4);
        row.volume = ReadValue(raw, 5);
        row.oi = ReadValue(raw, 6);
        row.doi = ReadValue(raw, 7);
        (row.call ? out.call_levels : out.put_levels).Add(row.strike.as_double, row.volume.as_int);
        (row.call ? call_expiration : put_expiration).assign(TextOf(raw, 8));
        any_put = any_put || !row.call;
        const std::string_view day = TextOf(raw, 9);
        auto found = out.days.find(day);
        if (found == out.days.end()) {
            found = out.days.emplace(std::string(day), std::vector<std::size_t>()).first;
        }
        found->second.push_back(out.rows.size());
        out.rows.push_back(std::move(row));
    }
    // The panel reads the CALL rows and then the PUT rows, and every row read sets the
    // expiration: the last PUT row's stays, else the last CALL row's.
    out.expiration = any_put ? put_expiration : call_expiration;
    return rc == SQLITE_DONE;
}

}  // namespace zarvex::analytics
