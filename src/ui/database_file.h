#pragma once

#include <filesystem>

#include "storage/database.h"

namespace zarvex::ui {

// The file behind the window's connection, for a worker to open a connection of its own (a
// connection is not handed between threads); empty for a closed or an in-memory database,
// whose worker then reads nothing and says so.
std::filesystem::path DatabaseFile(const storage::Database& db);

}  // namespace zarvex::ui
