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

// A column of the current row as text ("" for NULL), as the panel's readers take it.
std::string_view ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text == nullptr ? std::string_view()
                           : std::string_view(
                                 reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

}  // namespace

void SymbolRows::StrikeTotals::Add(double strike, std::int64_t volume) {
    if (strike == 0.0) {
        zero_volume += volume;
        return;
    }
    std::size_t at = next;
    if (at >= strikes.size() || strikes[at] != strike) {
        const auto found = index.find(strike);
        if (found == index.end()) {
            index.emplace(strike, strikes.size());
            strikes.push_back(strike);
            totals.push_back(volume);
            zero_volume = 0;
            next = strikes.size();
            return;
        }
        at = found->second;
    }
    totals[at] += volume;
    next = at + 1;
}

bool SymbolRows::Scan(const storage::Database& db) {
    contracts_.clear();
    spans_.clear();
    days_.clear();
    loaded_.clear();
    if (!db.IsOpen()) {
        return false;
    }
    // Only what the levels and the days need, for every row, and the tests of the panel's
    // queries made here rather than in SQL, which costs less per row: an option or contract
    // that is no text is matched by no query of the panel, nor is such a date.
    const StatementPtr statement = Prepare(
        db, "SELECT rowid, contract, date, option, strike, volume FROM dating ORDER BY rowid");
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
        if (sqlite3_column_type(raw, 3) != SQLITE_TEXT ||
            sqlite3_column_type(raw, 1) != SQLITE_TEXT) {
            continue;
        }
        const std::string_view option = ColumnText(raw, 3);
        const bool call = option == "CALL";
        if (!call && option != "PUT") {
            continue;
        }
        const std::int64_t id = sqlite3_column_int64(raw, 0);
        const std::string_view contract = ColumnText(raw, 1);
        if (entry == nullptr || contract != entry_name) {
            auto found = contracts_.find(contract);
            if (found == contracts_.end()) {
                found = contracts_.emplace(std::string(contract), Entry()).first;
            }
            entry = &found->second;
            entry_name = found->first;
        }
        StrikeTotals& side = call ? entry->call : entry->put;
        const double strike = sqlite3_column_double(raw, 4);
        side.Add(std::isfinite(strike) ? strike : 0.0, sqlite3_column_int64(raw, 5));
        side.last_id = id;

        if (sqlite3_column_type(raw, 2) != SQLITE_TEXT) {
            continue;
        }
        const std::string_view day = ColumnText(raw, 2);
        if (span == nullptr || day != span_text) {
            auto found = spans_.find(day);
            if (found == spans_.end()) {
                found = spans_.emplace(std::string(day), DaySpan{id, id}).first;
            }
            span = &found->second;
            span_text = found->first;
        }
        // Row ids only grow here.
        span->last_id = id;
    }
    if (rc != SQLITE_DONE) {
        return false;
    }
    // The levels get the totals in order of first appearance (what they keep of the rows), and
    // the expiration is the last PUT row's, else the last CALL row's, as the panel sets it.
    const StatementPtr expiration = Prepare(db, "SELECT expiration FROM dating WHERE rowid = ?");
    if (expiration == nullptr) {
        return false;
    }
    for (auto& [name, scanned] : contracts_) {
        for (const bool call : {true, false}) {
            const StrikeTotals& side = call ? scanned.call : scanned.put;
            LevelStrikes& levels = call ? scanned.rows.call_levels : scanned.rows.put_levels;
            for (std::size_t i = 0; i < side.strikes.size(); ++i) {
                levels.Add(side.strikes[i], side.totals[i]);
            }
            levels.Add(0.0, side.zero_volume);
        }
        const std::int64_t last =
            scanned.put.last_id >= 0 ? scanned.put.last_id : scanned.call.last_id;
        sqlite3_reset(expiration.get());
        sqlite3_bind_int64(expiration.get(), 1, last);
        if (sqlite3_step(expiration.get()) == SQLITE_ROW) {
            scanned.rows.expiration = ColumnText(expiration.get(), 0);
        }
        scanned.call = {};
        scanned.put = {};
    }
    for (const auto& [text, unused] : spans_) {
        const common::Date day = common::ParseDate(text, "%dd.%mm.%yyyy");
        if (day != common::kInvalidDate && common::DayText(day) == text) {
            days_.push_back(day);
        }
    }
    std::sort(days_.begin(), days_.end());
    return true;
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
                "option IN ('CALL', 'PUT') AND typeof(contract) = 'text' ORDER BY rowid");
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
            const auto found = contracts_.find(ColumnText(raw, 8));
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
