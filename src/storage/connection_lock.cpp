#include "storage/connection_lock.h"

#include <sqlite3.h>

namespace zarvex::storage {

ConnectionLock::ConnectionLock(const Database& db)
    : mutex_(db.IsOpen() ? sqlite3_db_mutex(db.Handle()) : nullptr) {
    // sqlite3_mutex_enter accepts a null mutex (no-mutex builds) and does nothing with it.
    sqlite3_mutex_enter(mutex_);
}

ConnectionLock::~ConnectionLock() {
    sqlite3_mutex_leave(mutex_);
}

}  // namespace zarvex::storage
