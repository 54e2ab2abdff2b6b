#include "analytics/right_panel/right_panel_model.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "analytics/right_panel/histogram_build.h"
#include "analytics/right_panel_fixture.h"
#include "common/date.h"
#include "common/plain_host.h"

namespace zarvex::analytics {
namespace {

using testing::QuoteDb;
using testing::QuoteRow;

QuoteRow Row(const char* option, double strike, std::int64_t oi, const char* contract) {
    QuoteRow row;
    row.option = option;
    row.strike = strike;
    row.oi = oi;
    row.price = 0.01;
    row.contract = contract;
    return row;
}

// What the window gives the model: the instrument's settings, which the input refers to and
// which therefore live here for as long as the test, and the day and contract.
struct PanelConfig {
    settings::Settings settings;
    std::string symbol = "EUR";
    std::string contract;
    common::Date day = common::ParseDate(testing::kDay, "%dd.%mm.%yyyy");

    AnalysisInput Input() const { return AnalysisInput(settings, symbol, contract, day); }
};

class RightPanelModelTest : public ::testing::Test {
protected:
    RightPanelModelTest() : model_(db_.Db(), db_.Folder().Folder(), host_.AsHost()) {
        db_.Insert({Row("CALL", 1.1000, 1000, "DEC12-AM"), Row("CALL", 1.1050, 2000, "DEC12-AM"),
                    Row("PUT", 1.1000, 3000, "DEC12-AM"), Row("PUT", 1.0950, 700, "DEC12-AM"),
                    Row("CALL", 1.2000, 1000, "MAR13-AM"), Row("PUT", 1.2000, 1000, "MAR13-AM")});
    }

    PanelConfig& Config(const char* contract) {
        PanelConfig& config = configs_.emplace_back();
        config.contract = contract;
        config.settings.is_fp = 1;
        for (int i = 0; i < kHistogramCount; ++i) {
            config.settings.histograms[i].bar_cond = "oi>500";
            config.settings.histograms[i].market_scale = 0;
            config.settings.histograms[i].market_type = 1;
            config.settings.histograms[i].param = static_cast<std::int8_t>(i);
        }
        return config;
    }
    AnalysisInput Input(const char* contract) { return Config(contract).Input(); }

