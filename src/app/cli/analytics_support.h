#pragma once

#include <string>

#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "settings/settings_record.h"
#include "storage/database.h"

// What the calculation commands share.
namespace zarvex::cli {

// --symbol, one of the six currencies; bad usage otherwise.
std::string RequiredSymbol(const Arguments& args);

// The instrument's settings as the desktop program would load them, without creating or
// changing the configuration file: its row when the file holds one, the defaults of a first
// start when there is no file.
settings::SettingsRecord LoadSettingsReadOnly(const Context& ctx, const std::string& symbol);

// The quote database of the symbol, read-only; a closed one (with a line on stderr) when the
// file is missing or cannot be opened.
storage::Database OpenQuotes(const Context& ctx, const std::string& symbol);

}  // namespace zarvex::cli
