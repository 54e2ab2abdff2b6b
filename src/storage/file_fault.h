#pragma once

#include <mutex>
#include <string>

namespace zarvex::storage {

// The first sign, on one connection, that its file could not be read or written as it is:
// a damaged page, a failed read, a lock held past the wait. A query that meets one of these
// ends early as if it had no more rows, and its caller would show what it had read so far;
// noting it here lets the caller tell "no more rows" from "the file failed". Errors of the
// statement itself (a bad condition, a missing table) are no fault of the file and are not
// noted. Shared by the connection and its statements, which may run on several threads.
class FileFault final {
public:
    // Notes SQLite's result code and text when the code is one of the file's faults and no
    // fault was noted before.
    void Note(int result_code, const char* text);
    // SQLite's text for the first fault, "" when there was none.
    std::string Text() const;

private:
    mutable std::mutex mutex_;
    std::string text_;
};

// Whether an SQLite result code says that the file, not the statement, failed.
bool IsFileFault(int result_code);

}  // namespace zarvex::storage
