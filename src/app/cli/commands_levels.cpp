#include <string>
#include <vector>

#include "analytics/board/board.h"
#include "analytics/board/levels_feed.h"
#include "analytics/board/levels_json_feed.h"
#include "analytics/board/levels_text_feed.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "common/plain_host.h"
#include "common/text.h"
#include "storage/store.h"

namespace zarvex::cli {

// A symbol's levels feed of a day, as the day run writes it: the JSON form, or the text form
// of the terminals' level-file indicators, or the CSV.
int CmdLevels(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date"}, {"text", "csv"});
    RefusePositional(args);
    if (args.Has("text") && args.Has("csv")) {
        throw UsageError("--text and --csv exclude each other");
    }
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> date = args.DayText("date");
    const settings::SettingsRecord record = LoadSettingsReadOnly(ctx, symbol);
    const std::vector<analytics::BoardSource> sources{
        {analytics::AnalysisInput(record.Values(), record.Symbol()),
         storage::QuotePath(ctx.home, symbol)}};
    common::PlainHost plain(ctx.err);
    const analytics::Board board = analytics::BuildBoard(
        sources, date.value_or(common::kInvalidDate), ctx.today, {}, ctx.home, plain.AsHost());
    const analytics::SymbolBoard* found = board.Find(symbol);
    if (found == nullptr || !found->read.IsDone()) {
        *ctx.err << "zarvex-cli: " << symbol << ": "
                 << (found ? found->read.Reason() : std::string("no board")) << '\n';
        return kExitFailed;
    }
    if (found->date == common::kInvalidDate) {
        *ctx.err << "zarvex-cli: " << symbol << ": no stored day "
                 << (date ? "on " + common::DayText(*date) : "up to " + common::DayText(ctx.today))
                 << '\n';
        return kExitFailed;
    }
    if (args.Has("text")) {
        *ctx.out << analytics::LevelsTextFeed(*found);
    } else if (args.Has("csv")) {
        *ctx.out << analytics::LevelsFeedCsv(*found);
    } else {
        *ctx.out << analytics::LevelsJsonFeed(*found);
    }
    return kExitDone;
}

}  // namespace zarvex::cli
