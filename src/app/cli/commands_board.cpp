#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analytics/board/alert_check.h"
#include "analytics/board/board.h"
#include "analytics/board/board_files.h"
#include "analytics/board/oi_map.h"
#include "analytics/history/history_table.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/figure_json.h"
#include "app/cli/json_writer.h"
#include "common/config_folder.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "common/text.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

// The status of `alerts` when some rule fired, for scripts that act on it.
constexpr int kExitAlertsFired = 3;

std::string DateOrEmpty(common::Date day) {
    return day == common::kInvalidDate ? "" : common::DayText(day);
}

void OptionalNumber(JsonWriter& json, const std::optional<double>& value) {
    if (value) {
        json.Number(*value);
    } else {
        json.Null();
    }
}

// The board's figures of a day: those it compares first, then the strikes behind its prices.
const std::vector<analytics::FigureId>& BoardJsonFigures() {
    using namespace analytics::figure_output;
    static const std::vector<analytics::FigureId> figures = [] {
        std::vector<analytics::FigureId> ids;
        for (const analytics::FigureId id : analytics::FiguresIn(kBoard | kCompared)) {
            if (analytics::Figure(id).board_tail == 0) {
                ids.push_back(id);
            }
        }
        for (const analytics::FigureId id :
             analytics::FiguresByPosition(&analytics::FigureEntry::board_tail)) {
            ids.push_back(id);
        }
        return ids;
    }();
    return figures;
}

void Figures(JsonWriter& json, const analytics::ContractDayFigures& day) {
    FiguresJson(json, BoardJsonFigures(), day.values);
}

void Contract(JsonWriter& json, const analytics::BoardContract& contract) {
    json.BeginObject();
    json.Key("contract").String(contract.contract);
    json.Key("expiration").String(contract.expiration);
    json.Key("days_to_expiry");
    if (contract.days_to_expiry) {
        json.Int(*contract.days_to_expiry);
    } else {
        json.Null();
    }
    json.Key("front").Bool(contract.front);
    Figures(json, contract.today);
    json.Key("change").BeginObject();
    for (const analytics::FigureId figure :
         analytics::FiguresIn(analytics::figure_output::kCompared)) {
        json.Key(analytics::Figure(figure).key);
        OptionalNumber(json, contract.ChangeOf(figure));
    }
    json.EndObject();
    json.Key("previous");
    if (contract.previous) {
        json.BeginObject();
        Figures(json, *contract.previous);
        json.EndObject();
    } else {
        json.Null();
    }
    json.EndObject();
}

void Changes(JsonWriter& json, const std::vector<analytics::OiChange>& changes) {
    json.BeginArray();
    for (const analytics::OiChange& change : changes) {
        json.BeginObject();
        json.Key("contract").String(change.contract);
        json.Key("strike").Number(change.strike);
        json.Key("oi").Int(change.oi);
        json.Key("previous_oi").Int(change.previous_oi);
        json.Key("change").Int(change.Change());
        json.EndObject();
    }
    json.EndArray();
}

void SymbolJson(JsonWriter& json, const analytics::SymbolBoard& board) {
    json.BeginObject();
    json.Key("symbol").String(board.symbol);
    json.Key("date").String(DateOrEmpty(board.date));
    json.Key("previous_date").String(DateOrEmpty(board.previous));
    if (!board.read.IsDone()) {
        json.Key("error").String(board.read.Reason());
    }
    json.Key("contracts").BeginArray();
    for (const analytics::BoardContract& contract : board.contracts) {
        Contract(json, contract);
    }
    json.EndArray();
    CallPutObject(json, "build_ups", board.call_build_ups, board.put_build_ups, Changes);
    CallPutObject(json, "unwinds", board.call_unwinds, board.put_unwinds, Changes);
    json.Key("volume_to_oi").BeginArray();
    for (const analytics::VolumeLeader& leader : board.volume_to_oi) {
        json.BeginObject();
        json.Key("contract").String(leader.contract);
        json.Key("option").String(common::SideText(leader.side));
        json.Key("strike").Number(leader.strike);
        json.Key("volume").Int(leader.volume);
        json.Key("oi").Int(leader.oi);
        json.Key("ratio").Number(leader.ratio);
        json.EndObject();
    }
    json.EndArray();
    // The volatility across days, after what the board always gave.
    for (std::size_t i = 0; i < analytics::kBoardVolatilityKeys.size(); ++i) {
        const std::string key(analytics::kBoardVolatilityKeys[i]);
        json.Key(key).Optional(board.volatility ? board.volatility->today.values[i] : std::nullopt);
        json.Key(key + "_change")
            .Optional(board.volatility ? board.volatility->ChangeOf(i) : std::nullopt);
    }
    json.EndObject();
}

