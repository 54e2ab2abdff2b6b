#include "app/gui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <thread>

#include "analytics/left_panel/left_panel_model.h"
#include "app/gui/help_link.h"
#include "app/gui/qt_host.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "settings/settings_record.h"
#include "ui/canvas_grid.h"
#include "ui/gui_fixture.h"
#include "ui/histogram_chart.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"
#include "ui/settings_dialog.h"
#include "ui/status_bar.h"

namespace zarvex::gui {
namespace {

using test::GeneratedHome;
using test::StartedProgram;

struct ScreenCase {
    std::string name;
    QRect available;  // the screen without its task bar
    QRect frame;      // the window's outer frame
};

class MainWindowFrameTest : public testing::TestWithParam<ScreenCase> {};

TEST_P(MainWindowFrameTest, AtMost1280By720CentredWithTheFrameInside) {
    const ScreenCase& screen = GetParam();
    EXPECT_EQ(MainWindowFrame(screen.available), screen.frame);
    // The controls get what the window manager's frame leaves.
    const QMargins decoration(4, 28, 4, 4);
    const QRect inner = MainWindowInner(screen.available, decoration);
    EXPECT_EQ(inner.marginsAdded(decoration), screen.frame);
    EXPECT_TRUE(screen.available.contains(inner.marginsAdded(decoration)));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, MainWindowFrameTest,
    testing::Values(ScreenCase{"FullHdWithBottomBar", {0, 0, 1920, 1040}, {320, 160, 1280, 720}},
                    // The laptop: before, the frame came on top of 720 and the status bar went
                    // under the task bar.
                    ScreenCase{"LaptopWithBottomBar", {0, 0, 1366, 728}, {43, 4, 1280, 720}},
                    ScreenCase{"Xga", {0, 0, 1024, 768}, {0, 24, 1024, 720}},
                    ScreenCase{"XgaWithLeftBar", {48, 0, 976, 768}, {48, 24, 976, 720}},
                    ScreenCase{"Svga", {0, 0, 800, 600}, {0, 0, 800, 600}},
                    ScreenCase{"Sxga", {0, 0, 1280, 1024}, {0, 152, 1280, 720}}),
    [](const testing::TestParamInfo<ScreenCase>& param_info) { return param_info.param.name; });

// Picks the day in the date picker as a user does: the day, then Enter.
void CommitDay(QDateEdit* picker, QDate day) {
    picker->setDate(day);
    QTest::keyClick(picker, Qt::Key_Return);
}

// One program folder with data for all the window's tests; tests that change settings make
// their own.
class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new GeneratedHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    static GeneratedHome* home_;
};

GeneratedHome* MainWindowTest::home_ = nullptr;

TEST_F(MainWindowTest, StartUpBuildsTheWindowAsLaidOut) {
    StartedProgram program(home_->Folder());
    ASSERT_EQ(program.Outcome(), Startup::Outcome::kRunning);
    using Step = std::pair<int, std::string>;
    EXPECT_EQ(program.Program().ProgressSteps(),
              (std::vector<Step>{{15, "Preparing to run ..."},
                                 {30, "Library Initialization..."},
                                 {45, "Create a main window..."},
                                 {60, "Creating a status bar..."},
                                 {75, "Creating tool tabs..."},
                                 {90, "Please wait..."},
                                 {100, "Running the application..."}}));
    EXPECT_EQ(program.Program().Splash(), nullptr);
    EXPECT_EQ(program.Messages(), std::vector<std::string>{
                                      "Information: The program requires an internet connection."});

    MainWindow& window = program.Window();
    EXPECT_EQ(window.windowTitle(), "Zarvex ver.2.17");
    EXPECT_EQ(window.objectName(), "60");
    EXPECT_TRUE(window.isVisible());
    const int w = window.width();
    const int h = window.height();
    const ui::StatusBar* bar = window.StatusBarControl();
    // "Data source" stands left of Property and takes its width from the status bar.
    EXPECT_EQ(bar->geometry(), QRect(0, h - 22, w - 81 - 101, 22));
    EXPECT_EQ(window.DataSourceButton()->geometry(), QRect(w - 181, h - 22, 100, 22));
    EXPECT_EQ(window.DataSourceButton()->text(), "Data source");
    EXPECT_EQ(bar->LabelField()->text(), "Program status:");
    // The panels' texts follow the start-up text; the last one says the program is ready.
    EXPECT_TRUE(bar->StatusText().endsWith("The program is prepared to use."))
        << bar->StatusText().toStdString();
    EXPECT_EQ(window.PropertyButton()->geometry(), QRect(w - 80, h - 22, 80, 22));
    EXPECT_EQ(window.PropertyButton()->text(), "Property");
    EXPECT_EQ(window.PropertyButton()->objectName(), "260");
    EXPECT_EQ(window.HelpLabel()->geometry(), QRect(w - 170, 2, 45, 15));
    EXPECT_EQ(window.HelpLinkControl()->geometry(), QRect(w - 170, 2, 45, 15));
    EXPECT_EQ(window.HelpLinkControl()->objectName(), "1310");
    EXPECT_EQ(window.HelpLabel()->objectName(), "1360");

    const ui::CanvasGrid* strip = window.TabStrip();
    EXPECT_EQ(strip->objectName(), "1210");
    EXPECT_EQ(strip->geometry(), QRect(0, 0, strip->ContentThickness(), h - 22));
    EXPECT_EQ(strip->State(ui::CanvasGrid::kQuerySelected), 0);
    EXPECT_EQ(strip->ItemTextColour(0), QColor(0, 0, 255));
    const std::array<int, 6> numbers{760, 810, 710, 960, 860, 910};
    for (int i = 0; i < 6; ++i) {
        const ui::InstrumentArea* area = window.Area(i);
        EXPECT_EQ(area->objectName().toInt(), numbers[static_cast<std::size_t>(i)]);
        EXPECT_EQ(area->geometry(), QRect(strip->width(), 0, w - strip->width(), h - 22));
        EXPECT_EQ(area->LeftPanel()->objectName().toInt(),
                  numbers[static_cast<std::size_t>(i)] + 1);
        EXPECT_EQ(area->RightPanel()->objectName().toInt(),
                  numbers[static_cast<std::size_t>(i)] + 2);
        EXPECT_EQ(area->isVisible(), i == 0) << i;
        EXPECT_FALSE(area->ShowsNoDays()) << i;
    }
}

TEST_F(MainWindowTest, NoNetworkBoxStandsAboveTheStartUpWindow) {
    bool answered = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        EXPECT_EQ(box->windowTitle(), "Information");
        // Over the start-up window, which stays on top: so must the box.
        ASSERT_NE(box->parentWidget(), nullptr);
        EXPECT_EQ(box->parentWidget()->objectName(), "startupWindow");
        EXPECT_TRUE(box->parentWidget()->isVisible());
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        answered = true;
        box->accept();
    });
    poll.start();
    StartedProgram program(home_->Folder(), "eng", "", StartedProgram::Boxes::kDesktop);
    EXPECT_TRUE(answered);
    EXPECT_EQ(program.Outcome(), Startup::Outcome::kRunning);
}

