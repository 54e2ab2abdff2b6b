#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

#include "acquisition/next_download.h"
#include "app/gui/main_window.h"
#include "common/date.h"
#include "support/temp_folder.h"
#include "ui/board/board_view.h"
#include "ui/gui_fixture.h"
#include "ui/histogram_chart.h"
#include "ui/history/compare_control.h"
#include "ui/history/history_tab.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/right_panel_widget.h"
#include "ui/status_bar.h"
#include "ui/window_state.h"

namespace zarvex::ui {
namespace {

using test::GeneratedHome;
using test::StartedProgram;

class WindowNavigationTest : public testing::Test {
protected:
    static void SetUpTestSuite() { home_ = std::make_unique<GeneratedHome>(); }
    static void TearDownTestSuite() { home_.reset(); }
    static std::unique_ptr<GeneratedHome> home_;
};
std::unique_ptr<GeneratedHome> WindowNavigationTest::home_;

void PressKeys(QWidget& window, int key, Qt::KeyboardModifiers modifiers) {
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, static_cast<Qt::Key>(key), modifiers);
    QCoreApplication::processEvents();
    test::WaitForViews();
}

TEST_F(WindowNavigationTest, DayKeysAndButtonsWalkTheDaysWithDataWithoutABox) {
    StartedProgram program(home_->Folder());
    gui::MainWindow& window = program.Window();
    LeftPanelWidget* left = window.Area(0)->LeftPanel();
    const std::size_t boxes = program.Messages().size();
    ASSERT_EQ(left->Model().Date(), "06.12.2012");
    EXPECT_FALSE(left->NextDayButton()->isEnabled());
    PressKeys(window, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(left->Model().Date(), "05.12.2012");
    EXPECT_EQ(left->DatePicker()->date(), QDate(2012, 12, 5));
    // Before it only the database's first row of 03.12.2012; nothing before that.
    left->PreviousDayButton()->click();
    EXPECT_EQ(left->Model().Date(), "03.12.2012");
    EXPECT_FALSE(left->PreviousDayButton()->isEnabled());
    left->StepDay(-1);
    EXPECT_EQ(left->Model().Date(), "03.12.2012");
    left->NextDayButton()->click();
    left->NextDayButton()->click();
    EXPECT_EQ(left->Model().Date(), "06.12.2012");
    EXPECT_EQ(program.Messages().size(), boxes);
    // The right panel follows each day.
    EXPECT_EQ(window.Area(0)->RightPanel()->Model().Input().day, common::MakeDate(2012, 12, 6));

    // The calendar shows which days hold data.
    const QCalendarWidget* calendar = left->DatePicker()->calendarWidget();
    EXPECT_EQ(calendar->dateTextFormat(QDate(2012, 12, 5)).fontWeight(), QFont::Bold);
    EXPECT_EQ(calendar->dateTextFormat(QDate(2012, 12, 7)).fontWeight(), QFont::Normal);
    EXPECT_EQ(calendar->weekdayTextFormat(Qt::Friday).foreground().color(),
              QColor(0xA0, 0xA0, 0xA0));
}

TEST_F(WindowNavigationTest, ControlKeysPickInstrumentsAndPages) {
    StartedProgram program(home_->Folder());
    gui::MainWindow& window = program.Window();
    PressKeys(window, Qt::Key_3, Qt::ControlModifier);
    EXPECT_TRUE(window.Area(2)->isVisible());
    EXPECT_FALSE(window.Area(0)->isVisible());
    QTabWidget* tabs = window.Area(2)->RightPanel()->Tabs();
    EXPECT_EQ(tabs->currentIndex(), 0);
    window.StepPage(1);
    EXPECT_EQ(tabs->currentIndex(), 1);
    window.StepPage(-1);
    window.StepPage(-1);
    EXPECT_EQ(tabs->currentIndex(), tabs->count() - 1);  // round from the first to the last
    PressKeys(window, Qt::Key_7, Qt::ControlModifier);
    ASSERT_NE(window.Board(), nullptr);
    EXPECT_TRUE(window.Board()->isVisible());
    EXPECT_FALSE(window.Area(2)->isVisible());
}

TEST_F(WindowNavigationTest, HistoryTableKeysShowTheDayOfTheRow) {
    StartedProgram program(home_->Folder());
    InstrumentArea* eur = program.Window().Area(0);
    eur->RightPanel()->Tabs()->setCurrentIndex(2);
    test::WaitForViews();
    QTableWidget* table = eur->RightPanel()->History()->Table();
    ASSERT_EQ(table->rowCount(), 2);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Up);
    QCoreApplication::processEvents();
    test::WaitForViews();
    EXPECT_EQ(eur->LeftPanel()->Model().Date(), "05.12.2012");
    QTest::keyClick(table, Qt::Key_PageDown);
    QCoreApplication::processEvents();
    test::WaitForViews();
    EXPECT_EQ(eur->LeftPanel()->Model().Date(), "06.12.2012");
    EXPECT_EQ(table->currentRow(), 1);
}

TEST_F(WindowNavigationTest, LeftTablesCopyAndContractsTellTheirExpiration) {
    StartedProgram program(home_->Folder());
    LeftPanelWidget* left = program.Window().Area(0)->LeftPanel();
    const QString first = left->CopyText(0);
    EXPECT_TRUE(first.startsWith(QStringLiteral("Expiration\t") +
                                 QString::fromStdString(left->Model().Context().expiration)))
        << first.toStdString();
    EXPECT_EQ(first.count(QLatin1Char('\n')), 3);
    const QString levels = left->CopyText(3);
    EXPECT_TRUE(levels.startsWith(QStringLiteral("CALL\tPUT\n")));
    EXPECT_FALSE(levels.contains(QStringLiteral("\n\t\n")));  // no empty rows

    QComboBox* contracts = left->ContractList();
    const std::string expiration = left->Model().Context().expiration;
    const long long days =
        (common::ParseDate(expiration, "%dd.%mm.%yyyy") - common::MakeDate(2012, 12, 6)) /
        common::kSecondsPerDay;
    EXPECT_EQ(contracts->itemData(contracts->currentIndex(), Qt::ToolTipRole).toString(),
              QString::fromStdString("Expiration: " + expiration + ", " + std::to_string(days) +
                                     " days to expiry"));
}

TEST_F(WindowNavigationTest, KeyPriceLinesOnChartsOfThePanelsPriceTypeOnly) {
    StartedProgram program(home_->Folder());
    RightPanelWidget* right = program.Window().Area(0)->RightPanel();
    right->BuildPendingHistograms();
    const ChartOverlay& drawn = right->Chart(1)->Overlay();
    ASSERT_FALSE(drawn.price_lines.empty());
    EXPECT_EQ(drawn.price_lines.front().name, "CALL level");
    EXPECT_EQ(drawn.price_lines.back().name, "Max pain");
    EXPECT_TRUE(std::find(drawn.notes.begin(), drawn.notes.end(),
                          "Bars: " + right->Model().HistogramSettingsOf(1).bar_cond) !=
                drawn.notes.end());

    // Another price type in the left panel: no lines, and the legend says why.
    right->SetKeyPrices({common::PriceType::kStandart, drawn.price_lines});
    right->SetKeyPriceLinesShown(false);
    EXPECT_TRUE(right->Chart(1)->Overlay().price_lines.empty());
    right->SetKeyPriceLinesShown(true);
    EXPECT_TRUE(right->Chart(2)->Overlay().price_lines.empty());
    const std::vector<std::string>& notes = right->Chart(2)->Overlay().notes;
    EXPECT_NE(std::find(notes.begin(), notes.end(),
                        "No key-price lines: the left panel shows another price type"),
              notes.end());
}

TEST_F(WindowNavigationTest, ABarConditionThatCannotRunSaysSoUnderItsChart) {
    StartedProgram program(home_->Folder());
    InstrumentArea* area = program.Window().Area(0);
    RightPanelWidget* right = area->RightPanel();
    // The settings the panel refers to, changed in place as the settings dialog changes them.
    area->Instrument().Settings().SetBarCond(1, "oi > ?");
    right->Configure(right->Model().Input());
    const std::vector<std::string>& notes = right->Chart(1)->Overlay().notes;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes.front().starts_with("Bars could not be read: ")) << notes.front();
    EXPECT_NE(notes.front().find("oi > ?"), std::string::npos) << notes.front();
}

