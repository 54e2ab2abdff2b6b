#include "storage/file_fault.h"

#include <sqlite3.h>

namespace zarvex::storage {

bool IsFileFault(int result_code) {
    switch (result_code & 0xFF) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_NOMEM:
        case SQLITE_FULL:
            return true;
        default:
            return false;
    }
}

void FileFault::Note(int result_code, const char* text) {
    if (!IsFileFault(result_code)) {
        return;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (text_.empty()) {
        text_ = text != nullptr && *text != '\0' ? text : sqlite3_errstr(result_code);
    }
}

std::string FileFault::Text() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

}  // namespace zarvex::storage
