#include "left_panel_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "analytics/left_panel/day_slice.h"
#include "analytics/left_panel/left_panel_cells.h"
#include "common/text.h"
#include "storage/store.h"

namespace zarvex::analytics::left_testing {

void CreateQuoteDatabase(const std::filesystem::path& file) {
    storage::OpenedStore store = storage::OpenStore(file, storage::StoreKind::kQuote);
    ASSERT_TRUE(store.db.IsOpen());
    ASSERT_TRUE(store.created_table);
}

void InsertRows(const std::filesystem::path& file, const std::vector<Row>& rows) {
    storage::Database db = storage::Database::Open(file);
    ASSERT_TRUE(db.IsOpen());
    ASSERT_TRUE(db.Execute("Begin Transaction"));
    for (const Row& r : rows) {
        ASSERT_TRUE(db.Execute(
            "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
            "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {std::string_view(r.strike), std::string_view(r.price), std::string_view(r.delta),
             std::string_view(r.volume), std::string_view(r.oi), std::string_view(r.doi),
             std::string_view(r.sign), std::string_view(r.symb), std::string_view(r.option),
             std::string_view(r.contract), std::string_view(r.expiration),
             std::string_view(r.date)}));
    }
    ASSERT_TRUE(db.Execute("Commit"));
}

ContextTexts TextsOf(const DayContext& context) {
    const PanelFigures cells = PanelFigureTexts(context);
    ContextTexts texts;
    texts.expiration = cells.expiration;
    texts.call_level = cells.call_level;
    texts.put_level = cells.put_level;
    texts.market_width = cells.market_width;
    texts.delta_balance = cells.delta_balance;
    texts.upper_limit = cells.upper_limit;
    texts.upper_border = cells.upper_border;
    texts.channel_center = cells.channel_center;
    texts.bottom_border = cells.bottom_border;
    texts.bottom_limit = cells.bottom_limit;
    texts.upper_border_strike = context.upper_border_strike;
    texts.bottom_border_strike = context.bottom_border_strike;
    texts.upper_limit_strike = context.upper_limit_strike;
    texts.bottom_limit_strike = context.bottom_limit_strike;
    texts.ratio_oi = cells.ratio_oi;
    texts.ratio_volume = cells.ratio_volume;
    texts.ratio_avg_price = cells.ratio_avg_price;
    texts.put_levels = NumberTexts(context.put_levels);
    texts.call_levels = NumberTexts(context.call_levels);
    texts.put_fractals = NumberTexts(context.put_fractals);
    texts.call_fractals = NumberTexts(context.call_fractals);
    return texts;
}

PanelNumber NumberShownAs(const std::string& text) {
    const std::string_view trimmed = common::Trim(text);
    if (trimmed.empty()) {
        return PanelNumber();
    }
    const std::size_t point = trimmed.find('.');
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(trimmed.size() - point - 1);
    return PanelNumber::Fixed(common::ToDouble(trimmed), decimals);
}

const settings::Settings& SettingsWith(int price_type, int fp_switch) {
    static std::map<std::pair<int, int>, settings::Settings> kept;
    settings::Settings& settings = kept[{price_type, fp_switch}];
    settings.price_type = static_cast<std::int8_t>(price_type);
    settings.is_fp = static_cast<std::int8_t>(fp_switch);
    return settings;
}

TestContext MakeContext(const std::string& symbol, int price_type) {
    TestContext context;
    context.symbol = symbol;
    context.date = common::ParseDate(kDay, "%dd.%mm.%yyyy");
    context.contract = kContract;
    context.settings.price_type = static_cast<std::int8_t>(price_type);
    return context;
}

namespace {

template <typename Step>
bool WithFigures(const storage::Database& db, DayContext& context, Step step) {
    DaySlice slice;
    const std::optional<DayFigures> figures =
        slice.Select(db, common::DayText(context.date), context.contract).Figures();
    return figures && step(*figures);
}

}  // namespace

bool BasicIndicatorsOf(const storage::Database& db, TestContext& context) {
    return WithFigures(db, context, [&](const DayFigures& figures) {
        figures.BasicIndicators(context.settings, context);
        return true;
    });
}

bool MarketBordersOf(const storage::Database& db, TestContext& context) {
    return WithFigures(db, context, [&](const DayFigures& figures) {
        figures.MarketBorders(context.settings, context);
        return true;
    });
}

bool RatiosOf(const storage::Database& db, TestContext& context) {
    return WithFigures(db, context,
                       [&](const DayFigures& figures) { return figures.PutCallRatios(context); });
}

PanelHarness::PanelHarness(const std::string& symbol_in, common::Date today)
    : symbol(symbol_in), clock(today) {
    CreateQuoteDatabase(QuoteFile());
}

std::filesystem::path PanelHarness::QuoteFile() const {
    return storage::QuotePath(home.Folder(), symbol);
}

LeftPanelModel& PanelHarness::Build(int price_type, const std::string& level_cond,
                                    const std::string& main_cond, const std::string& near_cond,
                                    int fp_switch) {
    panel_ = std::make_unique<LeftPanelModel>(
        LeftPanelServices{host.AsHost(), home.Folder(), &clock, &view, &notifier});
    settings.price_type = static_cast<std::int8_t>(price_type);
    settings.level_cond = level_cond;
    settings.fractal_main_cond = main_cond;
    settings.fractal_near_cond = near_cond;
    settings.is_fp = static_cast<std::int8_t>(fp_switch);
    LeftPanelSetup setup;
    setup.database_file = QuoteFile();
    panel_->Build(AnalysisInput(settings), setup);
    return *panel_;
}

void PanelHarness::SetLevelCondition(const std::string& condition) {
    settings.level_cond = condition;
    panel_->SettingsChanged();
}

void PanelHarness::SetFractalConditions(const std::string& main_condition,
                                        const std::string& near_condition) {
    settings.fractal_main_cond = main_condition;
    settings.fractal_near_cond = near_condition;
    panel_->SettingsChanged();
}

void PanelHarness::SetPriceType(int price_type) {
    settings.price_type = static_cast<std::int8_t>(price_type);
    panel_->SettingsChanged();
}

void PanelHarness::SetForwardPointSwitch(int fp_switch) {
    settings.is_fp = static_cast<std::int8_t>(fp_switch);
    panel_->SettingsChanged();
}

}  // namespace zarvex::analytics::left_testing
