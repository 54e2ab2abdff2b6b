#include <ostream>
#include <string>

#include "app/cli/arguments.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/config_folder.h"
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
int Finish(Context& ctx, int result, const std::string& failure) {
    if (result == 1) {
        return kExitDone;
    }
    *ctx.err << "zarvex-cli: " << failure << '\n';
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
    const int result = list.RunCurrentDay(date);
    return Finish(ctx, result, list.Failure());
}

int CmdProcessPreviousDays(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const common::Date date = args.RequiredDateKey("date");
    DayHost host(ctx);
    day::InstrumentList list(ctx.home, host.Host());
    list.SetEvening(common::UserConfigFolder(), nullptr);
    const int result = list.RunPreviousDays(date);
    return Finish(ctx, result, list.Failure());
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
    const int result = instrument.UnloadDay(date);
    *ctx.out << result << '\n';
    const std::string& failure = instrument.Stores().failure;
    return Finish(ctx, result, symbol + ": " + (failure.empty() ? "the unload failed" : failure));
}

}  // namespace zarvex::cli
