#include <ostream>

#include "app/cli/arguments.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/plain_host.h"
#include "common/text_table.h"
#include "day/instrument.h"
#include "day/instrument_list.h"

namespace zarvex::cli {

namespace {

// Status texts go to stderr, one a line, as the desktop program's status bar would show them.
struct DayHost {
    explicit DayHost(const Context& ctx) : texts(LanguageOf(ctx)), plain(ctx.err) {}
    common::Host Host() { return plain.AsHost(&texts); }

    shell::TextTable texts;
    common::PlainHost plain;
};

}  // namespace

int CmdProcessDay(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    shell::InstrumentList list(ctx.home, host.Host());
    return list.RunCurrentDay(date) == 1 ? kExitDone : kExitFailed;
}

int CmdProcessPreviousDays(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    shell::InstrumentList list(ctx.home, host.Host());
    return list.RunPreviousDays(date) == 1 ? kExitDone : kExitFailed;
}

int CmdUnload(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date"});
    RefusePositional(args);
    const std::string symbol = args.Required("symbol");
    const int index = shell::InstrumentList::IndexOf(symbol);
    if (index < 0) {
        throw UsageError("--symbol must be one of EUR, GBP, AUD, CAD, JPY, CHF: " + symbol);
    }
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    shell::Instrument instrument(
        symbol, shell::InstrumentList::kContainerNumbers[static_cast<std::size_t>(index)], ctx.home,
        host.Host());
    const int result = instrument.UnloadDay(date);
    *ctx.out << result << '\n';
    return result == 1 ? kExitDone : kExitFailed;
}

}  // namespace zarvex::cli
