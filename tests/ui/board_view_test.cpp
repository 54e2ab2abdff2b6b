#include "ui/board/board_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "analytics/board/board_files.h"
#include "app/gui/desktop_notifier.h"
#include "app/gui/main_window.h"
#include "common/config_folder.h"
#include "common/text.h"
#include "gui_fixture.h"
#include "qt_app.h"
#include "ui/board/alert_rules_dialog.h"
#include "ui/board/oi_heatmap.h"
#include "ui/canvas_grid.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"

namespace zarvex {
namespace {

analytics::FigureId Named(std::string_view key) {
    return analytics::FigureByKey(key).value();
}

using gui::MainWindow;
using test::GeneratedHome;
using test::StartedProgram;

class BoardViewTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new GeneratedHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    // The board shown by its entry in the tool strip, after the six instruments.
    static ui::BoardView* OpenBoard(MainWindow& window) {
        ui::CanvasGrid* strip = window.TabStrip();
        EXPECT_EQ(strip->ItemText(MainWindow::kBoardTab), "Board");
        QTest::mouseClick(strip, Qt::LeftButton, {},
                          strip->ItemRect(MainWindow::kBoardTab).center());
        test::WaitForViews();
        return window.Board();
    }

    static GeneratedHome* home_;
};

GeneratedHome* BoardViewTest::home_ = nullptr;

TEST_F(BoardViewTest, EverySymbolsFrontContractIsARowAndAClickShowsItsPanel) {
    const auto rules = analytics::AlertRulesPath(common::UserConfigFolder());
    std::filesystem::create_directories(rules.parent_path());
    std::ofstream(rules) << "GBP front call_oi above 0\nGBP front nothing above 0\n";
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    ui::BoardView* board = OpenBoard(window);
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(board->isVisible());
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(window.Area(i)->isVisible()) << i;
    }
    EXPECT_EQ(board->Board().date, GeneratedHome::kSecondDay);
    QTableWidget* summary = board->Summary();
    ASSERT_EQ(summary->rowCount(), 6);
    for (int row = 0; row < 6; ++row) {
        const analytics::SymbolBoard& symbol =
            board->Board().symbols[static_cast<std::size_t>(row)];
        EXPECT_EQ(summary->item(row, 0)->text().toStdString(), symbol.symbol);
        EXPECT_EQ(summary->item(row, 1)->text().toStdString(), symbol.Front()->contract);
        // The CALL level's cell: its text, and an arrow when it moved.
        const QString level = summary->item(row, 3)->text();
        EXPECT_TRUE(level.startsWith(QString::fromStdString(
            std::string(common::Trim(symbol.Front()->today[Named("call_level")].text)))))
            << level.toStdString();
    }
    ASSERT_EQ(board->Alerts()->count(), 1);
    EXPECT_TRUE(board->Alerts()->item(0)->text().startsWith("GBP "));

    // A click on GBP's row shows GBP's panel on that contract and day.
    const QRect gbp = summary->visualItemRect(summary->item(1, 1));
    QTest::mouseClick(summary->viewport(), Qt::LeftButton, {}, gbp.center());
    EXPECT_FALSE(board->isVisible());
    ASSERT_TRUE(window.Area(1)->isVisible());
    ui::LeftPanelWidget* left = window.Area(1)->LeftPanel();
    EXPECT_EQ(left->ContractList()->currentText(), summary->item(1, 1)->text());
    EXPECT_EQ(left->DatePicker()->date(), QDate(2012, 12, 6));
    std::filesystem::remove(rules);
}

TEST_F(BoardViewTest, TheHeatmapNamesItsCellsAndAClickShowsThatContract) {
    StartedProgram program(home_->Folder());
    MainWindow& window = program.Window();
    ui::BoardView* board = OpenBoard(window);
    board->resize(1100, 700);
    board->MapSymbol()->setCurrentIndex(0);
    test::WaitForViews();
    ui::OiHeatmap* heatmap = board->Heatmap();
    const analytics::OiMap& map = heatmap->Map();
    ASSERT_FALSE(map.strikes.empty());
    ASSERT_GE(map.contracts.size(), 2u);
    // The highest strike is drawn on top; the last contract at the right.
    const ui::HeatmapLayout layout = heatmap->Layout();
    const QPoint top_right(layout.grid.right() - 1, layout.grid.top() + 1);
    const std::size_t last = map.contracts.size() - 1;
    const QString tip = heatmap->ToolTipAt(top_right);
    EXPECT_TRUE(tip.contains(QString::fromStdString(map.contracts[last]))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::number(map.cells.back()[last])));
    EXPECT_TRUE(tip.contains("Sum: " + QString::number(map.sums.back())));
    EXPECT_TRUE(heatmap->ToolTipAt(QPoint(1, 1)).isEmpty());
    EXPECT_NE(heatmap->ColourOf(0), heatmap->ColourOf(map.sums.back()));

    board->MapChange()->setCurrentIndex(1);
    test::WaitForViews();
    EXPECT_EQ(heatmap->Map().change, 1);
    EXPECT_EQ(heatmap->Map().compare_date, GeneratedHome::kFirstDay);

    QTest::mouseClick(heatmap, Qt::LeftButton, {}, top_right);
    ASSERT_TRUE(window.Area(0)->isVisible());
    EXPECT_EQ(window.Area(0)->LeftPanel()->ContractList()->currentText().toStdString(),
              map.contracts[last]);
}

TEST_F(BoardViewTest, TheRulesDialogNamesBrokenLinesAndSavesTheText) {
    test::TempFolder folder;
    const auto path = folder / "alerts.txt";
    const common::TextTable texts(common::Language::kRussian);
    ui::AlertRulesDialog dialog(path, texts);
    // A new file starts with its explaining header, which is all comments.
    EXPECT_TRUE(dialog.Editor()->toPlainText().startsWith("# "));
    EXPECT_TRUE(dialog.Problems()->text().isEmpty());
    dialog.Editor()->setPlainText(
        "EUR front call_level above 1.3\nEUR front call_level upward 1\n");
    EXPECT_FALSE(dialog.Check());
    EXPECT_TRUE(dialog.Problems()->text().contains("line 2: unknown test"));
    EXPECT_TRUE(dialog.Problems()->text().startsWith("Строки с ошибками"));
    EXPECT_TRUE(dialog.Save());
    std::ifstream in(path);
    std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "EUR front call_level above 1.3\nEUR front call_level upward 1\n");
}

TEST_F(BoardViewTest, WithoutASessionBusAlertsStayInTheStatusBar) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    std::vector<QString> statuses;
    int done = 0;
    gui::DesktopNotifier notifier([&](const day::EveningReport&) { ++done; },
                                  [&](const QString& text) { statuses.push_back(text); }, "off");
    day::EveningReport report;
    report.fired.resize(2);
    notifier.EveningDone(report);
    notifier.EveningDone(report);
    EXPECT_EQ(done, 2);
    // Said once, not at every evening.
    EXPECT_EQ(statuses, std::vector<QString>{"off"});
}

}  // namespace
}  // namespace zarvex
