#include <array>
#include <optional>
#include <stdexcept>
#include <string>

#include "analytics/history/compare_histogram.h"
#include "analytics/left_panel/day_slice.h"
#include "analytics/left_panel/left_panel_model.h"
#include "analytics/right_panel/histogram_build.h"
#include "analytics/right_panel/histogram_kinds.h"
#include "analytics/right_panel/option_tables.h"
#include "analytics/right_panel/right_panel_day.h"
#include "analytics/right_panel/right_panel_texts.h"
#include "analytics/volatility/shown_prices.h"
#include "analytics/volatility/volatility_summary.h"
#include "app/cli/analytics_support.h"
#include "app/cli/arguments.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/figure_json.h"
#include "app/cli/json_writer.h"
#include "common/clock.h"
#include "common/plain_host.h"
#include "common/symbols.h"
#include "common/text.h"
#include "common/text_table.h"
#include "settings/settings_record.h"
#include "storage/store.h"
#if ZARVEX_HAS_CHART
#include "ui/chart/histogram_png.h"
#endif

namespace zarvex::cli {

namespace {

void WriteShownColumn(JsonWriter& json, const analytics::PanelTableColumn& column) {
    json.BeginArray();
    for (const std::string& cell : column) {
        if (!cell.empty()) {
            json.String(cell);
        }
    }
    json.EndArray();
}

// What `indicators` prints of the shown day: the panel's figures, max pain, and what the day's
// premiums say about the contract (its ATM volatility, expected move and the chances of
// finishing beyond the borders, limits and levels).
analytics::DayResult ShownDay(const analytics::LeftPanelModel& panel,
                              const analytics::MaxPain& pain) {
    analytics::DayResult shown;
    static_cast<analytics::DayFigureValues&>(shown) = panel.Context();
    shown.forward_point = panel.Context().forward_point;
    shown.max_pain = pain.price;
    shown.max_pain_strike = pain.strike;
    return shown;
}

void AddImplied(analytics::DayResult& shown, const analytics::ContractVolatility& figures,
                const analytics::LeftPanelModel& panel) {
    shown.atm_vol = figures.atm_vol;
    shown.expected_move = figures.expected_move;
    const analytics::BeyondChances chances =
        analytics::ChancesBeyond(figures, panel.Context(), panel.PriceType());
    shown.prob_above_upper_limit = chances.above_upper_limit;
    shown.prob_above_upper_border = chances.above_upper_border;
    shown.prob_below_bottom_border = chances.below_bottom_border;
    shown.prob_below_bottom_limit = chances.below_bottom_limit;
    shown.prob_above_call_level = chances.above_call_level;
    shown.prob_below_put_level = chances.below_put_level;
    shown.prob_touch_upper_limit = chances.touch_upper_limit;
    shown.prob_touch_upper_border = chances.touch_upper_border;
    shown.prob_touch_bottom_border = chances.touch_bottom_border;
    shown.prob_touch_bottom_limit = chances.touch_bottom_limit;
    shown.prob_touch_call_level = chances.touch_call_level;
    shown.prob_touch_put_level = chances.touch_put_level;
}

std::string IndicatorsJson(const analytics::LeftPanelModel& panel,
                           const analytics::DayResult& shown) {
    const analytics::DayContext& day = panel.Context();
    const analytics::LeftPanelCells& cells = panel.Cells();
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(day.symbol);
    json.Key("date").String(panel.Date());
    json.Key("contract").String(day.contract);
    json.Key("contracts").StringArray(panel.Contracts());
    FiguresJson(json, analytics::FiguresIn(analytics::figure_output::kIndicators), shown);
    CallPutObject(json, "levels", cells.level_call, cells.level_put, WriteShownColumn);
    CallPutObject(json, "fractals", cells.fractal_call, cells.fractal_put, WriteShownColumn);
    json.EndObject();
    return json.Text();
}

}  // namespace

// The left panel of one instrument, as the desktop program would show it after its build,
// the given choices of day and contract, and a computation of the fractals.
int CmdIndicators(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "contract", "price-type", "fp", "level-cond",
                                 "fractal-main", "fractal-near"});
    RefusePositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> date = args.DayText("date");
    const std::optional<std::string> contract = args.Get("contract");
    const std::optional<int> price_type = args.IntInRange("price-type", 0, 2);
    const std::optional<int> fp = args.IntInRange("fp", 0, 1);

    Calculation calculation(ctx, symbol);
    settings::Settings& settings = calculation.Values();
    if (price_type) {
        settings.price_type = static_cast<std::int8_t>(*price_type);
    }
    if (fp) {
        settings.is_fp = static_cast<std::int8_t>(*fp);
    }
    settings.level_cond = args.Get("level-cond").value_or(settings.level_cond);
    settings.fractal_main_cond = args.Get("fractal-main").value_or(settings.fractal_main_cond);
    settings.fractal_near_cond = args.Get("fractal-near").value_or(settings.fractal_near_cond);
    analytics::LeftPanelSetup setup;
    setup.database_file = storage::QuotePath(ctx.home, symbol);
    setup.read_only = true;

    const TodayClock clock(ctx.today);
    analytics::LeftPanelModel panel({calculation.Host(), ctx.home, &clock});
    panel.Build(calculation.Input(), setup);
    if (date) {
        panel.DateChanged(*date);
    }
    if (contract) {
        panel.ContractChanged(*contract);
    }

    // Max pain is no cell of the panel: it comes from the shown day's rows with the panel's
    // forward point and price type.
    const analytics::MaxPain pain = panel.ShownMaxPain();
    if (FileFailed(ctx, symbol, panel.DatabaseFault())) {
        return kExitFailed;
    }
    analytics::DayResult shown = ShownDay(panel, pain);
    if (panel.HasDay()) {
        const storage::Database db = storage::Database::OpenReadOnly(setup.database_file);
        const auto figures =
            analytics::LoadContractVolatility(db, symbol, panel.Date(), panel.Contract());
        if (FileFailed(ctx, symbol, figures.Reason())) {
            return kExitFailed;
        }
        AddImplied(shown, *figures, panel);
    }
    *ctx.out << IndicatorsJson(panel, shown) << '\n';
    return panel.HasDay() ? kExitDone : kExitFailed;
}

