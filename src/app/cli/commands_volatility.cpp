#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "analytics/board/symbol_rows.h"
#include "analytics/forward_points.h"
#include "analytics/history/history_table.h"
#include "analytics/volatility/density.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/term_structure.h"
#include "analytics/volatility/volatility_summary.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/density_output.h"
#include "app/cli/json_writer.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

using analytics::ContractVolatility;
using analytics::SideVolatility;
using analytics::VolatilityPoint;

std::string_view StatusKey(analytics::VolatilityStatus status) {
    switch (status) {
        case analytics::VolatilityStatus::kReady:
            return "ready";
        case analytics::VolatilityStatus::kNoRows:
            return "no_rows";
        case analytics::VolatilityStatus::kExpired:
            return "expired";
        case analytics::VolatilityStatus::kNoForward:
            return "no_forward";
    }
    return "";
}

// How the prices among the figures are shown: the left panel's price type and forward point.
struct Shown {
    std::string symbol;
    common::PriceType price_type = common::PriceType::kFutures;
    double forward_point = 0.0;

    std::string Price(double futures_price) const {
        return analytics::ShownPrice(futures_price, symbol, forward_point, price_type);
    }
};

std::string Exact(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) {
        return "";
    }
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), *value);
    return std::string(text, result.ptr);
}

void WriteSide(JsonWriter& json, const analytics::ChainSide& quote, const SideVolatility& side) {
    if (!quote.present) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("premium").Number(quote.price);
    json.Key("vol").Optional(side.vol);
    if (side.vol) {
        json.Key("reason").Null();
    } else {
        json.Key("reason").String(analytics::NoVolReasonKey(side.reason));
    }
    const auto greek = [&](double analytics::black76::Greeks::*member) {
        return side.greeks ? std::optional<double>((*side.greeks).*member) : std::nullopt;
    };
    json.Key("delta").Optional(greek(&analytics::black76::Greeks::delta));
    json.Key("gamma").Optional(greek(&analytics::black76::Greeks::gamma));
    json.Key("vega").Optional(greek(&analytics::black76::Greeks::vega));
    json.Key("theta").Optional(greek(&analytics::black76::Greeks::theta));
    json.Key("report_delta").Number(quote.report_delta);
    json.EndObject();
}

void WriteFigures(JsonWriter& json, const ContractVolatility& figures, const Shown& shown) {
    const bool ready = figures.status == analytics::VolatilityStatus::kReady;
    json.Key("status").String(StatusKey(figures.status));
    json.Key("days").Int(figures.days);
    json.Key("years").Number(figures.years);
    json.Key("forward").Optional(ready ? std::optional<double>(figures.forward) : std::nullopt);
    json.Key("forward_price").String(ready ? shown.Price(figures.forward) : "");
    json.Key("discount").Optional(ready ? std::optional<double>(figures.discount) : std::nullopt);
    json.Key("parity_fit").Bool(figures.parity_fitted);
    json.Key("atm_vol").Optional(figures.atm_vol);
    json.Key("rr25").Optional(figures.rr25);
    json.Key("bf25").Optional(figures.bf25);
    json.Key("expected_move").Optional(figures.expected_move);
}

std::string VolJson(const std::string& date, const std::string& contract,
                    const std::string& expiration, const ContractVolatility& figures,
                    const Shown& shown) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(shown.symbol);
    json.Key("date").String(date);
    json.Key("contract").String(contract);
    json.Key("expiration").String(expiration);
    WriteFigures(json, figures, shown);
    json.Key("bands").BeginArray();
    if (figures.expected_move) {
        for (const double band : figures.bands) {
            json.Number(band);
        }
    }
    json.EndArray();
    json.Key("band_prices").BeginArray();
    if (figures.expected_move) {
        for (const double band : figures.bands) {
            json.String(shown.Price(band));
        }
    }
    json.EndArray();
    const analytics::MissingVolCounts missing = analytics::CountMissing(figures);
    json.Key("missing").BeginObject();
    json.Key("no_row").Int(missing.no_row);
    json.Key("no_premium").Int(missing.no_premium);
    json.Key("not_above_intrinsic").Int(missing.not_above_intrinsic);
    json.Key("no_fit").Int(missing.no_fit);
    json.EndObject();
    json.Key("points").BeginArray();
    for (const VolatilityPoint& point : figures.points) {
        json.BeginObject();
        json.Key("strike").Number(point.quote.strike);
        json.Key("call");
        WriteSide(json, point.quote.call, point.call);
        json.Key("put");
        WriteSide(json, point.quote.put, point.put);
        json.Key("smile_vol").Optional(point.smile_vol);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += (i > 0 ? "," : "") + analytics::CsvField(cells[i]);
    }
    out += "\r\n";
}

void AddSideCells(std::vector<std::string>& cells, const analytics::ChainSide& quote,
                  const SideVolatility& side) {
    if (!quote.present) {
        cells.insert(cells.end(), 8, "");
        return;
    }
    const auto greeks = side.greeks.value_or(analytics::black76::Greeks());
    const bool with = side.greeks.has_value();
    cells.push_back(Exact(quote.price));
    cells.push_back(Exact(side.vol));
    cells.push_back(side.vol ? "" : std::string(analytics::NoVolReasonKey(side.reason)));
    cells.push_back(with ? Exact(greeks.delta) : "");
    cells.push_back(with ? Exact(greeks.gamma) : "");
    cells.push_back(with ? Exact(greeks.vega) : "");
    cells.push_back(with ? Exact(greeks.theta) : "");
    cells.push_back(Exact(quote.report_delta));
}

