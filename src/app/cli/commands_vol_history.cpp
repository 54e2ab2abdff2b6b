#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "analytics/history/history_table.h"
#include "analytics/volatility/vol_cone.h"
#include "analytics/volatility/vol_history.h"
#include "analytics/volatility/volatility_store.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/json_writer.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

using analytics::VolHistoryDay;

std::string Exact(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) {
        return "";
    }
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), *value);
    return std::string(text, result.ptr);
}

// The columns of a history day, in the order the JSON and the CSV give them.
struct Column {
    const char* name;
    std::optional<double> (*value)(const VolHistoryDay&);
};

template <std::size_t K>
std::optional<double> CmAt(const VolHistoryDay& day) {
    return day.cm[K];
}

constexpr Column kFigures[] = {
    {"cm7", &CmAt<0>},
    {"cm14", &CmAt<1>},
    {"cm30", &CmAt<2>},
    {"cm60", &CmAt<3>},
    {"cm90", &CmAt<4>},
    {"rr25_30", [](const VolHistoryDay& d) { return d.rr25_30; }},
    {"bf25_30", [](const VolHistoryDay& d) { return d.bf25_30; }},
    {"iv_rank", [](const VolHistoryDay& d) { return d.iv_rank; }},
    {"iv_percentile", [](const VolHistoryDay& d) { return d.iv_percentile; }},
};
constexpr Column kFutures[] = {
    {"futures", [](const VolHistoryDay& d) { return d.futures; }},
    {"return", [](const VolHistoryDay& d) { return d.log_return; }},
    {"rv20", [](const VolHistoryDay& d) { return d.rv20; }},
    {"rv60", [](const VolHistoryDay& d) { return d.rv60; }},
    {"vrp20", [](const VolHistoryDay& d) { return d.vrp20; }},
};

std::string HistoryJson(const std::string& symbol, const std::vector<VolHistoryDay>& days) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(symbol);
    json.Key("days").BeginArray();
    for (const VolHistoryDay& day : days) {
        json.BeginObject();
        json.Key("date").String(common::DayText(day.date));
        for (const Column& column : kFigures) {
            json.Key(column.name).Optional(column.value(day));
        }
        json.Key("futures_contract");
        if (day.futures_contract.empty()) {
            json.Null();
        } else {
            json.String(day.futures_contract);
        }
        for (const Column& column : kFutures) {
            json.Key(column.name).Optional(column.value(day));
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + '\n';
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += (i > 0 ? "," : "") + analytics::CsvField(cells[i]);
    }
    out += "\r\n";
}

std::string HistoryCsv(const std::vector<VolHistoryDay>& days) {
    std::vector<std::string> header{"date"};
    for (const Column& column : kFigures) {
        header.emplace_back(column.name);
    }
    header.emplace_back("futures_contract");
    for (const Column& column : kFutures) {
        header.emplace_back(column.name);
    }
    std::string out;
    AppendCsvLine(out, header);
    for (const VolHistoryDay& day : days) {
        std::vector<std::string> cells{common::DayText(day.date)};
        for (const Column& column : kFigures) {
            cells.push_back(Exact(column.value(day)));
        }
        cells.push_back(day.futures_contract);
        for (const Column& column : kFutures) {
            cells.push_back(Exact(column.value(day)));
        }
        AppendCsvLine(out, cells);
    }
    return out;
}

std::string ConeJson(const std::string& symbol, common::Date date,
                     const std::vector<analytics::ConeTenor>& cone) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(symbol);
    json.Key("date").String(common::DayText(date));
    json.Key("tenors").BeginArray();
    for (const analytics::ConeTenor& tenor : cone) {
        json.BeginObject();
        json.Key("days").Int(tenor.days);
        json.Key("count").Int(static_cast<std::int64_t>(tenor.count));
        json.Key("min").Optional(tenor.min);
        json.Key("p10").Optional(tenor.p10);
        json.Key("p25").Optional(tenor.p25);
        json.Key("p50").Optional(tenor.p50);
        json.Key("p75").Optional(tenor.p75);
        json.Key("p90").Optional(tenor.p90);
        json.Key("max").Optional(tenor.max);
        json.Key("today").Optional(tenor.today);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + '\n';
}

}  // namespace

// The volatility across the symbol's stored days: every day's figures, or the cones of one.
int VolAcrossDays(Context& ctx, const Arguments& args, const std::string& symbol) {
    const bool history = args.Has("history");
    if (history && args.Has("cone")) {
        throw UsageError("--history and --cone go one at a time");
    }
    if (args.Has("contract") || args.Has("term") || args.Has("price-type") || args.Has("fp")) {
        throw UsageError(std::string(history ? "--history" : "--cone") +
                         " takes no --contract, --term, --price-type or --fp");
    }
    if (history && args.Has("date")) {
        throw UsageError("--history takes --from and --to, not --date");
    }
    if (!history && (args.Has("from") || args.Has("to") || args.Has("csv"))) {
        throw UsageError("--cone takes --date, not --from, --to or --csv");
    }
    const std::optional<common::Date> from = args.DayText("from");
    const std::optional<common::Date> to = args.DayText("to");
    const std::optional<common::Date> date = args.DayText("date");

    std::ostream* progress = ctx.Progress();
    const auto days =
        analytics::LoadVolatilityDays(ctx.home, symbol, VolatilityStoreProgress(ctx, symbol));
    if (!days) {
        *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string()
                 << ": the quote rows cannot be read\n";
        return kExitFailed;
    }
    if (!days->stored && progress) {
        *progress << "zarvex-cli: " << analytics::VolatilityStorePath(ctx.home, symbol).string()
                  << ": cannot be written; the volatility was computed in memory\n";
    }
    const std::vector<VolHistoryDay> figures = analytics::VolHistory(days->days);
    if (history) {
        std::vector<VolHistoryDay> shown;
        for (const VolHistoryDay& day : figures) {
            if ((!from || day.date >= *from) && (!to || day.date <= *to)) {
                shown.push_back(day);
            }
        }
        *ctx.out << (args.Has("csv") ? HistoryCsv(shown) : HistoryJson(symbol, shown));
        return kExitDone;
    }
    common::Date day = common::kInvalidDate;
    if (date) {
        day = *date;
    } else {
        for (const VolHistoryDay& stored : figures) {
            if (stored.date <= ctx.today) {
                day = stored.date;
            }
        }
        if (day == common::kInvalidDate) {
            *ctx.err << "zarvex-cli: " << symbol << ": no stored day\n";
            return kExitFailed;
        }
    }
    *ctx.out << ConeJson(symbol, day, analytics::VolConeOn(figures, day));
    return kExitDone;
}

}  // namespace zarvex::cli
