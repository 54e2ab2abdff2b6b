#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/program_folder.h"
#include "storage/database.h"

namespace zarvex::storage {

// The four kinds of database file. Each holds one table `dating` whose columns depend on
// the kind.
enum class StoreKind {
    kConfiguration,  // DB/<symbol>_config.lql: one settings row
    kOperation,      // DB/<symbol>_operation.lql: extract and upload flags per date
    kQuote,          // DB/<symbol>_data.lql: the option rows
    kDownload,       // DB/download.lql: download (and the unused convert) flags per date
};

struct OpenedStore {
    Database db;
    // The file was missing or 0 bytes long, so it was (or should have been) made here. True
    // even when making it failed: callers seed a new file whatever the outcome.
    bool new_file = false;
    // This call created the table (and committed it with what `fill` wrote): only ever on a
    // new file, and only in one of several programs that found the file new at once.
    bool created_table = false;
    // Why a file that is there could not be opened (a folder or a FIFO in its place, an open
    // that failed); "" otherwise. A missing file that could not be made is no problem: without
    // DB/ the program runs with nothing stored.
    std::string problem;
};

// Opens the file, or creates it with the kind's table when it is missing or empty. An
// existing non-empty file is opened as it is: nothing is created or repaired in it, even
// when it lacks the table or is no database at all. Never creates a folder: without DB/
// the result is a closed Database.
//
// A new file is made in one immediate transaction together with what `fill` writes into it
// (the seed row, the default settings): a process killed half way leaves a file that SQLite
// rolls back to empty, which the next start takes for a new file again, instead of a table
// without its first row. An existing file is never truncated, so programs that open the same
// new file at once cannot wipe each other's first pages.
OpenedStore OpenStore(const std::filesystem::path& path, StoreKind kind,
                      const std::function<void(const Database&)>& fill = {});

// Why nothing at the path can be opened as a database file: a folder, a FIFO or a device sits
// there (opening a FIFO would wait for a writer for ever). "" for a regular file or none.
std::string NoFileProblem(const std::filesystem::path& path);

// The exact statements the kind's file is created with.
std::string_view CreateTableSql(StoreKind kind);
// The quote database's three indexes, in the order dt, st, cn.
inline constexpr std::string_view kQuoteIndexSql[] = {
    "CREATE INDEX dt ON dating (date);",
    "CREATE INDEX st ON dating (strike);",
    "CREATE INDEX cn ON dating (contract);",
};

// The one fixed row a new quote database starts with: a CALL of JUN12-AM on 03.12.2012.
bool InsertSeedRow(const Database& db, std::string_view symbol);
// True when the quote database holds its seed row and nothing else: no day was extracted yet.
// The seed row stays stored; only the window tells the trader that there are no days.
bool HoldsOnlySeedRow(const Database& db);

// File names inside the program folder's DB/.
std::filesystem::path ConfigurationPath(const common::ProgramFolder& folder,
                                        std::string_view symbol);
std::filesystem::path OperationPath(const common::ProgramFolder& folder, std::string_view symbol);
std::filesystem::path QuotePath(const common::ProgramFolder& folder, std::string_view symbol);
std::filesystem::path DownloadPath(const common::ProgramFolder& folder);

// The scheduler's download database and where it lives.
struct DownloadStore {
    Database db;
    std::filesystem::path path;
};
DownloadStore OpenDownloadStore(const common::ProgramFolder& folder);

}  // namespace zarvex::storage