std::string PointsCsv(const ContractVolatility& figures) {
    std::string out;
    std::vector<std::string> header{"strike"};
    for (const char* side : {"call", "put"}) {
        for (const char* column :
             {"premium", "vol", "reason", "delta", "gamma", "vega", "theta", "report_delta"}) {
            header.push_back(std::string(side) + "_" + column);
        }
    }
    header.push_back("smile_vol");
    AppendCsvLine(out, header);
    for (const VolatilityPoint& point : figures.points) {
        std::vector<std::string> cells{Exact(point.quote.strike)};
        AddSideCells(cells, point.quote.call, point.call);
        AddSideCells(cells, point.quote.put, point.put);
        cells.push_back(Exact(point.smile_vol));
        AppendCsvLine(out, cells);
    }
    return out;
}

using TermRow = analytics::TermContract;

std::string TermJson(const std::string& date, const std::vector<TermRow>& rows,
                     const Shown& shown) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(shown.symbol);
    json.Key("date").String(date);
    json.Key("contracts").BeginArray();
    for (const TermRow& row : rows) {
        json.BeginObject();
        json.Key("contract").String(row.contract);
        json.Key("expiration").String(row.expiration);
        WriteFigures(json, row.figures, shown);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

std::string TermCsv(const std::vector<TermRow>& rows, const Shown& shown) {
    std::string out;
    AppendCsvLine(out, {"contract", "expiration", "status", "days", "years", "forward",
                        "forward_price", "discount", "atm_vol", "rr25", "bf25", "expected_move"});
    for (const TermRow& row : rows) {
        const ContractVolatility& f = row.figures;
        const bool ready = f.status == analytics::VolatilityStatus::kReady;
        AppendCsvLine(out,
                      {row.contract, row.expiration, std::string(StatusKey(f.status)),
                       std::to_string(f.days), Exact(f.years), ready ? Exact(f.forward) : "",
                       ready ? shown.Price(f.forward) : "", ready ? Exact(f.discount) : "",
                       Exact(f.atm_vol), Exact(f.rr25), Exact(f.bf25), Exact(f.expected_move)});
    }
    return out;
}

}  // namespace

// What the day's settlement premiums imply: forward, discount, implied volatility per row,
// the smile and its figures for one contract, or the term structure of every contract.
int CmdVol(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "contract", "price-type", "fp", "from", "to"},
                         {"csv", "term", "density", "history", "cone"});
    RefusePositional(args);
    Shown shown;
    shown.symbol = RequiredSymbol(args);
    if (args.Has("history") || args.Has("cone")) {
        return VolAcrossDays(ctx, args, shown.symbol);
    }
    if (args.Has("from") || args.Has("to")) {
        throw UsageError("--from and --to go with --history");
    }
    const std::optional<common::Date> given = args.DayText("date");
    const bool term = args.Has("term");
    const std::optional<std::string> contract =
        term ? args.Get("contract") : std::optional<std::string>(args.Required("contract"));
    if (term && contract) {
        throw UsageError("--term takes every contract of the day: leave out --contract");
    }
    if (term && args.Has("density")) {
        throw UsageError("--density is of one contract: give --contract instead of --term");
    }
    const std::optional<int> price_type = args.IntInRange("price-type", 0, 2);
    const std::optional<int> fp = args.IntInRange("fp", 0, 1);

    Calculation calculation(ctx, shown.symbol);
    const settings::Settings& settings = calculation.Values();
    shown.price_type = common::PriceTypeFromCode(
        static_cast<std::int8_t>(price_type.value_or(settings.price_type)));
    common::Date day = given.value_or(common::kInvalidDate);
    if (!given) {
        // As indicators does: the latest stored day, searching back from today.
        if (!calculation.OpenQuoteDatabase()) {
            return kExitFailed;
        }
        analytics::SymbolRows stored;
        if (stored.Scan(calculation.Quotes())) {
            day = stored.LatestUpTo(ctx.today);
        }
        if (day == common::kInvalidDate) {
            *ctx.err << "zarvex-cli: " << shown.symbol << ": no stored day\n";
            return kExitFailed;
        }
    }
    shown.forward_point = analytics::ResolveForwardPoint(
        ctx.home, day, shown.symbol, fp.value_or(settings.is_fp), calculation.Quiet());
    if (given && !calculation.OpenQuoteDatabase()) {
        return kExitFailed;
    }
    const storage::Database& db = calculation.Quotes();
    const std::string date = common::DayText(day);
    const auto unreadable = [&] {
        *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, shown.symbol).string()
                 << ": the quote rows cannot be read\n";
        return kExitFailed;
    };

    if (!term) {
        const common::Result<analytics::OptionChain> chain =
            analytics::ReadOptionChain(db, shown.symbol, date, *contract);
        if (!chain) {
            return unreadable();
        }
        const ContractVolatility figures = analytics::VolatilityOfChain(*chain, day);
        if (args.Has("density")) {
            const analytics::SettlementDensity density =
                analytics::DensityOf(analytics::SmileProbability(figures));
            *ctx.out << (args.Has("csv") ? DensityCsv(density) : DensityJson(density) + '\n');
            return kExitDone;
        }
        *ctx.out << (args.Has("csv")
                         ? PointsCsv(figures)
                         : VolJson(date, *contract, chain->expiration, figures, shown) + '\n');
        return kExitDone;
    }

    const auto rows = analytics::TermOfDay(db, shown.symbol, date);
    if (!rows) {
        return unreadable();
    }
    *ctx.out << (args.Has("csv") ? TermCsv(*rows, shown) : TermJson(date, *rows, shown) + '\n');
    return kExitDone;
}

}  // namespace zarvex::cli
