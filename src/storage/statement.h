#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "storage/sql_value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zarvex::storage {

class FileFault;

// One prepared SQL statement, finalized by its destructor. An invalid statement (the prepare
// failed, or the database was not open) fails every step and yields no row.
class Statement final {
public:
    Statement() = default;
    // A fault of the file met while preparing or stepping is noted in `fault` as well.
    Statement(sqlite3* db, std::string_view sql, std::shared_ptr<FileFault> fault = {});
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool IsValid() const { return stmt_ != nullptr; }
    // Why the prepare or the last step failed ("" when it did not).
    const std::string& Error() const { return error_; }

    // Parameters count from 1. Return false when the statement is invalid or the index is
    // out of range.
    bool Bind(int index, const SqlValue& value);
    bool BindAll(std::initializer_list<SqlValue> values);
    // Binds a text without SQLite taking a copy: for statements run once per report row,
    // where copying every value cost about as much as the insert itself. SQLite reads the
    // text where it lies whenever the statement runs, so it must stay there until the
    // statement is bound anew or finalized. In a database stored as UTF-16 SQLite converts the
    // text at once into a copy of its own.
    bool BindKept(int index, std::string_view text);
    // Binds bytes as a BLOB (SQLite takes a copy).
    bool BindBlob(int index, std::string_view bytes);

    // Steps once. Returns true while a row is available; false when done or failed.
    bool Step();
    // Runs a statement without result to its end: true when it completed without error.
    bool Run();
    // Back to the start, keeping the bindings (or clearing them).
    void Reset(bool clear_bindings = false);

    int ColumnCount() const;
    // The name of a result column ("" out of range).
    std::string_view ColumnName(int column) const;
    bool IsNull(int column) const;
    std::int64_t ColumnInt(int column) const;
    double ColumnDouble(int column) const;
    std::string ColumnText(int column) const;
    std::string_view ColumnTextView(int column) const;  // valid until the next step
    // The column's bytes as a BLOB (a text's own bytes, a number's as text); valid until the
    // next step.
    std::string_view ColumnBlobView(int column) const;

    bool Failed() const { return failed_; }

private:
    void NoteFault(int result_code) const;
    // `bytes` (the column's text or blob, as just asked) with the column's length.
    std::string_view ColumnBytes(const void* bytes, int column) const;

    sqlite3_stmt* stmt_ = nullptr;
    std::shared_ptr<FileFault> fault_;
    std::string error_;
    bool failed_ = false;
};

}  // namespace zarvex::storage
