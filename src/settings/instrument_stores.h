#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/program_folder.h"
#include "settings/settings_record.h"
#include "storage/database.h"

namespace zarvex::settings {

// What one instrument keeps open for the whole run: its settings record (which owns the
// configuration database) and its operation and quote databases with their paths. A file
// that could not be opened is a closed Database; everything still works on it quietly.
struct InstrumentStores {
    std::string symbol;
    SettingsRecord settings;
    std::filesystem::path operation_path;
    storage::Database operation;
    std::filesystem::path quote_path;
    storage::Database quote;
};

// Opens (or creates) the configuration, operation and quote databases of the symbol in that
// order, and seeds a quote database whose file was new.
InstrumentStores OpenInstrumentStores(const common::ProgramFolder& folder, std::string_view symbol);
// Closes the operation and then the quote database; the settings record keeps its own.
void CloseInstrumentStores(InstrumentStores& stores);

}  // namespace zarvex::settings
