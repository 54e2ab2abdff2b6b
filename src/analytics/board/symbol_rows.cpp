#include "analytics/board/symbol_rows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

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

// True when the quote table has a whole (not partial) index led by the column, in the default
// collation, so that "column = ?" and "column > ?" seek rather than scan.
bool HasIndexOn(const storage::Database& db, std::string_view column) {
    const StatementPtr statement =
        Prepare(db,
                "SELECT 1 FROM pragma_index_list('dating') AS list WHERE list.partial = 0 AND "
                "EXISTS (SELECT 1 FROM pragma_index_xinfo(list.name) AS info WHERE "
                "info.seqno = 0 AND info.name = ? AND info.coll = 'BINARY')");
    if (statement == nullptr) {
        return false;
    }
    sqlite3_bind_text(statement.get(), 1, column.data(), static_cast<int>(column.size()),
                      SQLITE_STATIC);
    return sqlite3_step(statement.get()) == SQLITE_ROW;
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
    indexed_ = HasIndexOn(db, "date") && HasIndexOn(db, "contract");
    return indexed_ ? SeekDays(db) : ScanEveryRow(db);
}

void SymbolRows::FinishLevels(Entry& entry) {
    for (const bool call : {true, false}) {
        StrikeTotals& side = call ? entry.call : entry.put;
        LevelStrikes& levels = call ? entry.rows.call_levels : entry.rows.put_levels;
        for (std::size_t i = 0; i < side.strikes.size(); ++i) {
            levels.Add(side.strikes[i], side.totals[i]);
        }
        levels.Add(0.0, side.zero_volume);
        side = {};
    }
    entry.levels_read = true;
}