    std::deque<PanelConfig> configs_;
    common::PlainHost host_;
    QuoteDb db_;
    RightPanelModel model_;
};

TEST_F(RightPanelModelTest, ConfigureFillsTablesAndBuildsTheFirstHistogramOnly) {
    model_.Configure(Input("DEC12-AM"));
    EXPECT_TRUE(model_.IsBuilt(1));
    EXPECT_FALSE(model_.IsBuilt(2));
    EXPECT_FALSE(model_.Histogram(1).Empty());
    EXPECT_TRUE(model_.Histogram(2).axis.empty());
    EXPECT_EQ(model_.Tables().put.rows.size(), 3u);
    EXPECT_EQ(model_.Tables().call.rows.size(), 3u);
    EXPECT_EQ(model_.Caption(1), "Open interest");
    EXPECT_EQ(model_.Caption(2), "OI Change");
    EXPECT_EQ(model_.Caption(3), "Volume");
    EXPECT_EQ(model_.Caption(4), "Price x OI");

    ASSERT_TRUE(model_.BuildHistogram(4));
    EXPECT_TRUE(model_.IsBuilt(4));
    // 0.01 x 2000, at the highest CALL strike.
    EXPECT_EQ(*std::max_element(model_.Histogram(4).call.begin(), model_.Histogram(4).call.end()),
              20.0);
}

TEST_F(RightPanelModelTest, StatusTextsAnnounceEveryStepUnderTheLock) {
    model_.Configure(Input("DEC12-AM"));
    const std::vector<std::string> expected{
        "The tables of the right panel is fill. ",
        "Filling the tables in the right panel is complete. ",
        "Calculation of the scale of the histogram N1. The window is temporarily locked. Wait "
        "when operation to complete...",
        "Completed calculation of the scale of th histogram N1. Data processing is in progress. ",
        "Creates data arrays for the histogram N1. The window is temporarily locked. Wait when "
        "operation to complete...",
        "Completed creation of arrays for histogram N1. Data processing is in progress. ",
    };
    EXPECT_EQ(host_.StatusTexts(), expected);
    EXPECT_FALSE(host_.IsLocked());
    EXPECT_EQ(host_.MaxLockDepth(), 1);
}

TEST_F(RightPanelModelTest, ForwardPointComesFromTheNextTradingDaysFile) {
    // 07.12.2012 is a Friday: the next trading day is Monday 10.12.2012.
    test::WriteFile(db_.Folder().Folder().ForwardPointFile(common::MakeDate(2012, 12, 10)),
                    "GBP -3.1\r\nEUR 12.46\r\n");
    model_.Configure(Input("DEC12-AM"));
    EXPECT_DOUBLE_EQ(model_.ForwardPoint(), 12.46);
    EXPECT_EQ(model_.ForwardPointText(), "12.5");
    EXPECT_TRUE(model_.ForwardPointVisible());

    PanelConfig& off = Config("DEC12-AM");
    off.settings.is_fp = 0;
    model_.Configure(off.Input());
    EXPECT_EQ(model_.ForwardPointText(), "0.0");
}

// The settings are the instrument's own, not a copy: a histogram built after the settings
// dialog changed them draws with the new ones.
TEST_F(RightPanelModelTest, AHistogramBuiltAfterASettingsChangeUsesTheNewSettings) {
    PanelConfig& config = Config("DEC12-AM");
    model_.Configure(config.Input());
    config.settings.histograms[1].param = 0;
    config.settings.histograms[1].bar_cond = "oi>2500";
    ASSERT_TRUE(model_.BuildHistogram(2));
    const HistogramData& data = model_.Histogram(2);
    double put = 0.0;
    double call = 0.0;
    for (std::size_t i = 0; i < data.Size(); ++i) {
        put += data.put[i];
        call += data.call[i];
    }
    EXPECT_EQ(put, 3000.0);  // the PUT at 1.1000 alone
    EXPECT_EQ(call, 0.0);
}

TEST_F(RightPanelModelTest, AContractWithoutStrikesShowsNoBarsOfThePreviousOne) {
    model_.Configure(Input("DEC12-AM"));
    ASSERT_TRUE(model_.BuildHistogram(2));
    // What a chart still shows keeps its bars until the chart is given the new ones.
    const std::shared_ptr<const HistogramData> shown = model_.SharedHistogram(2);
    ASSERT_TRUE(shown);
    model_.Configure(Input("JUN13-AM"));
    for (int n = 1; n <= kHistogramCount; ++n) {
        EXPECT_TRUE(model_.Histogram(n).axis.empty()) << n;
        EXPECT_TRUE(model_.Histogram(n).call.empty()) << n;
    }
    EXPECT_EQ(model_.SharedHistogram(2), nullptr);
    EXPECT_FALSE(shown->axis.empty());
    EXPECT_EQ(model_.Tables().put.rows.size(), 1u);
    EXPECT_EQ(model_.Tables().put.rows[0][0], "TOTAL");

    model_.Configure(Input("MAR13-AM"));
    EXPECT_FALSE(model_.Histogram(1).Empty());
}

TEST_F(RightPanelModelTest, AParameterOutsideTheListHasNoCaptionAndNoBars) {
    PanelConfig& config = Config("DEC12-AM");
    config.settings.histograms[0].param = 44;
    model_.Configure(config.Input());
    EXPECT_EQ(model_.Caption(1), "");
    const HistogramData& data = model_.Histogram(1);
    EXPECT_FALSE(data.axis.empty());
    EXPECT_EQ(std::count(data.call.begin(), data.call.end(), 0.0), static_cast<long>(data.Size()));
}

// The model reads a copy of the day's rows; on a file that also holds other days and contracts
// every histogram and table must come out as the queries on the file give them.
TEST(RightPanelModel, TheDaysCopyGivesWhatTheFileGives) {
    for (std::uint64_t seed = 50; seed < 56; ++seed) {
        const testing::GeneratedDay generated = testing::GenerateDay(seed);
        const QuoteDb db(generated.symbol);
        std::vector<QuoteRow> rows = generated.rows;
        for (const QuoteRow& row : generated.rows) {
            QuoteRow other_day = row;
            other_day.date = "06.12.2012";
            other_day.oi += 3;
            QuoteRow other_contract = row;
            other_contract.contract = "MAR13-AM";
            rows.push_back(other_day);
            rows.push_back(other_contract);
        }
        db.Insert(rows);
        common::PlainHost plain;
        RightPanelModel model(db.Db(), db.Folder().Folder(), plain.AsHost());
        PanelConfig config;
        config.symbol = generated.symbol;
        config.contract = testing::kContract;
        config.settings.histograms = {settings::HistogramSettings{"oi>100", 0, 0, 0},
                                      settings::HistogramSettings{"oi>100", 2, 2, 1},
                                      settings::HistogramSettings{"volume>0", 1, 1, 3},
                                      settings::HistogramSettings{"oi>100", 2, 0, 4}};
        model.Configure(config.Input());
        const RightPanelDay day{generated.symbol, testing::kDay, testing::kContract, 0.0};
        for (int n = 1; n <= kHistogramCount; ++n) {
            model.BuildHistogram(n);
            const HistogramData file =
                BuildHistogram(db.Db(), day, config.settings.histograms[n - 1], n, plain.AsHost());
            EXPECT_EQ(model.Histogram(n).axis, file.axis) << seed << " " << n;
            EXPECT_EQ(model.Histogram(n).put, file.put) << seed << " " << n;
            EXPECT_EQ(model.Histogram(n).call, file.call) << seed << " " << n;
            EXPECT_EQ(model.Histogram(n).call_premium, file.call_premium) << seed << " " << n;
        }
        EXPECT_EQ(
            model.Tables().put.rows,
            FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kPut)->rows);
        EXPECT_EQ(
            model.Tables().call.rows,
            FillOptionTable(db.Db(), testing::kDay, testing::kContract, common::Side::kCall)->rows);
    }
}

// A click dispatched by the pump of a running build that switches the contract.
class SwitchingPump final : public common::EventPump {
public:
    void PumpEvents() override {
        if (armed_) {
            armed_ = false;
            (*model_)->Configure(next_);
        }
    }
    void Arm(RightPanelModel** model, AnalysisInput next) {
        model_ = model;
        next_ = std::move(next);
        armed_ = true;
    }

private:
    RightPanelModel** model_ = nullptr;
    AnalysisInput next_;
    bool armed_ = false;
};

TEST_F(RightPanelModelTest, AConfigurationPumpedDuringABuildWins) {
    SwitchingPump pump;
    common::Host host = host_.AsHost();
    host.pump = &pump;
    RightPanelModel model(db_.Db(), db_.Folder().Folder(), host);
    RightPanelModel* self = &model;
    pump.Arm(&self, Input("MAR13-AM"));
    model.Configure(Input("DEC12-AM"));

    EXPECT_EQ(model.Input().contract, "MAR13-AM");
    const HistogramData& data = model.Histogram(1);
    ASSERT_TRUE(model.IsBuilt(1));
    // Only MAR13-AM's strike 1.2000 carries bars.
    for (std::size_t i = 0; i < data.Size(); ++i) {
        if (data.call[i] != 0.0) {
            EXPECT_NEAR(data.axis[i], 1.2, 1e-9);
        }
    }
    EXPECT_EQ(model.Tables().call.rows.front()[0], "1.20000");
}

// Dates are 64-bit seconds: a day in 2040 is a day like any other, forward points included.
TEST(RightPanelModel, DaysPast2038WorkLikeAnyOther) {
    QuoteDb db;
    QuoteRow call = Row("CALL", 1.1000, 1000, "MAR40-AM");
    call.date = "06.01.2040";  // a Friday
    QuoteRow put = call;
    put.option = "PUT";
    QuoteRow high = call;  // widens the strike grid, shows no bar
    high.strike = 1.1100;
    high.oi = 100;
    db.Insert({call, put, high});
    test::WriteFile(db.Folder().Folder().ForwardPointFile(common::MakeDate(2040, 1, 9)),
                    "EUR -7.25\r\n");
    common::PlainHost host;
    RightPanelModel model(db.Db(), db.Folder().Folder(), host.AsHost());
    PanelConfig config;
    config.day = common::MakeDate(2040, 1, 6);
    config.contract = "MAR40-AM";
    config.settings.is_fp = 1;
    config.settings.histograms[0] = {"oi>500", 0, 2, 0};
    model.Configure(config.Input());
    EXPECT_EQ(model.ForwardPointText(), "-7.2");
    EXPECT_EQ(model.Tables().put.rows.size(), 2u);
    const HistogramData& data = model.Histogram(1);
    // Forex: 1.1000 + 0.0100 + 7.25 pips for the CALL.
    double call_total = 0.0;
    for (std::size_t i = 0; i < data.Size(); ++i) {
        call_total += data.call[i];
        if (data.call[i] != 0.0) {
            EXPECT_NEAR(data.axis[i], 1.1107, 1e-9);
        }
    }
    EXPECT_EQ(call_total, 1000.0);
}

TEST(RightPanelModel, AClosedDatabaseGivesAnEmptyPanel) {
    const storage::Database closed;
    common::PlainHost host;
    RightPanelModel model(closed, common::ProgramFolder("/nonexistent"), host.AsHost());
    PanelConfig config;
    config.day = common::kInvalidDate;
    config.contract = "DEC12-AM";
    config.settings.is_fp = 1;
    model.Configure(config.Input());
    EXPECT_TRUE(model.Histogram(1).axis.empty());
    EXPECT_TRUE(model.Tables().put.rows.empty());
    EXPECT_FALSE(model.TablesFault().empty());
    EXPECT_EQ(model.ForwardPointText(), "0.0");
    EXPECT_TRUE(host.Messages().empty());
}

}  // namespace
}  // namespace zarvex::analytics
