#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "analytics/volatility/density.h"
#include "analytics/volatility/shown_prices.h"
#include "app/gui/main_window.h"
#include "common/config_folder.h"
#include "common/text.h"
#include "settings/contract_sizes.h"
#include "ui/gui_fixture.h"
#include "ui/histogram_chart.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"
#include "ui/volatility/density_chart.h"
#include "ui/volatility/exposure_chart.h"
#include "ui/volatility/volatility_tab.h"

namespace zarvex::ui {
namespace {

using test::StartedProgram;

class ProbabilityChartsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new test::GeneratedHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }
    void TearDown() override {
        std::filesystem::remove(settings::ContractSizesPath(common::UserConfigFolder()));
    }

    static VolatilityTab* ShowEurContract(StartedProgram& program) {
        InstrumentArea* eur = program.Window().Area(0);
        QComboBox* contracts = eur->LeftPanel()->ContractList();
        const int later = contracts->findText("MAR13-AM");
        EXPECT_GE(later, 0);
        contracts->setCurrentIndex(later);
        emit contracts->activated(later);
        eur->RightPanel()->BuildPendingHistograms();
        eur->RightPanel()->Tabs()->setCurrentIndex(3);
        QCoreApplication::processEvents();
        return eur->RightPanel()->Volatility();
    }

    // ZARVEX_PICTURES=folder keeps what the charts drew, to be looked at.
    static void Keep(const QImage& image, const char* name) {
        if (const char* folder = std::getenv("ZARVEX_PICTURES")) {
            image.save(QString::fromLocal8Bit(folder) + "/" + name);
        }
    }

    static test::GeneratedHome* home_;
};

test::GeneratedHome* ProbabilityChartsTest::home_ = nullptr;

TEST_F(ProbabilityChartsTest, DrawsTheDensityWithItsQuantilesAndTheExposureWithItsAssumption) {
    StartedProgram program(home_->Folder());
    VolatilityTab* tab = ShowEurContract(program);
    tab->resize(900, 640);
    QCoreApplication::processEvents();
    const analytics::SettlementDensity& density = tab->Density()->Density();
    ASSERT_TRUE(density.ready);
    EXPECT_EQ(density.grid.size(), 401u);
    EXPECT_TRUE(density.quantiles[2]);
    Keep(tab->Density()->Render(1.0), "density.png");

    const analytics::GammaExposure& exposure = tab->Exposure()->Exposure();
    ASSERT_FALSE(exposure.strikes.empty());
    EXPECT_EQ(tab->Exposure()->Assumption(), "Assumed: dealers long CALLs, short PUTs");
    const double total = exposure.total;
    ASSERT_NE(total, 0.0);
    Keep(tab->Exposure()->Render(1.0), "exposure.png");
    Keep(tab->grab().toImage(), "volatility_tab.png");

    tab->SwitchSign();
    EXPECT_EQ(tab->Exposure()->Assumption(), "Assumed: dealers short CALLs, long PUTs");
    EXPECT_DOUBLE_EQ(tab->Exposure()->Exposure().total, -total);
    tab->SwitchSign();

    // A size typed in beside the chart rescales the exposure and is kept for the next run.
    ASSERT_TRUE(tab->ContractSize()->isEnabled());
    EXPECT_EQ(tab->ContractSize()->value(), 125000);
    tab->ContractSize()->setValue(250000);
    EXPECT_NEAR(tab->Exposure()->Exposure().total, 2 * total, 1e-9 * std::fabs(total));
    std::vector<std::string> problems;
    EXPECT_EQ(settings::ContractSizes::Read(settings::ContractSizesPath(common::UserConfigFolder()),
                                            problems)
                  .Of("EUR"),
              250000);
}

// The left panel's price type on one instrument, with histogram 1 of that type and histogram 2
// of another.
struct DensityCase {
    int area;  // 0 EUR ... 5 CHF
    std::int8_t price_type;
    std::int8_t other_type;
    const char* name;
};

