#pragma once

#include "storage/database.h"

namespace zarvex::storage {

// "Begin Transaction" on construction, "Commit" on Commit(). Statements that fail inside are
// skipped and the rest is still committed. Unless Commit was called and succeeded, the
// destructor rolls back: an early return or a commit that another program's lock refused
// leaves the database as it was before the begin, as does a process killed before the commit.
class Transaction final {
public:
    // A deferred transaction takes the write lock at its first write. One that reads first
    // and writes later cannot wait for another connection's write lock at that point (SQLite
    // answers "database is locked" at once, since waiting could deadlock), so every
    // transaction that writes begins immediate: it waits for the lock at the begin instead.
    enum class Mode { kDeferred, kImmediate };

    explicit Transaction(const Database& db, Mode mode = Mode::kDeferred);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Began() const { return began_; }
    bool Commit();
    // Drops what the transaction wrote. Only for input that turned out unreadable half way,
    // where keeping half a day would be worse than keeping none.
    bool Rollback();

private:
    const Database& db_;
    bool began_ = false;
    bool committed_ = false;
    bool rolled_back_ = false;
};

}  // namespace zarvex::storage
