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
// start when there is no file. A file that is there and gives no settings ends the command
// with exit 1 and the file named.
settings::SettingsRecord LoadSettingsReadOnly(const Context& ctx, const std::string& symbol);

// The quote database of the symbol, read-only; a closed one (with a line on stderr) when the
// file is missing or cannot be opened.
storage::Database OpenQuotes(const Context& ctx, const std::string& symbol);

// True (with a line on stderr naming the quote file) when the calculation's queries met a
// fault of the file: a damaged page ends a query as if it had no more rows, and what was read
// up to there (older days, part of a day) must not be printed as the answer.
bool FileFailed(const Context& ctx, const std::string& symbol, const std::string& fault);

}  // namespace zarvex::cli