class HistogramDensityTest : public ProbabilityChartsTest,
                             public testing::WithParamInterface<DensityCase> {
protected:
    static RightPanelWidget* ShowWithPriceType(StartedProgram& program, const DensityCase& c) {
        program.Window().SelectInstrument(c.area);
        InstrumentArea* area = program.Window().Area(c.area);
        // The contract of the fullest smile.
        area->LeftPanel()->PickContract("MAR13-AM");
        settings::SettingsRecord& settings = area->Instrument().Settings();
        settings.SetPriceType(c.price_type);
        settings.SetMarketType(1, c.price_type);
        settings.SetMarketType(2, c.other_type);
        settings.SetIsFP(1);  // Forex then quotes the spot: the forward point counts
        area->PassSettingsToLeftPanel();
        area->RebuildHistograms();
        RightPanelWidget* right = area->RightPanel();
        right->BuildPendingHistograms();
        right->Tabs()->setCurrentIndex(0);
        QCoreApplication::processEvents();
        test::WaitForViews();
        return right;
    }
};

// "Chance of finishing beyond: 12.3%\nChance of touching: 24.6%" at a tooltip's end, in percent.
std::optional<std::pair<double, double>> Chances(const QString& tip) {
    const QString beyond = QStringLiteral("\nChance of finishing beyond: ");
    const QString touch = QStringLiteral("%\nChance of touching: ");
    const qsizetype b = tip.indexOf(beyond);
    const qsizetype t = tip.indexOf(touch);
    if (b < 0 || t < b || !tip.endsWith(QStringLiteral("%"))) {
        return std::nullopt;
    }
    bool ok_beyond = false;
    bool ok_touch = false;
    const double at_beyond = tip.mid(b + beyond.size(), t - b - beyond.size()).toDouble(&ok_beyond);
    const double at_touch =
        tip.mid(t + touch.size(), tip.size() - t - touch.size() - 1).toDouble(&ok_touch);
    if (!ok_beyond || !ok_touch) {
        return std::nullopt;
    }
    return std::pair{at_beyond, at_touch};
}