TEST_F(MainWindowTest, PanelsShowTheLatestDayAndEveryChartIsDrawn) {
    StartedProgram program(home_->Folder());
    ui::InstrumentArea* eur = program.Window().Area(0);
    EXPECT_EQ(eur->LeftPanel()->DatePicker()->date(), QDate(2012, 12, 6));
    // The contract the panel picks expires the next day and has no borders; a later one has.
    QComboBox* contracts = eur->LeftPanel()->ContractList();
    const int later = contracts->findText("JAN13-AM");
    ASSERT_GE(later, 0);
    contracts->setCurrentIndex(later);
    emit contracts->activated(later);
    eur->RightPanel()->BuildPendingHistograms();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_FALSE(eur->RightPanel()->Chart(n)->Analysis().empty) << n;
        EXPECT_FALSE(eur->RightPanel()->ChartCaption(n)->text().isEmpty()) << n;
    }
    EXPECT_EQ(eur->RightPanel()->ChartCaption(1)->text(), "Open interest");
    EXPECT_GT(eur->RightPanel()->CallTable()->rowCount(), 1);
    EXPECT_EQ(eur->RightPanel()
                  ->CallTable()
                  ->item(eur->RightPanel()->CallTable()->rowCount() - 1, 1)
                  ->text(),
              "TOTAL");
}

