#include "analytics/left_panel/day_slice.h"

#include <sqlite3.h>

#include <memory>
#include <numeric>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace zarvex::analytics {

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using RawStatement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// The raw statement API is used here because the copy must move each value with its own
// storage class (sqlite3_column_value / sqlite3_bind_value), which the Statement wrapper does
// not expose.
RawStatement PrepareRaw(sqlite3* db, std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    if (db == nullptr || sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()),
                                            &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return RawStatement(statement);
}

std::string QuotedName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

std::int64_t DataVersion(const storage::Database& db) {
    storage::Statement pragma = db.Prepare("PRAGMA data_version");
    return pragma.Step() ? pragma.ColumnInt(0) : -1;
}

}  // namespace

DaySlice& DaySlice::Select(const storage::Database& source, std::string_view date,
                           std::string_view contract) {
    source_ = &source;
    date_.assign(date);
    contract_.assign(contract);
    return *this;
}

const storage::Database& DaySlice::RowsFor(std::string_view condition) {
    static const storage::Database kClosed;
    if (source_ == nullptr) {
        return kClosed;
    }
    if (ConditionLooksBeyondTheRow(condition)) {
        return *source_;
    }
    const std::int64_t version = DataVersion(*source_);
    if (copy_valid_ && copied_from_ == source_->Handle() && copied_version_ == version &&
        copied_date_ == date_ && copied_contract_ == contract_) {
        return memory_;
    }
    copy_valid_ = Make();
    copied_from_ = source_->Handle();
    copied_version_ = version;
    copied_date_ = date_;
    copied_contract_ = contract_;
    return copy_valid_ ? memory_ : *source_;
}

std::optional<DayFigures> DaySlice::Figures() {
    if (source_ == nullptr) {
        return std::nullopt;
    }
    const void* handle = source_->Handle();
    const std::int64_t version = DataVersion(*source_);
    if (!levels_valid_ || levels_from_ != handle || levels_version_ != version ||
        levels_contract_ != contract_) {
        levels_ = ContractLevels();
        levels_valid_ = ReadContractLevels(*source_, contract_, levels_);
        levels_from_ = handle;
        levels_version_ = version;
        levels_contract_ = contract_;
    }
    if (!day_valid_ || day_from_ != handle || day_version_ != version || day_date_ != date_ ||
        day_contract_ != contract_) {
        day_rows_.clear();
        day_valid_ = ReadDayRows(*source_, date_, contract_, day_rows_);
        day_positions_.resize(day_rows_.size());
        std::iota(day_positions_.begin(), day_positions_.end(), std::size_t{0});
        day_from_ = handle;
        day_version_ = version;
        day_date_ = date_;
        day_contract_ = contract_;
    }
    if (!levels_valid_ || !day_valid_) {
        return std::nullopt;
    }
    return DayFigures(levels_, day_rows_, day_positions_);
}

void DaySlice::Reset() {
    copy_valid_ = false;
    copied_from_ = nullptr;
    levels_valid_ = false;
    levels_from_ = nullptr;
    day_valid_ = false;
    day_from_ = nullptr;
}

bool DaySlice::Make() {
    const storage::Database& source = *source_;
    const std::string& date = date_;
    const std::string& contract = contract_;
    if (!source.IsOpen()) {
        return false;
    }
    storage::Statement schema =
        source.Prepare("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'dating'");
    if (!schema.Step()) {
        return false;
    }
    const std::string create = schema.ColumnText(0);
    if (!memory_.IsOpen()) {
        memory_ = storage::Database::Open(":memory:");
    }
    if (!memory_.Execute("DROP TABLE IF EXISTS dating") || !memory_.Execute(create)) {
        return false;
    }

    // The day through its index; the contract inside CASE so that the planner cannot take the
    // contract index for it, with the comparison exactly as the panel's queries make it.
    RawStatement read = PrepareRaw(source.Handle(),
                                   "SELECT rowid, * FROM dating WHERE date = ? AND CASE WHEN "
                                   "contract = ? THEN 1 ELSE 0 END ORDER BY rowid");
    if (!read) {
        return false;
    }
    sqlite3_bind_text(read.get(), 1, date.data(), static_cast<int>(date.size()), SQLITE_STATIC);
    sqlite3_bind_text(read.get(), 2, contract.data(), static_cast<int>(contract.size()),
                      SQLITE_STATIC);
    const int columns = sqlite3_column_count(read.get());
    std::string insert = "INSERT INTO dating (rowid";
    for (int i = 1; i < columns; ++i) {
        const char* name = sqlite3_column_name(read.get(), i);
        insert += ", " + QuotedName(name != nullptr ? name : "");
    }
    insert += ") VALUES (?";
    for (int i = 1; i < columns; ++i) {
        insert += ", ?";
    }
    insert += ")";
    RawStatement write = PrepareRaw(memory_.Handle(), insert);
    if (!write || !memory_.Execute("BEGIN")) {
        return false;
    }
    int rc = SQLITE_ROW;
    bool ok = true;
    while (ok && (rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            sqlite3_bind_value(write.get(), i + 1, sqlite3_column_value(read.get(), i));
        }
        ok = sqlite3_step(write.get()) == SQLITE_DONE;
        sqlite3_reset(write.get());
    }
    ok = ok && rc == SQLITE_DONE;
    return memory_.Execute(ok ? "COMMIT" : "ROLLBACK") && ok;
}

bool ConditionLooksBeyondTheRow(std::string_view condition) {
    const std::string lower = common::ToLowerAscii(condition);
    for (std::string_view word : {"select", "dating", "pragma", "sqlite_"}) {
        if (common::Contains(lower, word)) {
            return true;
        }
    }
    return false;
}

}  // namespace zarvex::analytics
