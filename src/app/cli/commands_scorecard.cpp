#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "analytics/scorecard/scorecard.h"
#include "analytics/volatility/volatility_store.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/json_writer.h"
#include "common/symbols.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

// For a symbol whose volatility store cannot be brought in line.
const std::vector<analytics::DaySummary> kNoSummaries;

void OptionalDate(JsonWriter& json, common::Date day) {
    if (day == common::kInvalidDate) {
        json.Null();
    } else {
        json.String(common::DayText(day));
    }
}

void Share(JsonWriter& json, const std::optional<analytics::ShareInterval>& share,
           std::string_view rate_key) {
    json.Key(rate_key);
    share ? json.Number(share->share) : json.Null();
    json.Key("low");
    share ? json.Number(share->low) : json.Null();
    json.Key("high");
    share ? json.Number(share->high) : json.Null();
}

std::string GroupName(const analytics::MaxPainScore& score) {
    return std::to_string(score.first_day) + "-" + std::to_string(score.last_day);
}

void WriteScorecard(JsonWriter& json, const analytics::Scorecard& card) {
    json.BeginObject();
    json.Key("symbol").String(card.symbol);
    json.Key("from");
    OptionalDate(json, card.from);
    json.Key("to");
    OptionalDate(json, card.to);
    json.Key("contracts").String(card.all_contracts ? "all" : "front");
    json.Key("levels").BeginArray();
    for (const analytics::LineScore& score : card.lines) {
        json.BeginObject();
        json.Key("level").String(analytics::ScoredLineKey(score.line));
        json.Key("horizon").String(analytics::ScoreHorizonKey(score.horizon));
        json.Key("cases").Int(score.cases);
        json.Key("held").Int(score.held);
        Share(json, score.rate, "rate");
        json.Key("distance_in_moves").Optional(score.distance_in_moves);
        json.EndObject();
    }
    json.EndArray();
    json.Key("max_pain").BeginArray();
    for (const analytics::MaxPainScore& score : card.max_pain) {
        json.BeginObject();
        json.Key("days_before").String(GroupName(score));
        json.Key("cases").Int(score.cases);
        json.Key("max_pain_error").Optional(score.max_pain_error);
        json.Key("forward_error").Optional(score.forward_error);
        Share(json, score.max_pain_closer, "max_pain_closer");
        json.EndObject();
    }
    json.EndArray();
    json.Key("calibration").BeginArray();
    for (const analytics::CalibrationBin& bin : card.calibration) {
        json.BeginObject();
        json.Key("bin").Int(bin.bin);
        json.Key("from").Number(bin.bin / 10.0);
        json.Key("to").Number((bin.bin + 1) / 10.0);
        json.Key("cases").Int(bin.cases);
        json.Key("predicted").Optional(bin.predicted);
        json.Key("observed").Optional(bin.observed);
        json.EndObject();
    }
    json.EndArray();
    json.Key("brier").Optional(card.brier);
    json.EndObject();
}

// A number as JSON writes it, empty where there is none.
std::string CsvNumber(const std::optional<double>& value) {
    if (!value) {
        return {};
    }
    JsonWriter json;
    json.Optional(value);
    return json.Text() == "null" ? std::string() : json.Text();
}

std::string LevelsCsv(const std::vector<analytics::Scorecard>& cards) {
    std::string csv = "symbol,level,horizon,cases,held,rate,low,high,distance_in_moves\r\n";
    for (const analytics::Scorecard& card : cards) {
        for (const analytics::LineScore& score : card.lines) {
            const auto part = [&](double analytics::ShareInterval::*member) {
                return CsvNumber(score.rate ? std::optional<double>((*score.rate).*member)
                                            : std::nullopt);
            };
            csv += card.symbol + ',' + std::string(analytics::ScoredLineKey(score.line)) + ',' +
                   std::string(analytics::ScoreHorizonKey(score.horizon)) + ',' +
                   std::to_string(score.cases) + ',' + std::to_string(score.held) + ',' +
                   part(&analytics::ShareInterval::share) + ',' +
                   part(&analytics::ShareInterval::low) + ',' +
                   part(&analytics::ShareInterval::high) + ',' +
                   CsvNumber(score.distance_in_moves) + "\r\n";
        }
    }
    return csv;
}

}  // namespace

// How the day's lines held afterwards, over a symbol's stored days (or every symbol's).
int CmdScorecard(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "from", "to", "contracts"}, {"csv"});
    RefusePositional(args);
    std::vector<std::string> symbols;
    if (args.Has("symbol")) {
        symbols.push_back(RequiredSymbol(args));
    } else {
        symbols.assign(common::kSymbols.begin(), common::kSymbols.end());
    }
    const common::Date from = args.DayText("from").value_or(common::kInvalidDate);
    const common::Date to = args.DayText("to").value_or(common::kInvalidDate);
    if (from != common::kInvalidDate && to != common::kInvalidDate && from > to) {
        throw UsageError("--from " + common::DayText(from) + " is after --to " +
                         common::DayText(to));
    }
    const std::string contracts = args.Get("contracts").value_or("front");
    if (contracts != "front" && contracts != "all") {
        throw UsageError("--contracts takes front or all");
    }

    std::vector<analytics::Scorecard> cards;
    for (const std::string& symbol : symbols) {
        Calculation calculation(ctx, symbol);
        if (!calculation.OpenQuoteDatabase()) {
            return kExitFailed;
        }
        analytics::ScorecardRequest request;
        request.input = calculation.Input();
        request.from = from;
        request.to = to;
        request.all_contracts = contracts == "all";
        // The forwards come from the volatility store, brought in line first as `vol --history`
        // does; without it they are fitted from the rows.
        const auto summaries =
            analytics::LoadVolatilityDays(ctx.home, symbol, VolatilityStoreProgress(ctx, symbol),
                                          nullptr, analytics::StoredSmiles::kRead);
        // Years of rows in one pass: on a connection of this thread alone, the file mapped.
        const storage::Database scan =
            storage::Database::OpenReadOnlyForScan(storage::QuotePath(ctx.home, symbol));
        const storage::Database& quotes = scan.IsOpen() ? scan : calculation.Quotes();
        common::Result<analytics::Scorecard> card = analytics::ComputeScorecard(
            quotes, request, summaries ? summaries->days : kNoSummaries);
        if (FileFailed(ctx, symbol, quotes.FaultText())) {
            return kExitFailed;
        }
        if (!card) {
            *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string() << ": "
                     << card.Reason() << '\n';
            return kExitFailed;
        }
        cards.push_back(std::move(card).Value());
    }
    if (args.Has("csv")) {
        *ctx.out << LevelsCsv(cards);
        return kExitDone;
    }
    JsonWriter json;
    if (cards.size() == 1 && args.Has("symbol")) {
        WriteScorecard(json, cards.front());
    } else {
        json.BeginArray();
        for (const analytics::Scorecard& card : cards) {
            WriteScorecard(json, card);
        }
        json.EndArray();
    }
    *ctx.out << json.Text() << '\n';
    return kExitDone;
}

}  // namespace zarvex::cli
