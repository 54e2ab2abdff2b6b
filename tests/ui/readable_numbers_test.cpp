// Every number of the window can be read: no option table cell is cut short, the forward
// point fits its field and neighbouring value-axis labels of a chart differ.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <set>

#include "app/gui/main_window.h"
#include "ui/chart/histogram_axis.h"
#include "ui/gui_fixture.h"
#include "ui/histogram_chart.h"
#include "ui/instrument_area.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"

namespace zarvex::ui {
namespace {

// The style draws a cell's text between two margins inside the cell's rectangle (which
// leaves out the grid line) and elides what does not fit there.
bool CellIsCut(const QTableWidget& table, const QTableWidgetItem& item) {
    const int margin =
        table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1;
    const int room = table.visualItemRect(&item).width() - 2 * margin;
    const QFontMetrics metrics(table.font());
    return metrics.elidedText(item.text(), Qt::ElideRight, room) != item.text();
}

class ReadableNumbersTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApplication();
        home_ = new test::GeneratedHome;
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    static test::GeneratedHome* home_;
};

test::GeneratedHome* ReadableNumbersTest::home_ = nullptr;

TEST_F(ReadableNumbersTest, NoOptionTableCellIsCutInTheWindowOf1280By720) {
    test::StartedProgram program(home_->Folder());
    gui::MainWindow& window = program.Window();
    // The fixed widths were measured for a narrow face; this one is wider.
    QFont wide(QStringLiteral("DejaVu Sans"));
    wide.setPixelSize(13);
    for (int i = 0; i < 6; ++i) {
        window.Area(i)->RightPanel()->CallTable()->setFont(wide);
        window.Area(i)->RightPanel()->PutTable()->setFont(wide);
    }
    window.resize(1280, 720);
    for (int i = 0; i < 6; ++i) {
        const RightPanelWidget* panel = window.Area(i)->RightPanel();
        for (const QTableWidget* table : {panel->CallTable(), panel->PutTable()}) {
            ASSERT_GT(table->rowCount(), 1) << i;
            int cells = 0;
            for (int row = 0; row < table->rowCount(); ++row) {
                for (int column = 1; column <= 8; ++column) {
                    const QTableWidgetItem* item = table->item(row, column);
                    if (item == nullptr || item->text().isEmpty()) {
                        continue;
                    }
                    ++cells;
                    EXPECT_FALSE(CellIsCut(*table, *item))
                        << "instrument " << i << " " << table->objectName().toStdString() << " row "
                        << row << " column " << column << ": " << item->text().toStdString()
                        << " in " << table->columnWidth(column);
                }
            }
            EXPECT_GT(cells, 0);
            // The table keeps its room: its columns fill it as the width rule does.
            int rule = 0;
            int shown = 0;
            for (int column = 1; column <= 8; ++column) {
                rule += OptionColumnWidth(column, table->width());
                shown += table->columnWidth(column);
            }
            EXPECT_EQ(shown, rule) << i;
        }
        const QLabel* field = panel->ForwardPointField();
        EXPECT_GE(field->width(), field->sizeHint().width()) << i;
        EXPECT_EQ(field->geometry().right(), panel->geometry().right() - 5) << i;
        EXPECT_EQ(panel->ForwardPointLabel()->geometry().right() + 1, field->x()) << i;
    }
}

TEST_F(ReadableNumbersTest, ValueLabelsOfTheJpyPremiumChartDiffer) {
    test::StartedProgram program(home_->Folder());
    program.Window().resize(1280, 720);
    InstrumentArea* area = program.Window().Area(4);
    QComboBox* contracts = area->LeftPanel()->ContractList();
    // The contract first shown expires the next day and has no borders, so no bars in them;
    // the yen's borders of January cross over (upper below bottom), so February it is.
    const int later = contracts->findText("FEB13-AM");
    ASSERT_GE(later, 0);
    contracts->setCurrentIndex(later);
    emit contracts->activated(later);
    RightPanelWidget* jpy = area->RightPanel();
    jpy->BuildPendingHistograms();
    const HistogramChart* chart = jpy->Chart(4);
    ASSERT_EQ(jpy->ChartCaption(4)->text(), "Price x OI");
    ASSERT_FALSE(chart->Analysis().empty);
    // Premium times open interest of the yen is small: its grid lines are at most one apart.
    const HistogramScale& scale = chart->Scale();
    ASSERT_LE(static_cast<double>(scale.value_step), PowerOfTen(scale.dv));
    const std::vector<ValueGridLine> grid = ValueGrid(chart->Scale());
    ASSERT_GE(grid.size(), 3u);
    std::set<std::string> labels;
    for (const ValueGridLine& line : grid) {
        labels.insert(line.label);
        // Each label is its line's value itself.
        EXPECT_DOUBLE_EQ(std::stod(line.label),
                         static_cast<double>(line.value) / PowerOfTen(scale.dv))
            << line.label;
    }
    EXPECT_EQ(labels.size(), grid.size()) << grid[1].label << " " << grid[2].label;
}

}  // namespace
}  // namespace zarvex::ui