// The settings records of the symbols asked for, loaded first: the board's sources refer to
// their settings, so the records must stay where they are while the board is built.
std::vector<settings::SettingsRecord> Records(const Context& ctx,
                                              const std::vector<std::string>& symbols) {
    std::vector<settings::SettingsRecord> records;
    for (const std::string& symbol : symbols) {
        records.push_back(LoadSettingsReadOnly(ctx, symbol));
    }
    return records;
}

// The quote databases and settings of the symbols; `records` must outlive the sources.
std::vector<analytics::BoardSource> Sources(const Context& ctx,
                                            const std::vector<settings::SettingsRecord>& records) {
    std::vector<analytics::BoardSource> sources;
    for (const settings::SettingsRecord& record : records) {
        sources.push_back({analytics::AnalysisInput(record.Values(), record.Symbol()),
                           storage::QuotePath(ctx.home, record.Symbol())});
    }
    return sources;
}

std::vector<std::string> AskedSymbols(const Arguments& args) {
    if (args.Has("symbol")) {
        return {RequiredSymbol(args)};
    }
    return {common::kSymbols.begin(), common::kSymbols.end()};
}

struct BoardRun {
    analytics::Board board;
    bool any_failed = false;
};

BoardRun RunBoard(Context& ctx, const Arguments& args, const std::vector<std::string>& symbols,
                  const analytics::BoardOptions& options) {
    const std::optional<common::Date> date = args.DayText("date");
    const std::vector<settings::SettingsRecord> records = Records(ctx, symbols);
    const std::vector<analytics::BoardSource> sources = Sources(ctx, records);
    common::PlainHost plain(ctx.err);
    BoardRun run;
    run.board = analytics::BuildBoard(sources, date.value_or(common::kInvalidDate), ctx.today,
                                      options, ctx.home, plain.AsHost());
    for (const analytics::SymbolBoard& symbol : run.board.symbols) {
        if (!symbol.read.IsDone()) {
            *ctx.err << "zarvex-cli: " << symbol.symbol << ": " << symbol.read.Reason() << '\n';
            run.any_failed = true;
        }
    }
    return run;
}

}  // namespace

// Every symbol's contracts on a day against the previous trading day with data, with the
// largest changes of open interest.
int CmdBoard(Context& ctx, const Words& words) {
    const Arguments args(words, {"date", "symbol", "top", "floor"});
    RefusePositional(args);
    analytics::BoardOptions options;
    options.top = args.IntInRange("top", 1, 1000).value_or(options.top);
    if (const auto floor = args.Get("floor")) {
        const std::optional<std::int64_t> value = PlainInteger(*floor, false);
        if (!value || *value < 0) {
            throw UsageError("--floor must be a whole number of 0 or more: " +
                             common::Capped(*floor));
        }
        options.volume_floor = *value;
    }
    const BoardRun run = RunBoard(ctx, args, AskedSymbols(args), options);
    JsonWriter json;
    json.BeginObject();
    json.Key("date").String(DateOrEmpty(run.board.date));
    json.Key("symbols").BeginArray();
    for (const analytics::SymbolBoard& symbol : run.board.symbols) {
        SymbolJson(json, symbol);
    }
    json.EndArray();
    json.EndObject();
    *ctx.out << json.Text() << '\n';
    if (run.board.date == common::kInvalidDate) {
        *ctx.err << "zarvex-cli: no stored day up to " << common::DayText(ctx.today) << '\n';
        return kExitFailed;
    }
    return run.any_failed ? kExitFailed : kExitDone;
}

