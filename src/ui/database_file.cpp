#include "ui/database_file.h"

#include <sqlite3.h>

namespace zarvex::ui {

std::filesystem::path DatabaseFile(const storage::Database& db) {
    if (!db.IsOpen()) {
        return {};
    }
    const char* name = sqlite3_db_filename(db.Handle(), "main");
    return name != nullptr ? std::filesystem::path(name) : std::filesystem::path();
}

}  // namespace zarvex::ui