TEST_F(WindowNavigationTest, TheWindowRemembersItsStateInItsOwnFile) {
    const test::TempProgramFolder config;
    const QString file = QString::fromStdString((config.Path() / "zarvex" / "window.ini").string());
    {
        StartedProgram program(home_->Folder(), "eng", "", StartedProgram::Boxes::kRecorded, file);
        gui::MainWindow& window = program.Window();
        window.SelectInstrument(1);
        RightPanelWidget* gbp = window.Area(1)->RightPanel();
        gbp->Tabs()->setCurrentIndex(1);
        gbp->Compare()->ChoosePrevious();
        emit gbp->KeyPriceLinesSwitched(false);  // as the chart's menu does
        EXPECT_FALSE(window.Area(4)->RightPanel()->KeyPriceLinesShown());
        // Data of the latest day and when the next download is due.
        EXPECT_EQ(window.StatusBarControl()->NoteField()->text(),
                  "Data of 06.12.2012   Next download: 07.12.2012 22:05");
        window.close();
    }
    ASSERT_TRUE(QFile::exists(file));
    StartedProgram again(home_->Folder(), "eng", "", StartedProgram::Boxes::kRecorded, file);
    gui::MainWindow& window = again.Window();
    EXPECT_TRUE(window.Area(1)->isVisible());
    RightPanelWidget* gbp = window.Area(1)->RightPanel();
    EXPECT_EQ(gbp->Tabs()->currentIndex(), 1);
    EXPECT_EQ(gbp->Compare()->ChoiceText(), "previous");
    EXPECT_FALSE(window.Area(4)->RightPanel()->KeyPriceLinesShown());
    EXPECT_EQ(window.Area(1)->LeftPanel()->Model().Date(), "06.12.2012");
    // Nothing of it in the program folder.
    EXPECT_FALSE(std::filesystem::exists(home_->Path() / "window.ini"));

    // Closed on the Board, it opens on the Board, the instrument before it kept beneath.
    window.SelectInstrument(gui::MainWindow::kBoardTab);
    window.close();
    StartedProgram on_board(home_->Folder(), "eng", "", StartedProgram::Boxes::kRecorded, file);
    EXPECT_TRUE(on_board.Window().Board()->isVisible());
    EXPECT_FALSE(on_board.Window().Area(1)->isVisible());
    EXPECT_EQ(LoadWindowState(file).instrument, 1);
}

