#include "storage/statement.h"

#include <sqlite3.h>

#include <type_traits>
#include <utility>

#include "storage/file_fault.h"

namespace zarvex::storage {

namespace {

bool OnlyBlanks(const char* tail) {
    for (; tail != nullptr && *tail != '\0'; ++tail) {
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n') {
            return false;
        }
    }
    return true;
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql, std::shared_ptr<FileFault> fault)
    : fault_(std::move(fault)) {
    if (db == nullptr) {
        error_ = "database not open";
        failed_ = true;
        return;
    }
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, &tail);
    if (rc != SQLITE_OK || stmt_ == nullptr) {
        error_ = sqlite3_errmsg(db);
        NoteFault(rc);
        failed_ = true;
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        return;
    }
    // Exactly one statement per prepare: text after the first statement (a second statement
    // smuggled in through a user condition) makes the whole statement invalid.
    const char* end = sql.data() + sql.size();
    if (tail != nullptr && tail < end && !OnlyBlanks(std::string(tail, end).c_str())) {
        error_ = "more than one statement";
        failed_ = true;
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)),
      fault_(std::move(other.fault_)),
      error_(std::move(other.error_)),
      failed_(other.failed_) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        fault_ = std::move(other.fault_);
        error_ = std::move(other.error_);
        failed_ = other.failed_;
    }
    return *this;
}

bool Statement::Bind(int index, const SqlValue& value) {
    if (stmt_ == nullptr) {
        return false;
    }
    const int rc = std::visit(
        [&](const auto& v) -> int {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>) {
                return sqlite3_bind_null(stmt_, index);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return sqlite3_bind_int64(stmt_, index, v);
            } else if constexpr (std::is_same_v<T, double>) {
                return sqlite3_bind_double(stmt_, index, v);
            } else {
                // An empty view may carry a null pointer, which SQLite would bind as NULL;
                // an empty text must stay an empty text.
                return sqlite3_bind_text(stmt_, index, v.data() != nullptr ? v.data() : "",
                                         static_cast<int>(v.size()), SQLITE_TRANSIENT);
            }
        },
        value);
    return rc == SQLITE_OK;
}

bool Statement::BindAll(std::initializer_list<SqlValue> values) {
    int index = 1;
    bool ok = true;
    for (const auto& value : values) {
        ok = Bind(index++, value) && ok;
    }
    return ok;
}

bool Statement::BindKept(int index, std::string_view text) {
    return stmt_ != nullptr &&
           sqlite3_bind_text(stmt_, index, text.data() != nullptr ? text.data() : "",
                             static_cast<int>(text.size()), SQLITE_STATIC) == SQLITE_OK;
}

bool Statement::BindBlob(int index, std::string_view bytes) {
    // A zero-length blob with a null pointer would bind as NULL.
    return stmt_ != nullptr &&
           sqlite3_bind_blob(stmt_, index, bytes.data() != nullptr ? bytes.data() : "",
                             static_cast<int>(bytes.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

bool Statement::Step() {
    if (stmt_ == nullptr) {
        failed_ = true;
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        failed_ = true;
        error_ = sqlite3_errmsg(sqlite3_db_handle(stmt_));
        NoteFault(rc);
    }
    return false;
}

void Statement::NoteFault(int result_code) const {
    if (fault_) {
        fault_->Note(result_code, error_.c_str());
    }
}

bool Statement::Run() {
    if (stmt_ == nullptr) {
        return false;
    }
    failed_ = false;
    while (Step()) {
    }
    return !failed_;
}

void Statement::Reset(bool clear_bindings) {
    if (stmt_ == nullptr) {
        return;
    }
    sqlite3_reset(stmt_);
    if (clear_bindings) {
        sqlite3_clear_bindings(stmt_);
    }
    failed_ = false;
}

int Statement::ColumnCount() const {
    return stmt_ == nullptr ? 0 : sqlite3_column_count(stmt_);
}

std::string_view Statement::ColumnName(int column) const {
    const char* name = stmt_ == nullptr ? nullptr : sqlite3_column_name(stmt_, column);
    return name == nullptr ? std::string_view() : std::string_view(name);
}

bool Statement::IsNull(int column) const {
    return stmt_ == nullptr || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::int64_t Statement::ColumnInt(int column) const {
    return stmt_ == nullptr ? 0 : sqlite3_column_int64(stmt_, column);
}

double Statement::ColumnDouble(int column) const {
    return stmt_ == nullptr ? 0.0 : sqlite3_column_double(stmt_, column);
}

std::string Statement::ColumnText(int column) const {
    return std::string(ColumnTextView(column));
}

std::string_view Statement::ColumnTextView(int column) const {
    return ColumnBytes(stmt_ == nullptr ? nullptr : sqlite3_column_text(stmt_, column), column);
}

std::string_view Statement::ColumnBlobView(int column) const {
    return ColumnBytes(stmt_ == nullptr ? nullptr : sqlite3_column_blob(stmt_, column), column);
}

std::string_view Statement::ColumnBytes(const void* bytes, int column) const {
    if (bytes == nullptr) {
        return {};
    }
    // The length is asked after the value, as SQLite wants it.
    return {static_cast<const char*>(bytes),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

}  // namespace zarvex::storage
