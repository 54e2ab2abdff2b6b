#include "storage/database.h"

#include <sqlite3.h>

#include <string>
#include <utility>

#include "common/log.h"

namespace zarvex::storage {

namespace {

// The desktop program and the command-line program may work on one folder side by side:
// wait a while for the other's write lock instead of failing at once.
constexpr int kBusyTimeoutMs = 10000;

}  // namespace

Database::~Database() {
    Close();
}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      fault_(std::move(other.fault_)),
      open_error_(std::move(other.open_error_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        db_ = std::exchange(other.db_, nullptr);
        fault_ = std::move(other.fault_);
        open_error_ = std::move(other.open_error_);
    }
    return *this;
}

Database Database::OpenWithFlags(const std::filesystem::path& path, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string error = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        common::Log("cannot open ", path.string(), ": ", error);
        return Database(std::move(error));
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return Database(db);
}

Database Database::Open(const std::filesystem::path& path) {
    return OpenWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX);
}

Database Database::OpenReadOnly(const std::filesystem::path& path) {
    return OpenWithFlags(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX);
}

Database Database::OpenReadOnlyForScan(const std::filesystem::path& path) {
    Database db = OpenWithFlags(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    if (db.IsOpen()) {
        // Up to 1 GB of the file mapped; SQLite reads past that as usual.
        db.Execute("PRAGMA mmap_size = 1073741824");
    }
    return db;
}

void Database::Close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

std::string Database::LastError() const {
    return db_ != nullptr ? std::string(sqlite3_errmsg(db_)) : std::string("database is not open");
}

Statement Database::Prepare(std::string_view sql) const {
    return Statement(db_, sql, fault_);
}

std::string Database::FaultText() const {
    return fault_ ? fault_->Text() : std::string();
}

bool Database::Execute(std::string_view sql, std::initializer_list<SqlValue> values) const {
    Statement statement = Prepare(sql);
    if (!statement.IsValid()) {
        return false;
    }
    if (values.size() > 0 && !statement.BindAll(values)) {
        return false;
    }
    return statement.Run();
}

std::int64_t Database::LastInsertId() const {
    return db_ == nullptr ? 0 : sqlite3_last_insert_rowid(db_);
}

int Database::Changes() const {
    return db_ == nullptr ? 0 : sqlite3_changes(db_);
}

}  // namespace zarvex::storage