// --- The right panel: histogram and tables ---

namespace {

struct PictureSize {
    int width = 300;
    int height = 600;
};

// "WxH" with both sides from 1 to 10000.
PictureSize ParsePictureSize(const std::optional<std::string>& text) {
    PictureSize size;
    if (!text) {
        return size;
    }
    const std::size_t x = text->find('x');
    const auto width = x == std::string::npos
                           ? std::nullopt
                           : PlainInteger(std::string_view(*text).substr(0, x), false);
    const auto height = x == std::string::npos
                            ? std::nullopt
                            : PlainInteger(std::string_view(*text).substr(x + 1), false);
    if (!width || !height || *width < 1 || *height < 1 || *width > 10000 || *height > 10000) {
        throw UsageError("--size must be WIDTHxHEIGHT, for example 300x600: " +
                         common::Capped(*text));
    }
    size.width = static_cast<int>(*width);
    size.height = static_cast<int>(*height);
    return size;
}

// Where --png draws the chart: the desktop program's own drawing, made without a display.
bool WriteHistogramPicture(const analytics::HistogramData& data, const std::string& path,
                           const PictureSize& size, std::string& error) {
#if ZARVEX_HAS_CHART
    error = ui::RenderHistogramPng(data, size.width, size.height, path);
    return error.empty();
#else
    (void)data;
    (void)path;
    (void)size;
    error = "drawing the chart to a picture is not available in this build (built without Qt)";
    return false;
#endif
}

std::string HistogramJson(int n, const std::string& caption, const analytics::HistogramData& data,
                          const std::optional<analytics::CompareArrays>& compare) {
    JsonWriter json;
    json.BeginObject();
    json.Key("n").Int(n);
    json.Key("caption").String(caption);
    json.Key("lower_bound").Number(data.lower_bound);
    json.Key("upper_bound").Number(data.upper_bound);
    json.Key("axis").NumberArray(data.axis);
    json.Key("put").NumberArray(data.put);
    json.Key("call").NumberArray(data.call);
    json.Key("call_premium").NumberArray(data.call_premium);
    json.Key("put_premium").NumberArray(data.put_premium);
    json.Key("call_strike").NumberArray(data.call_strike);
    json.Key("put_strike").NumberArray(data.put_strike);
    if (compare) {
        json.Key("compare_date").String(compare->date);
        json.Key("compare_put").NumberArray(compare->put);
        json.Key("compare_call").NumberArray(compare->call);
    }
    json.EndObject();
    return json.Text();
}

void WriteTable(JsonWriter& json, const analytics::OptionTable& table) {
    json.BeginArray();
    for (const analytics::OptionTableRow& row : table.rows) {
        json.StringArray(std::vector<std::string>(row.begin(), row.end()));
    }
    json.EndArray();
}

}  // namespace

// Every column of the quote table that a histogram reads.
constexpr std::string_view kBarColumnsProbe =
    "SELECT strike, price, delta, volume, oi, doi, sign, symb, option, contract, expiration, "
    "date FROM dating LIMIT 0";

