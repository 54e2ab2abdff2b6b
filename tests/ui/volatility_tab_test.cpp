#include "ui/volatility/volatility_tab.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <cmath>

#include "analytics/volatility/volatility_store.h"
#include "app/gui/main_window.h"
#include "common/date.h"
#include "ui/gui_fixture.h"
#include "ui/histogram_chart.h"
#include "ui/history/history_tab.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"
#include "ui/volatility/series_chart.h"
#include "ui/volatility/smile_chart.h"
#include "ui/volatility/vol_history_chart.h"
#include "ui/volatility/vol_memory_view.h"

namespace zarvex::ui {
namespace {

using test::StartedProgram;

class VolatilityTabTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new test::GeneratedHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    static RightPanelWidget* ShowEurContract(StartedProgram& program) {
        InstrumentArea* eur = program.Window().Area(0);
        QComboBox* contracts = eur->LeftPanel()->ContractList();
        const int later = contracts->findText("MAR13-AM");
        EXPECT_GE(later, 0);
        contracts->setCurrentIndex(later);
        emit contracts->activated(later);
        eur->RightPanel()->BuildPendingHistograms();
        eur->RightPanel()->Tabs()->setCurrentIndex(3);
        QCoreApplication::processEvents();
        test::WaitForViews();
        return eur->RightPanel();
    }

    static test::GeneratedHome* home_;
};

test::GeneratedHome* VolatilityTabTest::home_ = nullptr;

TEST_F(VolatilityTabTest, ShowsTheSmileItsFiguresAndTheModelColumnsOfTheTables) {
    StartedProgram program(home_->Folder());
    RightPanelWidget* panel = ShowEurContract(program);
    EXPECT_EQ(panel->Tabs()->tabText(3), "Volatility");
    VolatilityTab* tab = panel->Volatility();
    ASSERT_TRUE(tab->Figures());
    const analytics::ContractVolatility& figures = *tab->Figures();
    ASSERT_EQ(figures.status, analytics::VolatilityStatus::kReady);
    ASSERT_TRUE(figures.atm_vol);
    EXPECT_EQ(tab->Table()->item(0, 0)->text(), "Forward F");
    EXPECT_EQ(tab->Table()->item(0, 1)->text(), tab->Shown(figures.forward));
    EXPECT_EQ(tab->Term()->Panes().size(), 2u);

    // The tooltip of the point nearest the money names both sides.
    std::size_t nearest = 0;
    for (std::size_t i = 0; i < figures.points.size(); ++i) {
        if (std::fabs(figures.points[i].quote.strike - figures.forward) <
            std::fabs(figures.points[nearest].quote.strike - figures.forward)) {
            nearest = i;
        }
    }
    const QString tip = tab->PointText(static_cast<int>(nearest));
    EXPECT_TRUE(tip.startsWith("Strike: ")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("\nCALL: Price ") && tip.contains("\nPUT: Price ") &&
                tip.contains("Delta (report)"))
        << tip.toStdString();

    // The CALL table's model columns: the row of that strike shows its volatility in percent.
    QTableWidget* calls = panel->CallTable();
    ASSERT_EQ(calls->columnCount(), 14);
    EXPECT_EQ(calls->horizontalHeaderItem(9)->text(), "IV");
    const analytics::VolatilityPoint& point = figures.points[nearest];
    ASSERT_TRUE(point.call.vol);
    bool found = false;
    for (int row = 0; row < calls->rowCount(); ++row) {
        if (std::fabs(calls->item(row, 1)->text().toDouble() - point.quote.strike) < 1e-9) {
            EXPECT_EQ(calls->item(row, 9)->text(), QString::number(*point.call.vol * 100, 'f', 2));
            EXPECT_FALSE(calls->item(row, 13)->text().isEmpty());
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(VolatilityTabTest, HistogramsCarryTheBandsUntilSwitchedOff) {
    StartedProgram program(home_->Folder());
    RightPanelWidget* panel = ShowEurContract(program);
    const std::vector<double>& bands = panel->Chart(1)->Overlay().bands;
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_TRUE(std::is_sorted(bands.begin(), bands.end()));
    ASSERT_TRUE(panel->BandsSwitch()->isChecked());
    panel->BandsSwitch()->setChecked(false);
    EXPECT_TRUE(panel->Chart(1)->Overlay().bands.empty());
    panel->BandsSwitch()->setChecked(true);
    EXPECT_EQ(panel->Chart(1)->Overlay().bands.size(), 4u);

    // The History page's volatility chart has a value for each stored day of the contract.
    panel->Tabs()->setCurrentIndex(2);
    QCoreApplication::processEvents();
    test::WaitForViews();
    const auto& panes = panel->History()->VolatilityChart()->Panes();
    ASSERT_EQ(panes.size(), 2u);
    ASSERT_EQ(panes[0].series.size(), 1u);
    EXPECT_EQ(panes[0].series[0].values.size(), panel->History()->History().days.size());
    EXPECT_TRUE(panes[0].series[0].values.back().has_value());
}

TEST_F(VolatilityTabTest, ItsSecondPageSetsTheShownDayAgainstTheStoredDaysOnceShown) {
    StartedProgram program(home_->Folder());
    RightPanelWidget* panel = ShowEurContract(program);
    VolatilityTab* tab = panel->Volatility();
    VolMemoryView* memory = tab->Memory();
    EXPECT_FALSE(memory->isVisible());
    EXPECT_TRUE(memory->History()->Days().empty());
    tab->Pages()->setCurrentIndex(1);
    EXPECT_TRUE(memory->isVisible());
    EXPECT_FALSE(tab->Smile()->isVisible());
    test::WaitForViews();
    const std::vector<analytics::VolHistoryDay>& days = memory->History()->Days();
    // The instrument's own store: the report also carries the rows of the day before it.
    ASSERT_EQ(days.size(),
              analytics::LoadVolatilityDays(home_->Folder(), "EUR").value().days.size());
    ASSERT_GE(days.size(), 2u);
    ASSERT_TRUE(memory->History()->Marked());
    EXPECT_EQ(common::DayText(days[*memory->History()->Marked()].date), tab->View().date);
    EXPECT_TRUE(memory->Note()->text().contains("IV rank: not defined: "))
        << memory->Note()->text().toStdString();
    tab->Pages()->setCurrentIndex(0);
    EXPECT_TRUE(tab->Smile()->isVisible());
    EXPECT_FALSE(memory->isVisible());
}

}  // namespace
}  // namespace zarvex::ui
