#include <optional>
#include <string>

#include "analytics/history/contract_history.h"
#include "analytics/history/history_table.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
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
        json.Key("date").String(common::DayText(day.day));
        json.Key("forward_point").Number(day.forward_point);
        json.Key("expiration").String(day.expiration);
        json.Key("call_level").String(day.call_level.Text());
        json.Key("put_level").String(day.put_level.Text());
        json.Key("width_market").String(day.width_market.Text());
        json.Key("delta_balance").String(day.delta_balance.Text());
        json.Key("upper_limit").String(day.upper_limit.Text());
        json.Key("upper_border").String(day.upper_border.Text());
        json.Key("channel_center").String(day.channel_center.Text());
        json.Key("bottom_border").String(day.bottom_border.Text());
        json.Key("bottom_limit").String(day.bottom_limit.Text());
        json.Key("upper_border_strike").Int(day.upper_border_strike);
        json.Key("bottom_border_strike").Int(day.bottom_border_strike);
        json.Key("upper_limit_strike").Int(day.upper_limit_strike);
        json.Key("bottom_limit_strike").Int(day.bottom_limit_strike);
        json.Key("ratio_oi").String(day.ratio_oi.Text());
        json.Key("ratio_volume").String(day.ratio_volume.Text());
        json.Key("ratio_avg_price").String(day.ratio_avg_price.Text());
        json.Key("max_pain").String(day.max_pain.Text());
        json.Key("max_pain_strike").Number(day.max_pain_strike);
        json.Key("call_oi").Int(day.call_oi);
        json.Key("put_oi").Int(day.put_oi);
        json.Key("call_volume").Int(day.call_volume);
        json.Key("put_volume").Int(day.put_volume);
        json.Key("atm_vol").Optional(day.atm_vol);
        json.Key("rr25").Optional(day.rr25);
        json.Key("bf25").Optional(day.bf25);
        json.Key("expected_move").Optional(day.expected_move);
        json.Key("call_level_as_of").String(day.call_level_as_of.Text());
        json.Key("put_level_as_of").String(day.put_level_as_of.Text());
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
    const analytics::ContractHistory history = analytics::LoadContractHistory(
        calculation.Quotes(), ctx.home, request, calculation.Quiet());
    if (FileFailed(ctx, symbol, calculation.Quotes().FaultText())) {
        return kExitFailed;
    }
    if (history.failed) {
        *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string() << ": "
                 << history.error << '\n';
        return kExitFailed;
    }
    *ctx.out << (args.Has("csv") ? analytics::HistoryCsv(history) : HistoryJson(history) + '\n');
    return kExitDone;
}

}  // namespace zarvex::cli