TEST_P(HistogramDensityTest, TheCurvePeaksAtTheModeAndEachBarTellsItsChances) {
    const DensityCase c = GetParam();
    StartedProgram program(home_->Folder());
    RightPanelWidget* right = ShowWithPriceType(program, c);
    ASSERT_TRUE(right->Volatility()->Figures());
    const analytics::ContractVolatility& figures = *right->Volatility()->Figures();
    HistogramChart* chart = right->Chart(1);
    ASSERT_FALSE(chart->Overlay().density.empty()) << c.name;
    EXPECT_TRUE(right->Chart(2)->Overlay().density.empty()) << "not the panel's price type";

    // The mode of the core's density (what `vol --density` writes), as the axis quotes it.
    const analytics::SettlementDensity density =
        analytics::DensityOf(analytics::SmileProbability(figures));
    ASSERT_TRUE(density.ready);
    const auto peak = std::max_element(density.density.begin(), density.density.end());
    const double mode = density.grid[static_cast<std::size_t>(peak - density.density.begin()) + 1];
    const std::string symbol = right->Model().Input().symbol;
    const double forward_point = right->Model().ForwardPoint();
    const auto shown_mode = common::ParseDouble(analytics::ShownPrice(
        mode, symbol, forward_point, common::PriceTypeFromCode(c.price_type)));
    ASSERT_TRUE(shown_mode);
    const HistogramScale& scale = chart->Scale();
    const double factor = PowerOfTen(scale.ds);
    const std::int64_t scaled_mode = std::llround(*shown_mode * factor);
    ASSERT_TRUE(scale.kmin <= scaled_mode && scaled_mode <= scale.kmax) << *shown_mode;

    // The curve is what differs from the same chart with every density value at zero (the
    // legend and the scale stay as they are); no key-price line is laid over it.
    ChartOverlay drawn = chart->Overlay();
    drawn.price_lines.clear();
    ChartOverlay flat = drawn;
    for (auto& point : flat.density) {
        point.second = 0.0;
    }
    chart->SetData(right->Model().SharedHistogram(1), drawn);
    chart->Update();
    const QImage with = chart->Picture().copy();
    chart->SetData(right->Model().SharedHistogram(1), flat);
    chart->Update();
    const QImage without = chart->Picture().copy();
    ASSERT_EQ(with.size(), without.size());
    Keep(with, (std::string("histogram_density_") + c.name + ".png").c_str());
    // A pixel of the curve within two of a point (a strike label drawn over it hides a few).
    const auto curve_near = [&](double x, int y) {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint at(static_cast<int>(std::lround(x)) + dx, y + dy);
                if (with.rect().contains(at) && with.pixel(at) != without.pixel(at)) {
                    return true;
                }
            }
        }
        return false;
    };
    const int left = scale.ValueToX(scale.vmin);
    const double width = 0.9 * (scale.ValueToX(scale.vmax) - left);
    // Its own scale: the peak nine tenths across, level with the mode.
    EXPECT_TRUE(curve_near(left + width, scale.StrikeToY(scaled_mode) + chart->PlotTop()))
        << "mode " << mode << " shown " << *shown_mode;
    // And every inner strike of the grid within the plot where its price and value put it.
    int inside = 0;
    int met = 0;
    for (std::size_t k = 0; k < density.density.size(); ++k) {
        const auto shown = common::ParseDouble(analytics::ShownPrice(
            density.grid[k + 1], symbol, forward_point, common::PriceTypeFromCode(c.price_type)));
        const std::int64_t scaled = shown ? std::llround(*shown * factor) : -1;
        if (scaled < scale.kmin || scaled > scale.kmax) {
            continue;
        }
        ++inside;
        met += curve_near(left + width * std::max(0.0, density.density[k]) / *peak,
                          scale.StrikeToY(scaled) + chart->PlotTop())
                   ? 1
                   : 0;
    }
    ASSERT_GE(inside, 20);
    EXPECT_GE(met, inside * 9 / 10) << "of " << inside;

    // Each bar's tooltip ends with both chances: beyond the price as seen from the forward, so
    // they fall away from it on both sides of the axis (also where it runs inverted), and the
    // chance of touching is twice that of finishing beyond, at most certain.
    const auto shown_forward = common::ParseDouble(analytics::ShownPrice(
        figures.forward, symbol, forward_point, common::PriceTypeFromCode(c.price_type)));
    ASSERT_TRUE(shown_forward);
    std::map<double, double> below_forward;  // shown price -> chance beyond, in percent
    std::map<double, double> above_forward;
    const analytics::HistogramData& data = chart->Data();
    for (std::size_t i = 0; i < data.axis.size() && data.axis[i] > 0.0; ++i) {
        if (data.put[i] == 0.0 && data.call[i] == 0.0) {
            continue;
        }
        const QString tip = right->BarText(1, static_cast<int>(i));
        const auto chances = Chances(tip);
        ASSERT_TRUE(chances) << tip.toStdString();
        EXPECT_NEAR(chances->second, std::min(100.0, 2.0 * chances->first), 0.11)
            << tip.toStdString();
        (data.axis[i] < *shown_forward ? below_forward : above_forward)[data.axis[i]] =
            chances->first;
    }
    ASSERT_GE(below_forward.size() + above_forward.size(), 5u);
    double previous = 101.0;
    for (auto at = above_forward.begin(); at != above_forward.end(); ++at) {
        EXPECT_LE(at->second, previous + 0.1) << "above the forward at " << at->first;
        previous = at->second;
    }
    previous = 101.0;
    for (auto at = below_forward.rbegin(); at != below_forward.rend(); ++at) {
        EXPECT_LE(at->second, previous + 0.1) << "below the forward at " << at->first;
        previous = at->second;
    }
    // The farthest bar on either side is the least likely to be passed.
    for (const auto* side : {&below_forward, &above_forward}) {
        if (side->size() >= 3) {
            const double far =
                side == &below_forward ? side->begin()->second : side->rbegin()->second;
            EXPECT_LT(far, 50.0) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    PriceTypes, HistogramDensityTest,
    testing::Values(DensityCase{0, 0, 1, "EUR_Futures"}, DensityCase{0, 1, 0, "EUR_Standart"},
                    DensityCase{0, 2, 1, "EUR_Forex"}, DensityCase{4, 2, 0, "JPY_Forex"},
                    DensityCase{3, 2, 1, "CAD_Forex"}),
    [](const testing::TestParamInfo<DensityCase>& c) { return std::string(c.param.name); });

TEST_F(ProbabilityChartsTest, TheDensitySwitchHidesTheCurveOnEveryChart) {
    StartedProgram program(home_->Folder());
    ShowEurContract(program);
    RightPanelWidget* right = program.Window().Area(0)->RightPanel();
    right->Tabs()->setCurrentIndex(0);
    test::WaitForViews();
    ASSERT_TRUE(right->DensityShown());
    const ChartOverlay& drawn = right->Chart(1)->Overlay();
    ASSERT_FALSE(drawn.density.empty());
    EXPECT_EQ(drawn.density_name, "Settlement density");
    right->SetDensityShown(false);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(right->Chart(n)->Overlay().density.empty()) << n;
    }
    // The chances stay: they belong to the bars, not to the curve.
    const analytics::HistogramData& data = right->Chart(1)->Data();
    std::size_t bar = 0;
    while (bar < data.axis.size() && data.put[bar] == 0.0 && data.call[bar] == 0.0) {
        ++bar;
    }
    ASSERT_LT(bar, data.axis.size());
    EXPECT_TRUE(right->BarText(1, static_cast<int>(bar)).contains("\nChance of touching: "));
    right->SetDensityShown(true);
    EXPECT_FALSE(right->Chart(1)->Overlay().density.empty());
}

