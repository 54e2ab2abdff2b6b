#include "storage/stage_flags.h"

#include <cstdint>
#include <string>

#include "storage/connection_lock.h"

namespace zarvex::storage {

bool IsStageColumn(std::string_view column) {
    return column == kStageDownload || column == kStageConvert || column == kStageExtract ||
           column == kStageUpload;
}

int GetStageFlag(const Database& db, std::string_view date_key, std::string_view column) {
    if (!IsStageColumn(column)) {
        return 0;
    }
    Statement query = db.Prepare("SELECT " + std::string(column) + " FROM dating WHERE date = ?");
    if (!query.Bind(1, date_key) || !query.Step()) {
        return 0;
    }
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(query.ColumnInt(0) & 0xFF));
}

bool MarkStage(const Database& db, std::string_view date_key, std::string_view column) {
    if (!IsStageColumn(column) || !db.IsOpen()) {
        return false;
    }
    const ConnectionLock lock(db);
    bool exists = false;
    {
        Statement query = db.Prepare("SELECT * FROM dating WHERE date = ?");
        exists = query.Bind(1, date_key) && query.Step();
    }
    // The flag goes in as the text '1', which the INTEGER column stores as the integer 1.
    if (exists) {
        return db.Execute("UPDATE dating SET " + std::string(column) + "= ? WHERE date = ?",
                          {std::string_view("1"), date_key});
    }
    return db.Execute("INSERT INTO dating (" + std::string(column) + ", date ) VALUES (?,?)",
                      {std::string_view("1"), date_key});
}

}  // namespace zarvex::storage