bool SymbolRows::SeekDays(const storage::Database& db) {
    // One seek per distinct date: the next text after the last one. Blobs sort after every
    // text and end the walk; the empty text is no day and is never sought.
    const StatementPtr next =
        Prepare(db, "SELECT date FROM dating WHERE date > ? ORDER BY date LIMIT 1");
    const StatementPtr has_options =
        Prepare(db,
                "SELECT 1 FROM dating WHERE date = ? AND option IN ('CALL', 'PUT') AND "
                "typeof(contract) = 'text' LIMIT 1");
    if (next == nullptr || has_options == nullptr) {
        return false;
    }
    std::string last;
    while (true) {
        sqlite3_reset(next.get());
        sqlite3_bind_text(next.get(), 1, last.data(), static_cast<int>(last.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(next.get());
        if (rc == SQLITE_DONE) {
            break;
        }
        if (rc != SQLITE_ROW) {
            return false;
        }
        if (sqlite3_column_type(next.get(), 0) != SQLITE_TEXT) {
            break;
        }
        last = ReadStoredText(next.get(), 0);
        const common::Date day = common::ParseDate(last, "%dd.%mm.%yyyy");
        if (day == common::kInvalidDate || common::DayText(day) != last) {
            continue;
        }
        sqlite3_reset(has_options.get());
        sqlite3_bind_text(has_options.get(), 1, last.data(), static_cast<int>(last.size()),
                          SQLITE_STATIC);
        const int found = sqlite3_step(has_options.get());
        if (found == SQLITE_ROW) {
            days_.push_back(day);
        } else if (found != SQLITE_DONE) {
            return false;
        }
    }
    std::sort(days_.begin(), days_.end());
    return true;
}

bool SymbolRows::ScanEveryRow(const storage::Database& db) {
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
        const std::optional<common::Side> option = common::SideFromText(ReadStoredText(raw, 3));
        if (!option) {
            continue;
        }
        const bool call = *option == common::Side::kCall;
        const std::int64_t id = sqlite3_column_int64(raw, 0);
        const std::string_view contract = ReadStoredText(raw, 1);
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
        const std::string_view day = ReadStoredText(raw, 2);
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
        const std::int64_t last =
            scanned.put.last_id >= 0 ? scanned.put.last_id : scanned.call.last_id;
        FinishLevels(scanned);
        sqlite3_reset(expiration.get());
        sqlite3_bind_int64(expiration.get(), 1, last);
        if (sqlite3_step(expiration.get()) == SQLITE_ROW) {
            scanned.rows.expiration = ReadStoredText(expiration.get(), 0);
        }
        scanned.expiration_read = true;
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
    // The same rows either way: a day's rows by the date index, or by the range of row ids the
    // scan found them in.
    const StatementPtr statement = Prepare(
        db, indexed_ ? "SELECT option = 'CALL', option = 'PUT', strike, price, delta, volume, oi, "
                       "doi, contract FROM dating WHERE date = ?3 AND option IN ('CALL', 'PUT') "
                       "AND typeof(contract) = 'text' ORDER BY rowid"
                     : "SELECT option = 'CALL', option = 'PUT', strike, price, delta, volume, oi, "
                       "doi, contract FROM dating WHERE rowid BETWEEN ?1 AND ?2 AND date = ?3 AND "
                       "option IN ('CALL', 'PUT') AND typeof(contract) = 'text' ORDER BY rowid");
    if (statement == nullptr) {
        return false;
    }
    sqlite3_stmt* raw = statement.get();
    for (const common::Date day : days) {
        const std::string text = common::DayText(day);
        if (!std::binary_search(days_.begin(), days_.end(), day) ||
            std::find(loaded_.begin(), loaded_.end(), day) != loaded_.end()) {
            continue;
        }
        sqlite3_reset(raw);
        if (!indexed_) {
            const auto span = spans_.find(text);
            if (span == spans_.end()) {
                continue;
            }
            sqlite3_bind_int64(raw, 1, span->second.first_id);
            sqlite3_bind_int64(raw, 2, span->second.last_id);
        }
        loaded_.push_back(day);
        sqlite3_bind_text(raw, 3, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        // Rows come in runs of one contract, so the last lookup is usually the next.
        Entry* entry = nullptr;
        std::string_view entry_name;
        std::vector<std::size_t>* positions = nullptr;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
            const std::string_view name = ReadStoredText(raw, 8);
            if (entry == nullptr || name != entry_name) {
                auto found = contracts_.find(name);
                if (found == contracts_.end()) {
                    if (!indexed_) {
                        continue;
                    }
                    found = contracts_.emplace(std::string(name), Entry()).first;
                }
                entry = &found->second;
                entry_name = found->first;
                positions = &entry->rows.days[text];
            }
            ContractRows& rows = entry->rows;
            positions->push_back(rows.rows.size());
            rows.rows.push_back(ReadStoredOption(raw));
        }
        if (rc != SQLITE_DONE) {
            return false;
        }
    }
    // The last PUT row's expiration, else the last CALL row's, as the panel sets it.
    const StatementPtr expiration =
        Prepare(db,
                "SELECT expiration FROM dating WHERE contract = ? AND option = ? ORDER BY rowid "
                "DESC LIMIT 1");
    if (expiration == nullptr) {
        return false;
    }
    for (auto& [name, entry] : contracts_) {
        if (!entry.expiration_read && !ReadExpiration(expiration.get(), name, entry)) {
            return false;
        }
    }
    return true;
}

bool SymbolRows::ReadExpiration(sqlite3_stmt* statement, const std::string& name, Entry& entry) {
    // The last PUT row's expiration, else the last CALL row's, as the panel reads it.
    for (const common::Side side : {common::Side::kPut, common::Side::kCall}) {
        const std::string_view option = common::SideText(side);
        sqlite3_reset(statement);
        sqlite3_bind_text(statement, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, option.data(), static_cast<int>(option.size()),
                          SQLITE_STATIC);
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            entry.rows.expiration = ReadStoredText(statement, 0);
            break;
        }
        if (rc != SQLITE_DONE) {
            return false;
        }
    }
    entry.expiration_read = true;
    return true;
}

bool SymbolRows::LoadLevels(const storage::Database& db,
                            const std::vector<std::string>& contracts) {
    // Only what the levels keep of a row, in the panel's row order, by the contract index.
    const StatementPtr history =
        Prepare(db, "SELECT option, strike, volume FROM dating WHERE contract = ? ORDER BY rowid");
    if (history == nullptr) {
        return false;
    }
    for (const std::string& name : contracts) {
        const auto found = contracts_.find(name);
        if (found != contracts_.end() && !found->second.levels_read &&
            !ReadHistory(history.get(), name, found->second)) {
            return false;
        }
    }
    return true;
}

bool SymbolRows::ReadHistory(sqlite3_stmt* raw, const std::string& name, Entry& entry) {
    sqlite3_reset(raw);
    sqlite3_bind_text(raw, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        // The option tested here rather than in SQL, which costs less per row.
        if (sqlite3_column_type(raw, 0) != SQLITE_TEXT) {
            continue;
        }
        const std::optional<common::Side> option = common::SideFromText(ReadStoredText(raw, 0));
        if (!option) {
            continue;
        }
        const bool call = *option == common::Side::kCall;
        StrikeTotals& side = call ? entry.call : entry.put;
        const double strike = sqlite3_column_double(raw, 1);
        side.Add(std::isfinite(strike) ? strike : 0.0, sqlite3_column_int64(raw, 2));
    }
    if (rc != SQLITE_DONE) {
        return false;
    }
    FinishLevels(entry);
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