struct BrokenState {
    const char* name;
    QByteArray content;
};

class BrokenStateTest : public testing::TestWithParam<BrokenState> {};

TEST_P(BrokenStateTest, GivesTheDefaults) {
    const test::TempProgramFolder folder;
    const QString file = QString::fromStdString((folder.Path() / "window.ini").string());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(GetParam().content);
    out.close();
    const WindowState state = LoadWindowState(file);
    const WindowState defaults;
    EXPECT_EQ(state.instrument, defaults.instrument);
    EXPECT_EQ(state.maximised, defaults.maximised);
    EXPECT_EQ(state.key_price_lines, defaults.key_price_lines);
    for (const InstrumentViewState& instrument : state.instruments) {
        EXPECT_EQ(instrument.tab, 0);
        EXPECT_EQ(instrument.compare, "off");
        EXPECT_TRUE(instrument.contract.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenStateTest,
    testing::Values(
        BrokenState{"Empty", ""}, BrokenState{"Binary", QByteArray("\x00\xff\x01[\x00]=\n", 9)},
        BrokenState{"Foreign", "[General]\nfoo=bar\n[window]\ngeometry=not bytes\n"},
        BrokenState{"OutOfRange",
                    "[window]\ninstrument=99\nmaximised=perhaps\n[histograms]\nkey_price_lines="
                    "2\n[instrument0]\ntab=7\ncompare=31.02.2012\n[instrument1]\ncompare=x\n"},
        BrokenState{"LongContract", "[instrument0]\ncontract=" + QByteArray(5000, 'A') + "\n"}),
    [](const testing::TestParamInfo<BrokenState>& param_info) { return param_info.param.name; });

TEST(NextDownloadTest, IsTheNextTradingDaysEvening) {
    const common::Date five = 22 * 3600 + 5 * 60;
    EXPECT_EQ(acquisition::NextDownloadDue(common::MakeDate(2012, 12, 6), 22, 5),
              common::MakeDate(2012, 12, 7) + five);
    // Friday: the weekend has no report.
    EXPECT_EQ(acquisition::NextDownloadDue(common::MakeDate(2012, 12, 7), 22, 5),
              common::MakeDate(2012, 12, 10) + five);
    EXPECT_EQ(acquisition::NextDownloadDue(common::kInvalidDate, 22, 5), common::kInvalidDate);
}

}  // namespace
}  // namespace zarvex::ui
