#include "analytics/board/symbol_rows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace zarvex::analytics {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

StatementPtr Prepare(const storage::Database& db, std::string_view sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(raw);
        return nullptr;
    }
    return StatementPtr(raw);
}

// A text column of the current row; nothing for another storage class, which no comparison
// with a quoted text would match.
bool TextOf(sqlite3_stmt* statement, int column, std::string_view& out) {
    if (sqlite3_column_type(statement, column) != SQLITE_TEXT) {
        return false;
    }
    const auto* text = sqlite3_column_text(statement, column);
    out = text == nullptr
              ? std::string_view()
              : std::string_view(reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
    return true;
}

}  // namespace

bool SymbolRows::Scan(const storage::Database& db) {
    contracts_.clear();
    spans_.clear();
    days_.clear();
    loaded_.clear();
    if (!db.IsOpen()) {
        return false;
    }
    // Only what the levels and the expiration need, for every row; the rest is read for the
    // compared days alone.
    const StatementPtr statement =
        Prepare(db,
                "SELECT rowid, contract, date, option = 'CALL', strike, volume, expiration "
                "FROM dating WHERE option IN ('CALL', 'PUT') ORDER BY rowid");
    if (statement == nullptr) {
        return false;
    }
    sqlite3_stmt* raw = statement.get();
    // Rows come in runs of one contract and one day, so the last lookup is usually the next.
    Entry* entry = nullptr;
    std::string_view entry_name;
    DaySpan* span = nullptr;
    std::string_view span_text;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        std::string_view contract;
        if (!TextOf(raw, 1, contract)) {
            continue;
        }
        if (entry == nullptr || contract != entry_name) {
            auto found = contracts_.find(contract);
            if (found == contracts_.end()) {
                found = contracts_.emplace(std::string(contract), Entry()).first;
            }
            entry = &found->second;
            entry_name = found->first;
        }
        const bool call = sqlite3_column_int(raw, 3) == 1;
        const double strike = sqlite3_column_double(raw, 4);
        (call ? entry->rows.call_levels : entry->rows.put_levels)
            .Add(std::isfinite(strike) ? strike : 0.0, sqlite3_column_int64(raw, 5));
        std::string_view expiration;
        TextOf(raw, 6, expiration);
        std::string& kept = call ? entry->call_expiration : entry->put_expiration;
        if (kept != expiration) {
            kept.assign(expiration);
        }
        entry->any_put = entry->any_put || !call;

        std::string_view day;
        if (!TextOf(raw, 2, day)) {
            continue;
        }
        const std::int64_t id = sqlite3_column_int64(raw, 0);
        if (span == nullptr || day != span_text) {
            auto found = spans_.find(day);
            if (found == spans_.end()) {
                found = spans_.emplace(std::string(day), DaySpan{id, id}).first;
            }
            span = &found->second;
            span_text = found->first;
        }
        span->first_id = std::min(span->first_id, id);
        span->last_id = std::max(span->last_id, id);
    }
    for (auto& [name, scanned] : contracts_) {
        // As the panel sets it: the last PUT row's expiration, else the last CALL row's.
        scanned.rows.expiration =
            scanned.any_put ? scanned.put_expiration : scanned.call_expiration;
    }
    for (const auto& [text, unused] : spans_) {
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day != common::kInvalidDate && common::DayText(day) == text) {
            days_.push_back(day);
        }
    }
    std::sort(days_.begin(), days_.end());
    return rc == SQLITE_DONE;
}

common::Date SymbolRows::LatestUpTo(common::Date day) const {
    const auto after = std::upper_bound(days_.begin(), days_.end(), day);
    return after == days_.begin() ? common::kInvalidDate : *(after - 1);
}

common::Date SymbolRows::Before(common::Date day, int steps) const {
    const auto at = std::lower_bound(days_.begin(), days_.end(), day);
    const auto earlier = at - days_.begin();
    return steps < 1 || earlier < steps ? common::kInvalidDate : *(at - steps);
}

bool SymbolRows::Load(const storage::Database& db, const std::vector<common::Date>& days) {
    const StatementPtr statement =
        Prepare(db,
                "SELECT option = 'CALL', option = 'PUT', strike, price, delta, volume, oi, doi, "
                "contract FROM dating WHERE rowid BETWEEN ? AND ? AND date = ? AND "
                "option IN ('CALL', 'PUT') ORDER BY rowid");
    if (statement == nullptr) {
        return false;
    }
    sqlite3_stmt* raw = statement.get();
    for (const common::Date day : days) {
        const std::string text = common::DayText(day);
        const auto span = spans_.find(text);
        if (span == spans_.end() ||
            std::find(loaded_.begin(), loaded_.end(), day) != loaded_.end()) {
            continue;
        }
        loaded_.push_back(day);
        sqlite3_reset(raw);
        sqlite3_bind_int64(raw, 1, span->second.first_id);
        sqlite3_bind_int64(raw, 2, span->second.last_id);
        sqlite3_bind_text(raw, 3, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
            std::string_view contract;
            if (!TextOf(raw, 8, contract)) {
                continue;
            }
            const auto found = contracts_.find(contract);
            if (found == contracts_.end()) {
                continue;
            }
            ContractRows& rows = found->second.rows;
            StoredOption row;
            row.call = sqlite3_column_int(raw, 0) == 1;
            row.put = sqlite3_column_int(raw, 1) == 1;
            row.strike = ReadStoredValue(raw, 2);
            row.price = ReadStoredValue(raw, 3);
            row.delta = ReadStoredValue(raw, 4);
            row.volume = ReadStoredValue(raw, 5);
            row.oi = ReadStoredValue(raw, 6);
            row.doi = ReadStoredValue(raw, 7);
            auto positions = rows.days.find(text);
            if (positions == rows.days.end()) {
                positions = rows.days.emplace(text, std::vector<std::size_t>()).first;
            }
            positions->second.push_back(rows.rows.size());
            rows.rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            return false;
        }
    }
    return true;
}

const ContractRows* SymbolRows::Contract(std::string_view contract) const {
    const auto found = contracts_.find(contract);
    return found == contracts_.end() ? nullptr : &found->second.rows;
}

const std::vector<std::size_t>* SymbolRows::RowsOn(const ContractRows& rows, common::Date day) {
    const auto found = rows.days.find(common::DayText(day));
    return found == rows.days.end() ? nullptr : &found->second;
}

std::vector<std::string> SymbolRows::ContractsOn(common::Date day) const {
    const std::string text = common::DayText(day);
    std::vector<std::string> out;
    for (const auto& [name, entry] : contracts_) {
        if (entry.rows.days.find(text) != entry.rows.days.end()) {
            out.push_back(name);
        }
    }
    return out;
}

}  // namespace zarvex::analytics