TEST_F(MainWindowTest, ClickOnCadShowsOnlyCadInBlue) {
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    ui::CanvasGrid* strip = window.TabStrip();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->ItemRect(3).center());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(window.Area(i)->isVisible(), i == 3) << i;
        EXPECT_EQ(window.Area(i)->isEnabled(), i == 3) << i;
        EXPECT_EQ(strip->ItemTextColour(i), i == 3 ? QColor(0, 0, 255) : QColor(0, 0, 0)) << i;
    }
    // The same tab again changes nothing.
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->ItemRect(3).center());
    EXPECT_TRUE(window.Area(3)->isVisible());
}

TEST_F(MainWindowTest, ResizeTo1100WideAreasGivesRightPanelsOf889) {
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    const int strip = window.TabStrip()->width();
    window.resize(1100 + strip, 700);
    for (int i = 0; i < 6; ++i) {
        const ui::InstrumentArea* area = window.Area(i);
        EXPECT_EQ(area->geometry(), QRect(strip, 0, 1100, 678));
        EXPECT_EQ(area->RightPanel()->geometry(), QRect(211, 0, 889, 678)) << i;
        EXPECT_EQ(area->LeftPanel()->geometry(), QRect(0, 0, 210, 678)) << i;
    }
    EXPECT_EQ(window.StatusBarControl()->geometry(), QRect(0, 678, 1100 + strip - 81 - 101, 22));
    EXPECT_EQ(window.PropertyButton()->geometry(), QRect(1100 + strip - 80, 678, 80, 22));
    EXPECT_EQ(window.HelpLinkControl()->pos(), QPoint(1100 + strip - 170, 2));
    EXPECT_EQ(window.TabStrip()->height(), 678);
}

// Answers the settings dialog as soon as it is open.
void AnswerDialog(bool save, std::function<void(ui::SettingsDialog&)> edit = {}) {
    QTimer::singleShot(0, [save, edit] {
        auto* dialog = qobject_cast<ui::SettingsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // Open over the main window, which takes no input meanwhile.
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        EXPECT_NE(qobject_cast<MainWindow*>(dialog->parentWidget()), nullptr);
        if (edit) {
            edit(*dialog);
        }
        (save ? dialog->OkButton() : dialog->CancelButton())->click();
    });
}

TEST_F(MainWindowTest, PropertyCancelledPassesSettingsButKeepsTheHistograms) {
    GeneratedHome home;
    StartedProgram program(home.Folder());
    MainWindow& window = program.Window();
    ui::InstrumentArea* eur = window.Area(0);
    // Settings changed behind the dialog's back: the left panel gets them even on Cancel.
    settings::SettingsRecord& record = eur->Instrument().Settings();
    record.SetLevelCond("oi>2000 AND sign>=0");
    record.SetParam(1, 2);
    AnswerDialog(false,
                 [](ui::SettingsDialog& dialog) { dialog.ParamList(1)->setCurrentIndex(4); });
    window.PropertyButton()->click();
    EXPECT_EQ(eur->LeftPanel()->Model().Settings().level_cond, "oi>2000 AND sign>=0");
    EXPECT_EQ(eur->RightPanel()->ChartCaption(1)->text(), "Open interest");
    EXPECT_EQ(record.Param(1), 2);
}

TEST_F(MainWindowTest, PropertySavedRebuildsTheHistograms) {
    GeneratedHome home;
    StartedProgram program(home.Folder());
    MainWindow& window = program.Window();
    ui::InstrumentArea* eur = window.Area(0);
    AnswerDialog(true, [](ui::SettingsDialog& dialog) {
        dialog.ParamList(1)->setCurrentIndex(2);
        dialog.LevelField()->setText("oi>3000");
    });
    window.PropertyButton()->click();
    EXPECT_EQ(eur->RightPanel()->ChartCaption(1)->text(), "Volume");
    EXPECT_EQ(eur->LeftPanel()->Model().Settings().level_cond, "oi>3000");
    EXPECT_EQ(eur->Instrument().Settings().Param(1), 2);
    // Both panels refer to the record's own values, which the dialog changed in place.
    EXPECT_EQ(&eur->LeftPanel()->Model().Settings(), &eur->Instrument().Settings().Values());
    EXPECT_EQ(&eur->RightPanel()->Model().Input().Settings(),
              &eur->Instrument().Settings().Values());
    EXPECT_FALSE(window.IsInputBlocked());
}

