#include <array>
#include <optional>
#include <stdexcept>
#include <string>

#include "analytics/left_panel/left_panel_model.h"
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/json_writer.h"
#include "common/clock.h"
#include "common/plain_host.h"
#include "settings/settings_record.h"
#include "shell/text_table.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

constexpr std::array<std::string_view, 6> kSymbols{"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};

std::string RequiredSymbol(const Arguments& args) {
    const std::string symbol = args.Required("symbol");
    for (std::string_view known : kSymbols) {
        if (symbol == known) {
            return symbol;
        }
    }
    throw UsageError("--symbol must be one of EUR, GBP, AUD, CAD, JPY, CHF: " + symbol);
}

void NoPositional(const Arguments& args) {
    if (!args.Positional().empty()) {
        throw UsageError("unexpected argument " + args.Positional().front());
    }
}

// The instrument's settings as the desktop program would load them, without creating or
// changing the configuration file: its row when the file holds one, the defaults of a first
// start when there is no file.
settings::SettingsRecord LoadSettingsReadOnly(const Context& ctx, const std::string& symbol) {
    settings::SettingsRecord record(symbol, ctx.home);
    record.OpenSettingsReadOnly(storage::ConfigurationPath(ctx.home, symbol));
    return record;
}

shell::TextTable TextsFor(const Context& ctx) {
    return shell::TextTable(ctx.lang == "rus" ? shell::Language::kRussian
                                              : shell::Language::kEnglish);
}

// "Today" of the command line: the --today option or the computer's date.
class TodayClock final : public common::Clock {
public:
    explicit TodayClock(common::Date today) : today_(today) {}
    common::Date Now() const override { return today_; }
    void SleepFor(std::chrono::milliseconds) override {}

private:
    common::Date today_;
};

void WriteShownColumn(JsonWriter& json, const analytics::PanelTableColumn& column) {
    json.BeginArray();
    for (const std::string& cell : column) {
        if (!cell.empty()) {
            json.String(cell);
        }
    }
    json.EndArray();
}

std::string IndicatorsJson(const analytics::LeftPanelModel& panel) {
    const analytics::DayContext& day = panel.Context();
    const analytics::LeftPanelCells& cells = panel.Cells();
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(day.symbol);
    json.Key("date").String(day.date);
    json.Key("contract").String(day.contract);
    json.Key("contracts").StringArray(panel.Contracts());
    json.Key("forward_point").Number(day.forward_point);
    json.Key("expiration").String(cells.expiration);
    json.Key("call_level").String(cells.call_level);
    json.Key("put_level").String(cells.put_level);
    json.Key("width_market").String(cells.width_market);
    json.Key("delta_balance").String(cells.delta_balance);
    json.Key("upper_limit").String(cells.upper_limit);
    json.Key("upper_border").String(cells.upper_border);
    json.Key("channel_center").String(cells.channel_center);
    json.Key("bottom_border").String(cells.bottom_border);
    json.Key("bottom_limit").String(cells.bottom_limit);
    json.Key("upper_border_strike").Int(day.upper_border_strike);
    json.Key("bottom_border_strike").Int(day.bottom_border_strike);
    json.Key("upper_limit_strike").Int(day.upper_limit_strike);
    json.Key("bottom_limit_strike").Int(day.bottom_limit_strike);
    json.Key("ratio_oi").String(cells.ratio_oi);
    json.Key("ratio_volume").String(cells.ratio_volume);
    json.Key("ratio_avg_price").String(cells.ratio_avg_price);
    json.Key("levels").BeginObject();
    json.Key("call");
    WriteShownColumn(json, cells.level_call);
    json.Key("put");
    WriteShownColumn(json, cells.level_put);
    json.EndObject();
    json.Key("fractals").BeginObject();
    json.Key("call");
    WriteShownColumn(json, cells.fractal_call);
    json.Key("put");
    WriteShownColumn(json, cells.fractal_put);
    json.EndObject();
    json.EndObject();
    return json.Text();
}

}  // namespace

// The left panel of one instrument, as the desktop program would show it after its build,
// the given choices of day and contract, and a computation of the fractals.
int CmdIndicators(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "contract", "price-type", "fp", "level-cond",
                                 "fractal-main", "fractal-near"});
    NoPositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> date = args.DayText("date");
    const std::optional<std::string> contract = args.Get("contract");
    const std::optional<int> price_type = args.IntInRange("price-type", 0, 2);
    const std::optional<int> fp = args.IntInRange("fp", 0, 1);

    const settings::SettingsRecord record = LoadSettingsReadOnly(ctx, symbol);
    analytics::LeftPanelSetup setup;
    setup.database_file = storage::QuotePath(ctx.home, symbol);
    setup.price_type = price_type.value_or(record.PriceType());
    setup.level_cond = args.Get("level-cond").value_or(record.LevelCond());
    setup.fractal_main_cond = args.Get("fractal-main").value_or(record.FractalMainCond());
    setup.fractal_near_cond = args.Get("fractal-near").value_or(record.FractalNearCond());
    setup.fp_switch = fp.value_or(record.IsFP());
    setup.read_only = true;

    const shell::TextTable texts = TextsFor(ctx);
    common::PlainHost plain(ctx.err);
    const TodayClock clock(ctx.today);
    analytics::LeftPanelModel panel({plain.AsHost(&texts), ctx.home, &clock});
    panel.Build(setup);
    if (date) {
        panel.DateChanged(*date);
    }
    if (contract) {
        panel.ContractChanged(*contract);
    }
    panel.ComputeSignificantFractals();
    panel.FillTables();

    *ctx.out << IndicatorsJson(panel) << '\n';
    return panel.HasDay() ? kExitDone : kExitFailed;
}

// Placeholder until this group of commands is built; replaced by its owner.
int CmdHistogram(Context&, const Words&) {
    throw std::runtime_error("not built yet");
}
int CmdTables(Context&, const Words&) {
    throw std::runtime_error("not built yet");
}

}  // namespace zarvex::cli
