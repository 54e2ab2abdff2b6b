#pragma once

#include "storage/database.h"

struct sqlite3_mutex;

namespace zarvex::storage {

// Holds a connection's own mutex, so that several statements run as one step for every other
// thread using the same handle. The mutex is recursive, so the statements inside still take
// it themselves. Does nothing on a closed Database.
class ConnectionLock final {
public:
    explicit ConnectionLock(const Database& db);
    ~ConnectionLock();
    ConnectionLock(const ConnectionLock&) = delete;
    ConnectionLock& operator=(const ConnectionLock&) = delete;

private:
    sqlite3_mutex* mutex_ = nullptr;
};

}  // namespace zarvex::storage