TEST_F(ProbabilityChartsTest, EachKeyPriceLinesTooltipNamesItAndTellsItsChances) {
    StartedProgram program(home_->Folder());
    ShowEurContract(program);
    RightPanelWidget* right = program.Window().Area(0)->RightPanel();
    right->Tabs()->setCurrentIndex(0);
    test::WaitForViews();
    HistogramChart* chart = right->Chart(1);
    const std::vector<PriceLine>& lines = chart->Overlay().price_lines;
    ASSERT_GE(lines.size(), 3u);
    const HistogramScale& scale = chart->Scale();
    const double factor = PowerOfTen(scale.ds);
    int pointed = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const QString tip = right->LineText(1, static_cast<int>(k));
        // Named also where the legend names it once for two lines (the borders).
        EXPECT_FALSE(tip.startsWith(": ")) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QString::fromStdString(common::FormatShort(lines[k].price)) +
                                 "\nChance of finishing beyond: ") &&
                    tip.contains("%\nChance of touching: "))
            << tip.toStdString();
        // Near the plot's right edge, clear of the bars, the pointer finds the line itself.
        const int y = scale.StrikeToY(std::llround(lines[k].price * factor));
        if (y < scale.TopY() || y > scale.BottomY()) {
            continue;
        }
        const QPoint at = chart->contentsRect().topLeft() +
                          QPoint(scale.ValueToX(scale.vmax) - 3, y + 1) +
                          QPoint(0, chart->PlotTop());
        if (chart->PositionAt(at) >= 0) {
            continue;  // a bar's tooltip there, which carries the same chances
        }
        const int found = chart->PriceLineAt(at);
        ASSERT_GE(found, 0) << lines[k].name;
        EXPECT_EQ(
            scale.StrikeToY(std::llround(lines[static_cast<std::size_t>(found)].price * factor)),
            y);
        ++pointed;
    }
    EXPECT_GE(pointed, 1);
}

}  // namespace
}  // namespace zarvex::ui