namespace {

std::string MapCsv(const analytics::OiMap& map) {
    std::string out = "strike";
    for (const std::string& contract : map.contracts) {
        out += "," + analytics::CsvField(contract);
    }
    out += ",sum\r\n";
    for (std::size_t row = 0; row < map.strikes.size(); ++row) {
        out += common::FormatShort(map.strikes[row]);
        for (const std::int64_t cell : map.cells[row]) {
            out += "," + std::to_string(cell);
        }
        out += "," + std::to_string(map.sums[row]) + "\r\n";
    }
    return out;
}

std::string MapJson(const analytics::OiMap& map) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(map.symbol);
    json.Key("date").String(DateOrEmpty(map.date));
    json.Key("change").Int(map.change);
    json.Key("compare_date").String(DateOrEmpty(map.compare_date));
    json.Key("contracts").StringArray(map.contracts);
    json.Key("expirations").StringArray(map.expirations);
    json.Key("strikes").NumberArray(map.strikes);
    json.Key("cells").BeginArray();
    for (const std::vector<std::int64_t>& row : map.cells) {
        json.BeginArray();
        for (const std::int64_t cell : row) {
            json.Int(cell);
        }
        json.EndArray();
    }
    json.EndArray();
    json.Key("sums").BeginArray();
    for (const std::int64_t sum : map.sums) {
        json.Int(sum);
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

}  // namespace

// One symbol's open interest as a grid of strike x contract.
int CmdOiMap(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "change"}, {"csv"});
    RefusePositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> date = args.DayText("date");
    const std::optional<int> change = args.IntInRange("change", 0, 5);
    if (change && *change != 0 && *change != 1 && *change != 5) {
        throw UsageError("--change must be 0, 1 or 5: " + std::to_string(*change));
    }
    const auto path = storage::QuotePath(ctx.home, symbol);
    const storage::Database db = storage::Database::OpenReadOnlyForScan(path);
    analytics::SymbolRows rows;
    if (!rows.Scan(db)) {
        *ctx.err << "zarvex-cli: " << path.string() << ": "
                 << (db.IsOpen() ? "the quote rows cannot be read" : db.OpenError()) << '\n';
        return kExitFailed;
    }
    const common::Date day = date ? *date : rows.LatestUpTo(ctx.today);
    const common::Result<analytics::OiMap> map =
        analytics::BuildOiMap(rows, db, symbol, day, change.value_or(0));
    if (!map) {
        *ctx.err << "zarvex-cli: " << path.string() << ": " << map.Reason() << '\n';
        return kExitFailed;
    }
    *ctx.out << (args.Has("csv") ? MapCsv(*map) : MapJson(*map) + '\n');
    if (day == common::kInvalidDate) {
        *ctx.err << "zarvex-cli: " << symbol << ": no stored day up to "
                 << common::DayText(ctx.today) << '\n';
        return kExitFailed;
    }
    return kExitDone;
}

// The alert rules of the user's configuration folder, checked on the board of a day.
int CmdAlerts(Context& ctx, const Words& words) {
    const Arguments args(words, {"date"});
    RefusePositional(args);
    const auto path = analytics::AlertRulesPath(common::UserConfigFolder());
    const analytics::AlertRuleFile file = analytics::ReadAlertRuleFile(path);
    if (!file.error.empty()) {
        *ctx.err << "zarvex-cli: " << file.error << '\n';
        return kExitFailed;
    }
    for (const analytics::AlertRuleError& error : file.rules.errors) {
        *ctx.err << "zarvex-cli: " << path.string() << ": " << error.message << '\n';
    }
    // Only the symbols the rules name are read.
    std::vector<std::string> symbols;
    for (const std::string_view symbol : common::kSymbols) {
        for (const analytics::AlertRule& rule : file.rules.rules) {
            if (rule.symbol == symbol) {
                symbols.emplace_back(symbol);
                break;
            }
        }
    }
    const BoardRun run = RunBoard(ctx, args, symbols, {});
    if (!symbols.empty() && run.board.date == common::kInvalidDate) {
        *ctx.err << "zarvex-cli: no stored day up to " << common::DayText(ctx.today) << '\n';
        return kExitFailed;
    }
    const std::vector<analytics::FiredAlert> fired =
        analytics::EvaluateAlerts(file.rules.rules, run.board);
    for (const std::string& line : analytics::UnmatchedRules(file.rules.rules, run.board)) {
        *ctx.err << "zarvex-cli: warning: " << path.string() << ": " << line << '\n';
    }
    JsonWriter json;
    json.BeginObject();
    json.Key("date").String(DateOrEmpty(run.board.date));
    json.Key("rules").Int(static_cast<std::int64_t>(file.rules.rules.size()));
    json.Key("broken_lines").BeginArray();
    for (const analytics::AlertRuleError& error : file.rules.errors) {
        json.Int(error.line);
    }
    json.EndArray();
    json.Key("fired").BeginArray();
    for (const analytics::FiredAlert& alert : fired) {
        json.BeginObject();
        json.Key("line").Int(alert.rule.line);
        json.Key("rule").String(alert.rule.text);
        json.Key("symbol").String(alert.rule.symbol);
        json.Key("contract").String(alert.contract);
        json.Key("figure").String(analytics::Figure(alert.rule.figure).key);
        json.Key("test").String(analytics::AlertTestWord(alert.rule.test));
        json.Key("value").Number(alert.rule.value);
        json.Key("percent").Bool(alert.rule.percent);
        json.Key("today").String(alert.today);
        json.Key("previous").String(alert.previous);
        json.Key("message").String(alert.message);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    *ctx.out << json.Text() << '\n';
    if (run.any_failed) {
        return kExitFailed;
    }
    return fired.empty() ? kExitDone : kExitAlertsFired;
}

}  // namespace zarvex::cli
