#include <optional>
#include <string>

#include "analytics/history/contract_history.h"
#include "analytics/history/history_table.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/figure_json.h"
#include "app/cli/json_writer.h"
#include "common/plain_host.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

std::string HistoryJson(const analytics::ContractHistory& history) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(history.symbol);
    json.Key("contract").String(history.contract);
    json.Key("days").BeginArray();
    for (const analytics::HistoryDay& day : history.days) {
        json.BeginObject();
        FiguresJson(json, analytics::FiguresIn(analytics::figure_output::kHistory), day);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

}  // namespace

// The left panel's values of a contract on every stored day that has its rows, oldest first.
int CmdHistory(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "contract", "from", "to", "price-type", "fp"}, {"csv"});
    RefusePositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::string contract = args.Required("contract");
    analytics::HistoryRequest request;
    request.from = args.DayText("from").value_or(common::kInvalidDate);
    request.to = args.DayText("to").value_or(common::kInvalidDate);
    if (request.from != common::kInvalidDate && request.to != common::kInvalidDate &&
        request.from > request.to) {
        throw UsageError("--from " + common::DayText(request.from) + " is after --to " +
                         common::DayText(request.to));
    }
    const std::optional<int> price_type = args.IntInRange("price-type", 0, 2);
    const std::optional<int> fp = args.IntInRange("fp", 0, 1);

    Calculation calculation(ctx, symbol);
    if (price_type) {
        calculation.Values().price_type = static_cast<std::int8_t>(*price_type);
    }
    if (fp) {
        calculation.Values().is_fp = static_cast<std::int8_t>(*fp);
    }
    request.input = calculation.Input(contract);
    if (!calculation.OpenQuoteDatabase()) {
        return kExitFailed;
    }
    const common::Result<analytics::ContractHistory> history = analytics::LoadContractHistory(
        calculation.Quotes(), ctx.home, request, calculation.Quiet());
    if (FileFailed(ctx, symbol, calculation.Quotes().FaultText())) {
        return kExitFailed;
    }
    if (!history) {
        *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string() << ": "
                 << history.Reason() << '\n';
        return kExitFailed;
    }
    *ctx.out << (args.Has("csv") ? analytics::HistoryCsv(*history) : HistoryJson(*history) + '\n');
    return kExitDone;
}

}  // namespace zarvex::cli
