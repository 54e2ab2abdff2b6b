#include <gtest/gtest.h>

#include <map>

#include "analytics/left_panel/calculations.h"
#include "analytics/left_panel/left_panel_model.h"
#include "common/calendar.h"
#include "left_panel_fixture.h"
#include "left_panel_reference.h"
#include "reportgen/report_generator.h"

namespace zarvex::analytics::left_testing {
namespace {

struct GeneratedCase {
    const char* symbol;
    int price_type;
    double forward_point;
    std::uint64_t seed;
};

class GeneratedDaysTest : public ::testing::TestWithParam<GeneratedCase> {
protected:
    // Four trading days of generated reports, stored as the extraction stores them.
    void SetUp() override {
        CreateQuoteDatabase(file_);
        reportgen::GeneratorOptions options;
        options.seed = GetParam().seed;
        const reportgen::ReportGenerator generator(options);
        for (common::Date day = common::MakeDate(2012, 12, 3); days_.size() < 4;
             day += common::kSecondsPerDay) {
            if (!common::IsTradingDay(day)) {
                continue;
            }
            const reportgen::GeneratedDay generated = generator.Generate(day);
            StoreParsedRows(file_, generated.rows.at(GetParam().symbol));
            days_.push_back(common::DayText(day));
        }
    }

    std::vector<std::string> ContractsOf(const std::string& day) const {
        const storage::Database db = storage::Database::OpenReadOnly(file_);
        storage::Statement q = db.Prepare("SELECT DISTINCT contract FROM dating WHERE date = ?");
        q.Bind(1, std::string_view(day));
        std::vector<std::string> contracts;
        while (q.Step()) {
            contracts.push_back(q.ColumnText(0));
        }
        return contracts;
    }