// Histogram N of a day and contract, built as the right panel builds it, with the instrument's
// settings for N unless the options override them.
int CmdHistogram(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "contract", "n", "price-type", "scale", "param",
                                 "bar-cond", "fp", "png", "size", "compare"});
    RefusePositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> given_date = args.DayText("date");
    const std::string contract = args.Required("contract");
    const int n = args.IntInRange("n", 1, analytics::kHistogramCount).value_or(1);
    const std::optional<int> price_type = args.IntInRange("price-type", 0, 2);
    const std::optional<int> scale = args.IntInRange("scale", 0, 2);
    const std::optional<int> param = args.IntInRange("param", 0, 4);
    const std::optional<int> fp = args.IntInRange("fp", 0, 1);
    const std::optional<common::Date> compare_date = args.DayText("compare");
    const std::optional<std::string> png = args.Get("png");
    const PictureSize size = ParsePictureSize(args.Get("size"));
    if (png && png->empty()) {
        throw UsageError("--png must name a file");
    }
    const std::string date = DayOrLatestStored(ctx, symbol, given_date);

    Calculation calculation(ctx, symbol);
    settings::HistogramSettings histogram = calculation.Settings().Values().histograms[n - 1];
    if (price_type) {
        histogram.market_type = static_cast<std::int8_t>(*price_type);
    }
    if (scale) {
        histogram.market_scale = static_cast<std::int8_t>(*scale);
    }
    if (param) {
        histogram.param = static_cast<std::int8_t>(*param);
    }
    if (const auto bar_cond = args.Get("bar-cond")) {
        histogram.bar_cond = *bar_cond;
    }

    if (!calculation.OpenQuoteDatabase()) {
        return kExitFailed;
    }
    const storage::Database& db = calculation.Quotes();
    // A quote table without the columns the bars are read from would give an empty histogram,
    // as if the day had no rows: the file is named instead, as `tables` names it. (A file
    // without the table is a symbol with no days yet, and stays an empty histogram.)
    if (!db.Prepare(kBarColumnsProbe).IsValid()) {
        const std::string error = db.LastError();
        if (!common::StartsWith(error, "no such table") && FileFailed(ctx, symbol, error)) {
            return kExitFailed;
        }
    }
    const common::Host host = calculation.Host();
    const analytics::RightPanelDay day = calculation.Day(date, contract, fp);
    analytics::DaySlice slice;
    const storage::Database& rows =
        slice.Select(db, day.date, day.contract).RowsFor(histogram.bar_cond);
    const analytics::HistogramData data = analytics::BuildHistogram(rows, day, histogram, n, host);
    const int caption_entry = analytics::HistogramCaptionEntry(histogram.param);
    const std::string caption = caption_entry < 0 ? std::string() : host.Text(caption_entry);

    // The other day on this histogram's axis: its own slice of rows and its own forward point.
    std::optional<analytics::CompareArrays> compare;
    analytics::DaySlice other_slice;
    if (compare_date) {
        const analytics::RightPanelDay other_day =
            calculation.Day(common::DayText(*compare_date), contract, fp);
        const storage::Database& other_rows =
            other_slice.Select(db, other_day.date, other_day.contract).RowsFor(histogram.bar_cond);
        compare =
            analytics::CompareHistogram(rows, other_rows, day, other_day, histogram, data, host);
    }

    if (FileFailed(ctx, symbol, db.FaultText())) {
        return kExitFailed;
    }
    *ctx.out << HistogramJson(n, caption, data, compare) << '\n';
    int status = kExitDone;
    if (data.rows_failed) {
        *ctx.err << "zarvex-cli: the bars could not be read: " << data.rows_error << '\n';
        status = kExitFailed;
    }
    if (png) {
        std::string error;
        if (!WriteHistogramPicture(data, *png, size, error)) {
            *ctx.err << "zarvex-cli: --png: " << error << '\n';
            status = kExitFailed;
        }
    }
    return status;
}

// The PUT and CALL option tables of a day and contract with their TOTAL rows, and the forward
// point, as the right panel shows them.
int CmdTables(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "contract", "fp"});
    RefusePositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> given_date = args.DayText("date");
    const std::string contract = args.Required("contract");
    const std::optional<int> fp = args.IntInRange("fp", 0, 1);
    const std::string date = DayOrLatestStored(ctx, symbol, given_date);

    Calculation calculation(ctx, symbol);
    if (!calculation.OpenQuoteDatabase()) {
        return kExitFailed;
    }
    const storage::Database& db = calculation.Quotes();
    const common::Host host = calculation.Host();
    const analytics::RightPanelDay day = calculation.Day(date, contract, fp);
    analytics::DaySlice slice;
    const common::Result<analytics::OptionTables> tables = analytics::FillOptionTables(
        slice.Select(db, day.date, day.contract).RowsFor(""), day.date, day.contract, host);
    if (FileFailed(ctx, symbol, db.FaultText())) {
        return kExitFailed;
    }
    if (!tables) {
        *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string()
                 << ": the tables could not be read: " << tables.Reason() << '\n';
        return kExitFailed;
    }

    JsonWriter json;
    json.BeginObject();
    json.Key("forward_point").String(analytics::ForwardPointText(day.forward_point));
    json.Key("put");
    WriteTable(json, tables->put);
    json.Key("call");
    WriteTable(json, tables->call);
    json.EndObject();
    *ctx.out << json.Text() << '\n';
    return kExitDone;
}

}  // namespace zarvex::cli
