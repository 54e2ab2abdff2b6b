#include "storage/transaction.h"

namespace zarvex::storage {

Transaction::Transaction(const Database& db, Mode mode) : db_(db) {
    began_ =
        db_.Execute(mode == Mode::kImmediate ? "Begin Immediate Transaction" : "Begin Transaction");
}

Transaction::~Transaction() {
    if (began_ && !committed_ && !rolled_back_) {
        db_.Execute("Rollback");
    }
}

bool Transaction::Commit() {
    if (committed_ || rolled_back_) {
        return committed_;
    }
    committed_ = db_.Execute("Commit");
    return committed_;
}

bool Transaction::Rollback() {
    if (committed_ || rolled_back_) {
        return false;
    }
    rolled_back_ = true;
    return db_.Execute("Rollback");
}

}  // namespace zarvex::storage
