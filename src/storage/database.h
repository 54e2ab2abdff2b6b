#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "storage/file_fault.h"
#include "storage/sql_value.h"
#include "storage/statement.h"

struct sqlite3;

namespace zarvex::storage {

// An SQLite database connection, closed by its destructor. A closed Database plays the part
// of a handle of 0: every statement on it fails and every query yields no row.
class Database final {
public:
    Database() = default;
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file for reading and writing; never creates one. A closed Database
    // when the open fails.
    static Database Open(const std::filesystem::path& path);
    // Opens read-only (the command line's calculations).
    static Database OpenReadOnly(const std::filesystem::path& path);
    // Opens read-only for the long reads of one thread (a scan of a whole file): the handle is
    // not locked around every call, and the file is mapped into memory rather than copied. The
    // handle must not be shared with another thread.
    static Database OpenReadOnlyForScan(const std::filesystem::path& path);

    bool IsOpen() const { return db_ != nullptr; }
    // Why the open failed, in SQLite's words; empty for an open database.
    const std::string& OpenError() const { return open_error_; }
    sqlite3* Handle() const { return db_; }
    void Close();

    // Prepares exactly one statement.
    Statement Prepare(std::string_view sql) const;
    // Prepares, binds the values in order and runs one statement without result.
    bool Execute(std::string_view sql, std::initializer_list<SqlValue> values = {}) const;
    // Rows changed by the last INSERT, UPDATE or DELETE on this connection (0 when closed).
    // Other threads sharing the handle can change it: read it under a ConnectionLock.
    int Changes() const;
    // SQLite's text for the last failure on this connection ("database is not open" when
    // closed). Another thread sharing the handle can change it between the failure and here.
    std::string LastError() const;
    // SQLite's text for the first fault of the file that a statement on this connection met (a
    // damaged page, a failed read, a lock held past the wait), "" when none. A reader checks
    // it after its queries, since each of them simply ends at such a fault.
    std::string FaultText() const;
    // The id of the row the last successful INSERT on this connection added (0 when none).
    std::int64_t LastInsertId() const;

private:
    explicit Database(sqlite3* db) : db_(db), fault_(std::make_shared<FileFault>()) {}
    explicit Database(std::string open_error) : open_error_(std::move(open_error)) {}
    static Database OpenWithFlags(const std::filesystem::path& path, int flags);

    sqlite3* db_ = nullptr;
    std::shared_ptr<FileFault> fault_;
    std::string open_error_;
};

}  // namespace zarvex::storage
