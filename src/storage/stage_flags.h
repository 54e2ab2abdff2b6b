#pragma once

#include <string_view>

#include "storage/database.h"

namespace zarvex::storage {

// The stage columns of the state tables: download and convert in the download database,
// extract and upload in each operation database. No other name reaches the SQL text.
inline constexpr std::string_view kStageDownload = "download";
inline constexpr std::string_view kStageConvert = "convert";
inline constexpr std::string_view kStageExtract = "extract";
inline constexpr std::string_view kStageUpload = "upload";

bool IsStageColumn(std::string_view column);

// 1 when the stage is done for the date (key "%yyyy%mm%dd"), 0 when not: no row, NULL, a
// closed database, an unknown column or any failure. Only the first row of the date counts;
// the stored integer is cut to its low eight bits, read as signed.
int GetStageFlag(const Database& db, std::string_view date_key, std::string_view column);

// Records the stage as done: updates every row of the date, or inserts one when there is
// none. The check and the write hold the connection, so a second thread sharing the handle
// cannot add a twin row in between. False when the column is unknown or the write failed.
bool MarkStage(const Database& db, std::string_view date_key, std::string_view column);

}  // namespace zarvex::storage