    test::TempFolder folder_;
    std::filesystem::path file_ = folder_ / (std::string(GetParam().symbol) + "_data.lql");
    std::vector<std::string> days_;
};

void ExpectSameResults(const ContextTexts& actual, const ContextTexts& expected) {
    EXPECT_EQ(actual.expiration, expected.expiration);
    EXPECT_EQ(actual.call_level, expected.call_level);
    EXPECT_EQ(actual.put_level, expected.put_level);
    EXPECT_EQ(actual.ratio_oi, expected.ratio_oi);
    EXPECT_EQ(actual.ratio_volume, expected.ratio_volume);
    EXPECT_EQ(actual.ratio_avg_price, expected.ratio_avg_price);
    EXPECT_EQ(actual.put_levels, expected.put_levels);
    EXPECT_EQ(actual.call_levels, expected.call_levels);
    EXPECT_EQ(actual.put_fractals, expected.put_fractals);
    EXPECT_EQ(actual.call_fractals, expected.call_fractals);
    EXPECT_EQ(actual.delta_balance, expected.delta_balance);
    EXPECT_EQ(actual.upper_border, expected.upper_border);
    EXPECT_EQ(actual.bottom_border, expected.bottom_border);
    EXPECT_EQ(actual.upper_border_strike, expected.upper_border_strike);
    EXPECT_EQ(actual.bottom_border_strike, expected.bottom_border_strike);
    EXPECT_EQ(actual.channel_center, expected.channel_center);
    EXPECT_EQ(actual.market_width, expected.market_width);
    EXPECT_EQ(actual.upper_limit, expected.upper_limit);
    EXPECT_EQ(actual.bottom_limit, expected.bottom_limit);
    EXPECT_EQ(actual.upper_limit_strike, expected.upper_limit_strike);
    EXPECT_EQ(actual.bottom_limit_strike, expected.bottom_limit_strike);
}

TEST_P(GeneratedDaysTest, EveryDayAndContractMatchesThePlainCalculation) {
    const storage::Database db = storage::Database::OpenReadOnly(file_);
    int fractal_days = 0;
    int checked = 0;
    for (const std::string& day : days_) {
        for (const std::string& contract : ContractsOf(day)) {
            SCOPED_TRACE(day + " " + contract);
            TestContext context = MakeContext(GetParam().symbol, GetParam().price_type);
            context.date = common::ParseDate(day, "%dd.%mm.%yyyy");
            context.contract = contract;
            context.forward_point = GetParam().forward_point;
            context.settings.level_cond = "oi>1000 AND sign>=0";
            context.settings.fractal_main_cond = "oi>100 AND sign>0";
            context.settings.fractal_near_cond = "oi>10";
            const ContextTexts expected = ReferencePanel(file_, context);

            ASSERT_TRUE(BasicIndicatorsOf(db, context));
            ASSERT_TRUE(MarketBordersOf(db, context));
            ASSERT_TRUE(RatiosOf(db, context));
            ASSERT_TRUE(CalculateSignificantLevels(db, context.settings, context));
            ASSERT_TRUE(CalculateSignificantFractals(db, context.settings, context));
            ExpectSameResults(TextsOf(context), expected);
            fractal_days += context.call_fractals.empty() && context.put_fractals.empty() ? 0 : 1;
            ++checked;
        }
    }
    EXPECT_GT(checked, 8);
    // The data must exercise the fractal search, not only its empty case.
    EXPECT_GT(fractal_days, 0);
}

TEST_P(GeneratedDaysTest, ThePanelShowsWhatItCalculated) {
    PanelHarness h(GetParam().symbol, common::MakeDate(2012, 12, 31));
    std::filesystem::copy_file(file_, h.QuoteFile(),
                               std::filesystem::copy_options::overwrite_existing);
    LeftPanelModel& panel =
        h.Build(GetParam().price_type, "oi>1000 AND sign>=0", "oi>100 AND sign>0", "oi>10");
    EXPECT_EQ(panel.Date(), days_.back());
    for (const std::string& day : days_) {
        panel.DateChanged(common::ParseDate(day, "%dd.%mm.%yyyy"));
        ASSERT_EQ(panel.Date(), day);
        ASSERT_FALSE(panel.Contracts().empty());
        for (const std::string& contract : panel.Contracts()) {
            panel.ContractChanged(contract);
            panel.ComputeSignificantFractals();
            panel.FillTables();
            const ContextTexts c = TextsOf(panel.Context());
            // The panel reads the day through its in-memory copy: same results as the plain
            // calculation over the whole file.
            TestContext settled;
            static_cast<DayContext&>(settled) = panel.Context();
            settled.settings = panel.Settings();
            settled.forward_point = 0.0;
            ExpectSameResults(c, ReferencePanel(file_, settled));
            const LeftPanelCells& cells = panel.Cells();
            EXPECT_EQ(cells.call_level, c.call_level);
            EXPECT_EQ(cells.upper_border, c.upper_border);
            EXPECT_EQ(cells.market_width, c.market_width);
            EXPECT_EQ(cells.ratio_avg_price, c.ratio_avg_price);
            const std::vector<std::string> shown = ShownEntries(c.call_levels);
            for (std::size_t i = 0; i < cells.level_call.size(); ++i) {
                EXPECT_EQ(cells.level_call[i], i < shown.size() ? shown[i] : "");
            }
            const std::vector<std::string> fractals = ShownEntries(c.put_fractals);
            for (std::size_t i = 0; i < cells.fractal_put.size(); ++i) {
                EXPECT_EQ(cells.fractal_put[i], i < fractals.size() ? fractals[i] : "");
            }
            for (const std::string& text : {c.call_level, c.put_level, c.channel_center,
                                            c.market_width, c.ratio_oi, c.delta_balance}) {
                EXPECT_EQ(text.find_first_of("in"), std::string::npos) << text;
            }
        }
    }
    EXPECT_TRUE(h.view.enabled_calls.back());
}

INSTANTIATE_TEST_SUITE_P(Symbols, GeneratedDaysTest,
                         ::testing::Values(GeneratedCase{"EUR", 0, 0.0, 7},
                                           GeneratedCase{"JPY", 2, -12.35, 11},
                                           GeneratedCase{"CAD", 2, 4.5, 23},
                                           GeneratedCase{"GBP", 1, 0.0, 5}),
                         [](const ::testing::TestParamInfo<GeneratedCase>& param) {
                             return std::string(param.param.symbol);
                         });

}  // namespace
}  // namespace zarvex::analytics::left_testing
