#include "app/cli/analytics_support.h"

#include <ostream>
#include <stdexcept>

#include "analytics/board/symbol_rows.h"
#include "app/cli/command_support.h"
#include "common/symbols.h"
#include "storage/statement.h"
#include "storage/store.h"

namespace zarvex::cli {

std::string RequiredSymbol(const Arguments& args) {
    const std::string symbol = args.Required("symbol");
    if (common::InstrumentIndex(symbol) >= 0) {
        return symbol;
    }
    throw UsageError("--symbol must be one of EUR, GBP, AUD, CAD, JPY, CHF: " + symbol);
}

settings::SettingsRecord LoadSettingsReadOnly(const Context& ctx, const std::string& symbol) {
    settings::SettingsRecord record(symbol, ctx.home);
    record.OpenSettingsReadOnly(storage::ConfigurationPath(ctx.home, symbol));
    if (!record.Problem().empty()) {
        // Calculated with settings it could not read, the answer would look right and be
        // another instrument's, or nobody's.
        throw std::runtime_error(record.ProblemText());
    }
    return record;
}

storage::Database OpenQuotes(const Context& ctx, const std::string& symbol) {
    const auto path = storage::QuotePath(ctx.home, symbol);
    storage::Database db = storage::Database::OpenReadOnly(path);
    if (!db.IsOpen()) {
        *ctx.err << "zarvex-cli: cannot open " << path.string() << ": " << db.OpenError() << '\n';
        return db;
    }
    // SQLite opens any file and fails only at the first query, which the calculations would
    // take for a day without rows.
    std::string error;
    {
        storage::Statement probe = db.Prepare("SELECT 1 FROM dating LIMIT 1");
        probe.Step();
        error = probe.Error();
    }
    if (!error.empty()) {
        *ctx.err << "zarvex-cli: " << path.string() << " is no quote database: " << error << '\n';
        db.Close();
    }
    return db;
}

Calculation::Calculation(const Context& ctx, const std::string& symbol)
    : ctx_(ctx),
      symbol_(symbol),
      record_(LoadSettingsReadOnly(ctx, symbol)),
      values_(record_.Values()),
      texts_(LanguageOf(ctx)),
      plain_(ctx.Progress(), ctx.err) {}

bool Calculation::OpenQuoteDatabase() {
    db_ = OpenQuotes(ctx_, symbol_);
    return db_.IsOpen();
}

analytics::RightPanelDay Calculation::Day(const std::string& date, const std::string& contract,
                                          std::optional<int> fp_switch) {
    return analytics::ResolveRightPanelDay(ctx_.home, symbol_, date, contract,
                                           fp_switch.value_or(values_.is_fp), Host());
}

bool FileFailed(const Context& ctx, const std::string& symbol, const std::string& fault) {
    if (fault.empty()) {
        return false;
    }
    *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string()
             << " could not be read: " << fault << '\n';
    return true;
}

std::string DayOrLatestStored(const Context& ctx, const std::string& symbol,
                              const std::optional<common::Date>& given) {
    if (given) {
        return common::DayText(*given);
    }
    const storage::Database db =
        storage::Database::OpenReadOnlyForScan(storage::QuotePath(ctx.home, symbol));
    analytics::SymbolRows rows;
    const common::Date latest =
        db.IsOpen() && rows.Scan(db) ? rows.LatestUpTo(ctx.today) : common::kInvalidDate;
    if (latest == common::kInvalidDate) {
        throw std::runtime_error(symbol + ": no stored day up to " + common::DayText(ctx.today) +
                                 " (--date names one)");
    }
    return common::DayText(latest);
}

analytics::StoreProgress VolatilityStoreProgress(const Context& ctx, const std::string& symbol) {
    std::ostream* progress = ctx.Progress();
    if (progress == nullptr) {
        return {};
    }
    return [progress, symbol, shown_percent = std::size_t{0}](std::size_t done,
                                                              std::size_t total) mutable {
        if (total == 0) {
            return;
        }
        const std::size_t percent = done * 100 / total;
        if (done == 0 || done == total || percent >= shown_percent + 10) {
            shown_percent = percent;
            *progress << "zarvex-cli: " << symbol << ": volatility of " << done << " of " << total
                      << " days\n";
        }
    };
}

}  // namespace zarvex::cli
