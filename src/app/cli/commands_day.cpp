#include <ostream>
#include <string>
#include <string_view>

#include "app/cli/arguments.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/config_folder.h"
#include "common/outcome.h"
#include "common/plain_host.h"
#include "common/text_table.h"
#include "day/instrument.h"
#include "day/instrument_list.h"

namespace zarvex::cli {

namespace {

// Status texts go to stderr, one a line, as the desktop program's status bar would show them.
struct DayHost {
    explicit DayHost(const Context& ctx) : texts(LanguageOf(ctx)), plain(ctx.err) {
        ctx.home.PrepareLayout();
    }
    common::Host Host() { return plain.AsHost(&texts); }

    common::TextTable texts;
    common::PlainHost plain;
};

// A failed day run ends with one line that says why, after the status texts (the last of
// which is the completion text whatever came of the run).
int Finish(Context& ctx, const common::Outcome& result, std::string_view prefix = {}) {
    if (result.IsDone()) {
        return kExitDone;
    }
    *ctx.err << "zarvex-cli: " << prefix << result.Reason() << '\n';
    return kExitFailed;
}

}  // namespace

int CmdProcessDay(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    day::InstrumentList list(ctx.home, host.Host());
    list.SetEvening(common::UserConfigFolder(), nullptr);
    return Finish(ctx, list.RunCurrentDay(date));
}

int CmdProcessPreviousDays(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    day::InstrumentList list(ctx.home, host.Host());
    list.SetEvening(common::UserConfigFolder(), nullptr);
    return Finish(ctx, list.RunPreviousDays(date));
}

int CmdUnload(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date"});
    RefusePositional(args);
    const std::string symbol = args.Required("symbol");
    const int index = day::InstrumentList::IndexOf(symbol);
    if (index < 0) {
        throw UsageError("--symbol must be one of EUR, GBP, AUD, CAD, JPY, CHF: " + symbol);
    }
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    day::Instrument instrument(symbol, ctx.home, host.Host());
    const common::Outcome result = instrument.UnloadDay(date);
    *ctx.out << result.Flag() << '\n';
    return Finish(ctx, result, symbol + ": ");
}

}  // namespace zarvex::cli
