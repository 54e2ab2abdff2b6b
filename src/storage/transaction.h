#pragma once

#include "storage/database.h"

namespace zarvex::storage {

// "Begin Transaction" on construction and "Commit" on Commit() or destruction. There is no
// rollback: statements that fail inside are skipped and the rest is still committed. A
// process killed before the commit leaves the database as it was before the begin.
class Transaction final {
public:
    explicit Transaction(const Database& db);
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
    bool done_ = false;
};

}  // namespace zarvex::storage
