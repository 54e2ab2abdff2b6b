#pragma once

#include <optional>
#include <string>
#include <utility>

#include "analytics/analysis_input.h"
#include "analytics/right_panel/right_panel_day.h"
#include "analytics/volatility/volatility_store.h"
#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "common/host.h"
#include "common/plain_host.h"
#include "common/text_table.h"
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

// What every calculation command sets up the same way: the instrument's settings (read-only),
// the status texts in the language asked for, a host that writes them to stderr, and on
// request the quote database.
class Calculation final {
public:
    Calculation(const Context& ctx, const std::string& symbol);
    Calculation(const Calculation&) = delete;
    Calculation& operator=(const Calculation&) = delete;

    const settings::SettingsRecord& Settings() const { return record_; }
    // The settings the command calculates with: the record's, for the command's options to be
    // laid over before the calculation. Lives as long as the calculation.
    settings::Settings& Values() { return values_; }
    // The symbol with Values(), for the models.
    analytics::AnalysisInput Input(std::string contract = {}) const {
        return analytics::AnalysisInput(values_, symbol_, std::move(contract));
    }
    // Writes the status texts in the chosen language; Quiet() writes them without texts.
    common::Host Host() { return plain_.AsHost(&texts_); }
    common::Host Quiet() { return plain_.AsHost(); }
    // The quote database as OpenQuotes opens it; false (with its line on stderr) without one.
    bool OpenQuoteDatabase();
    const storage::Database& Quotes() const { return db_; }
    // The right panel's day of the symbol: the date, the contract and the forward point with
    // the switch given, or the settings' own.
    analytics::RightPanelDay Day(const std::string& date, const std::string& contract,
                                 std::optional<int> fp_switch);

private:
    const Context& ctx_;
    std::string symbol_;
    settings::SettingsRecord record_;
    settings::Settings values_;
    common::TextTable texts_;
    common::PlainHost plain_;
    storage::Database db_;
};

// True (with a line on stderr naming the quote file) when the calculation's queries met a
// fault of the file: a damaged page ends a query as if it had no more rows, and what was read
// up to there (older days, part of a day) must not be printed as the answer.
bool FileFailed(const Context& ctx, const std::string& symbol, const std::string& fault);

// With --verbose, the volatility store's progress while it is brought in line ("volatility of
// N of M days" on stderr, every tenth of the way); nothing otherwise.
analytics::StoreProgress VolatilityStoreProgress(const Context& ctx, const std::string& symbol);

// The day asked for, or without one the latest stored day of the symbol up to today, as
// DD.MM.YYYY; throws (exit 1, naming the symbol) when there is no stored day.
std::string DayOrLatestStored(const Context& ctx, const std::string& symbol,
                              const std::optional<common::Date>& given);

}  // namespace zarvex::cli