// Runs the work on a thread of its own while the main thread serves it.
void FromWorker(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    worker.join();
}

TEST_F(MainWindowTest, StatusFromAWorkerInIdleAndInBusyColours) {
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    QtHost& host = program.Program().Host();
    const ui::StatusBar* bar = window.StatusBarControl();
    const QColor idle_background = QApplication::palette().color(QPalette::Window);

    FromWorker([&] { host.NotifyStatus("Waiting."); });
    EXPECT_EQ(bar->StatusText(), " Waiting.");
    EXPECT_EQ(bar->StatusTextColour(), QColor(0, 0, 0));
    EXPECT_EQ(bar->StatusBackground(), idle_background);

    FromWorker([&] {
        host.Enter();
        host.NotifyStatus("Loading data for 06.12.2012");
    });
    EXPECT_EQ(bar->StatusText(), " Loading data for 06.12.2012");
    EXPECT_EQ(bar->StatusTextColour(), QColor(255, 0, 0));
    EXPECT_EQ(bar->StatusBackground(), QColor(255, 255, 200));
    test::ProcessEventsFor(std::chrono::milliseconds(20));
    EXPECT_TRUE(window.IsInputBlocked());
    // Locked: a click on a tab does nothing.
    ui::CanvasGrid* strip = window.TabStrip();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->ItemRect(2).center());
    EXPECT_FALSE(window.Area(2)->isVisible());

    FromWorker([&] { host.Leave(); });
    test::ProcessEventsFor(std::chrono::milliseconds(20));
    EXPECT_FALSE(window.IsInputBlocked());
    host.NotifyStatus("Ready.");
    EXPECT_EQ(bar->StatusTextColour(), QColor(0, 0, 0));
}

TEST_F(MainWindowTest, ClosedHostReleasesWaitingWorkers) {
    StartedProgram program(home_->Folder());
    QtHost& host = program.Program().Host();
    host.Close();
    // Nobody serves the call now: it returns at once instead of waiting for ever.
    std::thread worker([&] { host.NotifyStatus("late"); });
    worker.join();
    EXPECT_NE(program.Window().StatusBarControl()->StatusText(), " late");
}

TEST_F(MainWindowTest, HistogramNotificationRebuildsOnlyValidIndexes) {
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    QtHost& host = program.Program().Host();
    ui::RightPanelWidget* gbp = window.Area(1)->RightPanel();
    gbp->BuildPendingHistograms();
    gbp->Chart(1)->ClearData();
    gbp->Chart(1)->Update();
    FromWorker([&] {
        host.NotifyHistograms(7);
        host.NotifyHistograms(-1);
    });
    EXPECT_TRUE(gbp->Chart(1)->Analysis().empty);
    FromWorker([&] { host.NotifyHistograms(1); });
    EXPECT_FALSE(gbp->Chart(1)->Analysis().empty);
}

