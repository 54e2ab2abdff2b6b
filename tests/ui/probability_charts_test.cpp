#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QSpinBox>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>

#include "app/gui/main_window.h"
#include "common/config_folder.h"
#include "settings/contract_sizes.h"
#include "ui/gui_fixture.h"
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

}  // namespace
}  // namespace zarvex::ui
