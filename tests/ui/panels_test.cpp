#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <numeric>

#include "common/plain_host.h"
#include "common/text_table.h"
#include "storage/database.h"
#include "support/temp_folder.h"
#include "ui/histogram_chart.h"
#include "ui/left_panel_widget.h"
#include "ui/qt_app.h"
#include "ui/right_panel_widget.h"

namespace zarvex::ui {
namespace {

class PanelLayoutTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    std::unique_ptr<LeftPanelWidget> Left(int w, int h) {
        analytics::LeftPanelServices services;
        services.host = plain_.AsHost(&texts_);
        return std::make_unique<LeftPanelWidget>(&parent_, 761, 0, 0, w, h, texts_, services,
                                                 nullptr);
    }
    std::unique_ptr<RightPanelWidget> Right(int w, int h) {
        return std::make_unique<RightPanelWidget>(&parent_, 762, 211, 0, w, h, texts_, quote_,
                                                  home_.Folder(), plain_.AsHost(&texts_));
    }

    QWidget parent_;
    common::TextTable texts_{common::Language::kEnglish};
    common::PlainHost plain_;
    test::TempProgramFolder home_;
    storage::Database quote_;
};

TEST_F(PanelLayoutTest, LeftPanelSixHundredHigh) {
    const auto panel = Left(210, 600);
    EXPECT_EQ(panel->objectName(), "761");
    EXPECT_EQ(panel->Table(3)->geometry(), QRect(5, 353, 195, 138));
    EXPECT_EQ(panel->FractalsCaption()->geometry(), QRect(5, 496, 200, 18));
    EXPECT_EQ(panel->Table(4)->geometry(), QRect(5, 511, 195, 79));
    EXPECT_EQ(panel->Table(0)->geometry(), QRect(5, 60, 195, 55));
    EXPECT_EQ(panel->Table(1)->geometry(), QRect(5, 135, 195, 125));
    EXPECT_EQ(panel->Table(2)->geometry(), QRect(5, 280, 195, 55));
    // The date field leaves room for the two day buttons beside it.
    EXPECT_EQ(panel->DatePicker()->geometry(), QRect(70, 5, 98, 19));
    EXPECT_EQ(panel->PreviousDayButton()->geometry(), QRect(168, 5, 16, 19));
    EXPECT_EQ(panel->NextDayButton()->geometry(), QRect(184, 5, 16, 19));
    EXPECT_EQ(panel->ContractList()->geometry(), QRect(70, 30, 130, 19));
    // Row tables: an empty 0-wide column, the captions 110 wide, the values in the rest.
    EXPECT_EQ(panel->Table(1)->columnWidth(0), 0);
    EXPECT_EQ(panel->Table(1)->columnWidth(1), 110);
    EXPECT_EQ(panel->Table(1)->columnWidth(2), 75);
    EXPECT_EQ(panel->Table(1)->item(4, 1)->text(), "Channel Center");
    EXPECT_EQ(panel->Table(3)->rowCount(), 51);
    EXPECT_EQ(panel->Table(3)->columnWidth(1), 195 / 2 - 13);
    EXPECT_EQ(panel->Table(4)->horizontalHeaderItem(2)->text(), "PUT");
}

TEST_F(PanelLayoutTest, LeftPanelBuiltNarrowAndLowIsRaisedToItsMinimum) {
    const auto panel = Left(150, 400);
    EXPECT_EQ(panel->size(), QSize(200, 600));
    EXPECT_EQ(panel->DatePicker()->width(), 120 - 32);
    EXPECT_EQ(panel->ContractList()->width(), 120);
    for (int table = 0; table < 5; ++table) {
        EXPECT_EQ(panel->Table(table)->width(), 185) << table;
    }
}

TEST_F(PanelLayoutTest, LeftPanelRelayoutTakesTheNewHeightWithoutMinimum) {
    const auto panel = Left(210, 600);
    panel->Relayout(0, 0, 210, 800);
    EXPECT_EQ(panel->Table(3)->height(), (800 - 363) / 10 * 6);
    EXPECT_EQ(panel->FractalsCaption()->y(), 353 + 258 + 5);
    EXPECT_EQ(panel->Table(4)->geometry(), QRect(5, 353 + 258 + 20, 195, 800 - 631 - 10));
    panel->Relayout(0, 0, 180, 500);
    EXPECT_EQ(panel->size(), QSize(180, 500));
    EXPECT_EQ(panel->DatePicker()->width(), 100 - 32);
    EXPECT_TRUE(panel->Table(0)->showGrid());
}

TEST_F(PanelLayoutTest, RightPanelBuiltThreeHundredWideIsLaidOutAsFourHundred) {
    const auto panel = Right(300, 500);
    EXPECT_EQ(panel->geometry(), QRect(211, 0, 400, 600));
    EXPECT_EQ(panel->Tabs()->geometry(), QRect(0, 0, 400, 600));
    // The field ends 5 pixels before the panel's edge, at least 35 wide (wider for "0.00"),
    // with its caption just before it.
    const QRect field = panel->ForwardPointField()->geometry();
    EXPECT_EQ(field.right(), 211 + 400 - 6);
    EXPECT_GE(field.width(), 35);
    EXPECT_EQ(panel->ForwardPointLabel()->geometry(), QRect(field.left() - 75, 3, 75, 17));
    EXPECT_EQ(panel->ForwardPointField()->text(), "0.00");
}

TEST_F(PanelLayoutTest, TabControlOf802GivesQuartersOf200) {
    const auto panel = Right(802, 700);
    const std::array<int, 4> xs{4, 202, 400, 600};
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(panel->ChartCaption(n)->geometry(), QRect(xs[n - 1], 4, 194, 15)) << n;
        EXPECT_EQ(panel->Chart(n)->geometry(), QRect(xs[n - 1], 19, 194, 700 - 47)) << n;
        EXPECT_EQ(panel->Chart(n)->objectName().toInt(),
                  762 + RightPanelWidget::kChartOffsets[static_cast<std::size_t>(n - 1)]);
    }
    // m = 401: the build puts the CALL side at 3, a re-layout at 2.
    EXPECT_EQ(panel->CallTable()->geometry(), QRect(3, 19, 395, 653));
    EXPECT_EQ(panel->PutTable()->geometry(), QRect(401, 19, 395, 653));
    panel->Relayout(211, 0, 802, 700);
    EXPECT_EQ(panel->CallTable()->geometry(), QRect(2, 19, 395, 653));
    EXPECT_EQ(panel->CallCaption()->geometry(), QRect(2, 4, 395, 15));
    EXPECT_EQ(panel->ForwardPointLabel()->geometry(),
              QRect(panel->ForwardPointField()->x() - 75, 3, 75, 15));
}