TEST_F(MainWindowTest, DownloadedDaysAreProcessedAndPanelsFollowTheLatestDay) {
    test::TempProgramFolder empty;
    StartedProgram program(empty.Folder());
    MainWindow& window = program.Window();
    QtHost& host = program.Program().Host();
    ui::LeftPanelWidget* eur = window.Area(0)->LeftPanel();
    // A new quote database holds only its seed row.
    ASSERT_EQ(eur->Model().Date(), "03.12.2012");

    // The scheduler has downloaded the 30 days before Friday 7 December and that day itself.
    const common::Date friday = GeneratedHome::kSecondDay + 86400;
    reportgen::GeneratorOptions small;
    small.strikes = 6;
    reportgen::ReportGenerator generator(small);
    for (common::Date day : reportgen::TradingDays(friday - 30 * 86400, friday)) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator.Generate(day), empty.Path(), &error))
            << error;
    }
    window.SetCurrentDay([friday] { return friday; });
    FromWorker([&] { host.NotifyDownloaded(static_cast<common::DownloadedDays>(3)); });
    EXPECT_EQ(eur->Model().Date(), "03.12.2012");

    FromWorker([&] { host.NotifyDownloaded(static_cast<common::DownloadedDays>(1)); });
    EXPECT_EQ(eur->Model().Date(), "06.12.2012");
    EXPECT_EQ(window.Instruments()->StoredDate(), friday);
    EXPECT_FALSE(window.Area(0)->RightPanel()->Model().Input().contract.empty());

    FromWorker([&] { host.NotifyDownloaded(static_cast<common::DownloadedDays>(2)); });
    test::ProcessEventsFor(std::chrono::milliseconds(50));
    EXPECT_EQ(eur->Model().Date(), "07.12.2012");
    // Ready again, in the idle colours.
    EXPECT_TRUE(
        window.StatusBarControl()->StatusText().endsWith("The program is prepared to use."));
    EXPECT_EQ(window.StatusBarControl()->StatusTextColour(), QColor(0, 0, 0));
    EXPECT_EQ(window.Area(5)->LeftPanel()->Model().Date(), "07.12.2012");

    // A day the user picked stays.
    CommitDay(eur->DatePicker(), QDate(2012, 12, 5));
    FromWorker([&] { host.NotifyDownloaded(static_cast<common::DownloadedDays>(2)); });
    EXPECT_EQ(eur->Model().Date(), "05.12.2012");
    EXPECT_EQ(program.Messages().size(), 1u);
    EXPECT_FALSE(window.IsInputBlocked());
}

TEST_F(MainWindowTest, DayWithoutDataShowsTheMessageAndFallsBack) {
    StartedProgram program(home_->Folder());
    ui::LeftPanelWidget* left = program.Window().Area(0)->LeftPanel();
    CommitDay(left->DatePicker(), QDate(2012, 12, 8));
    ASSERT_EQ(program.Messages().size(), 2u);
    EXPECT_EQ(program.Messages()[1],
              "Message: For the selected date there is no data.\nPlease try again...");
    EXPECT_EQ(left->DatePicker()->date(), QDate(2012, 12, 6));
    CommitDay(left->DatePicker(), QDate(2012, 12, 5));
    EXPECT_EQ(left->Model().Date(), "05.12.2012");
    EXPECT_EQ(program.Messages().size(), 2u);
}

TEST_F(MainWindowTest, ContractChosenInTheDropDownIsCalculated) {
    StartedProgram program(home_->Folder());
    ui::InstrumentArea* eur = program.Window().Area(0);
    QComboBox* contracts = eur->LeftPanel()->ContractList();
    ASSERT_GT(contracts->count(), 1);
    const int other = contracts->currentIndex() == 0 ? 1 : 0;
    contracts->setCurrentIndex(other);
    emit contracts->activated(other);
    EXPECT_EQ(eur->LeftPanel()->Model().Contract(), contracts->itemText(other).toStdString());
    EXPECT_EQ(eur->RightPanel()->Model().Input().contract,
              contracts->itemText(other).toStdString());
}

TEST_F(MainWindowTest, HelpLinkOpensTheHelpPage) {
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    QUrl opened;
    window.SetUrlOpener([&opened](const QUrl& url) { opened = url; });
    HelpLink* link = window.HelpLinkControl();
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    EXPECT_TRUE(opened.isLocalFile());
    EXPECT_TRUE(opened.toLocalFile().endsWith("help.html"));
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 255));
}

TEST_F(MainWindowTest, RussianWindow) {
    StartedProgram program(home_->Folder(), "rus");
    MainWindow& window = program.Window();
    EXPECT_EQ(window.PropertyButton()->text(), QString::fromUtf8("Свойства"));
    EXPECT_EQ(window.HelpLabel()->text(), QString::fromUtf8("Справка"));
    EXPECT_EQ(window.StatusBarControl()->LabelField()->text(),
              QString::fromUtf8("Статус программы: "));
    EXPECT_EQ(program.Messages().at(0),
              "Информация: Для работы программы требуется подключение к интернету.");
}

}  // namespace
}  // namespace zarvex::gui
