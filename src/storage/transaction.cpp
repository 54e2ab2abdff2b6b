#include "storage/transaction.h"

namespace zarvex::storage {

Transaction::Transaction(const Database& db) : db_(db) {
    began_ = db_.Execute("Begin Transaction");
}

Transaction::~Transaction() {
    Commit();
}

bool Transaction::Commit() {
    if (done_) {
        return true;
    }
    done_ = true;
    return db_.Execute("Commit");
}

bool Transaction::Rollback() {
    if (done_) {
        return false;
    }
    done_ = true;
    return db_.Execute("Rollback");
}

}  // namespace zarvex::storage