TEST_F(PanelLayoutTest, OptionTableColumnsFollowTheTableWidth) {
    // A 394-pixel table: column 1 is int(368 / 100 * 10.821) = 39, raised to 52.
    EXPECT_EQ(OptionColumnWidth(1, 394), 52);
    EXPECT_EQ(OptionColumnWidth(7, 394), 26);
    EXPECT_EQ(OptionColumnWidth(5, 1000), static_cast<int>(974 / 100.0 * 15.949));
    const auto panel = Right(820, 700);
    const QTableWidget* table = panel->CallTable();
    // The report's eight columns, then the model's five.
    EXPECT_EQ(table->columnCount(), 14);
    EXPECT_EQ(table->columnWidth(0), 0);
    EXPECT_EQ(table->columnWidth(1), OptionColumnWidth(1, table->width()));
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "Strike");
    EXPECT_EQ(table->horizontalHeaderItem(7)->text(), "+/-");
    EXPECT_EQ(table->horizontalHeaderItem(8)->text(), "Pr*OI");
    EXPECT_EQ(table->horizontalHeaderItem(9)->text(), "IV");
    EXPECT_EQ(table->horizontalHeaderItem(13)->text(), "Theta");
}

TEST_F(PanelLayoutTest, OptionColumnsWidenForTheirTextsFromTheRoomOfOthers) {
    std::array<int, 8> rule{};
    std::array<int, 8> needed{};
    for (int k = 0; k < 8; ++k) {
        rule[static_cast<std::size_t>(k)] = OptionColumnWidth(k + 1, 600);
        needed[static_cast<std::size_t>(k)] = 30;
    }
    needed[0] = rule[0] + 20;  // a strike wider than its column
    const std::array<int, 8> fitted = FitOptionColumns(needed, 600);
    for (std::size_t k = 0; k < 8; ++k) {
        EXPECT_GE(fitted[k], needed[k]) << k;
    }
    EXPECT_EQ(std::accumulate(fitted.begin(), fitted.end(), 0),
              std::accumulate(rule.begin(), rule.end(), 0));
    // Without room elsewhere the table grows rather than cut a number.
    needed.fill(200);
    EXPECT_EQ(FitOptionColumns(needed, 600), needed);
}

}  // namespace
}  // namespace zarvex::ui
