#include "ui/canvas_grid.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/auto_repeat.h"
#include "ui/qt_app.h"

namespace zarvex::ui {
namespace {

class CanvasGridTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void SetUp() override {
        grid_ = std::make_unique<CanvasGrid>(nullptr, nullptr, 16);
        grid_->resize(1, 400);
        for (const char* symbol : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
            grid_->AddItem(CanvasGrid::kAppend, symbol);
        }
        grid_->SetFlag(CanvasGrid::kSingleSelection, true, false);
        grid_->SetFlag(CanvasGrid::kFitToContent, true, true);
        grid_->SetItemState(0, CanvasGrid::kSelected, CanvasGrid::kSelected);
    }

    void Click(int index) {
        QTest::mouseClick(grid_.get(), Qt::LeftButton, {}, grid_->ItemRect(index).center());
    }

    std::unique_ptr<CanvasGrid> grid_;
};

TEST_F(CanvasGridTest, WidthFollowsTheLongestItem) {
    const int width = grid_->width();
    EXPECT_EQ(width, grid_->ContentThickness());
    EXPECT_GT(width, 1);
    grid_->AddItem(CanvasGrid::kAppend, "A much longer item");
    EXPECT_GT(grid_->width(), width);
}

TEST_F(CanvasGridTest, ClickOnAnotherItemReportsItsIndexAndSelectsIt) {
    QSignalSpy clicked(grid_.get(), &CanvasGrid::itemClicked);
    Click(3);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 3);
    EXPECT_EQ(grid_->State(CanvasGrid::kQuerySelected), 3);
    EXPECT_EQ(grid_->State(CanvasGrid::kQueryLastClicked), 3);
}

TEST_F(CanvasGridTest, ClickOnTheSelectedItemReportsNothing) {
    QSignalSpy clicked(grid_.get(), &CanvasGrid::itemClicked);
    Click(0);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(grid_->State(CanvasGrid::kQuerySelected), 0);
}

TEST_F(CanvasGridTest, DisabledItemsIgnoreClicks) {
    QSignalSpy clicked(grid_.get(), &CanvasGrid::itemClicked);
    grid_->SetItemState(2, CanvasGrid::kDisabled, CanvasGrid::kDisabled);
    Click(2);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(grid_->State(CanvasGrid::kQueryLastClicked), -1);
}

TEST_F(CanvasGridTest, StateQueries) {
    EXPECT_EQ(grid_->State(CanvasGrid::kQueryLastClicked), -1);
    EXPECT_EQ(grid_->State(-1), -1);
    EXPECT_EQ(grid_->State(-2), -2);
    EXPECT_EQ(grid_->State(5), 5);
    EXPECT_EQ(grid_->State(6), -1);
    grid_->SetItemState(0, 0, CanvasGrid::kSelected);
    EXPECT_EQ(grid_->State(CanvasGrid::kQuerySelected), -1);
}

TEST_F(CanvasGridTest, ItemColoursAndTheirDefault) {
    grid_->SetItemColour(3, CanvasGrid::kTextColour, 0x0000FF);
    EXPECT_EQ(grid_->ItemTextColour(3), QColor(0, 0, 255));
    grid_->SetItemColour(3, CanvasGrid::kTextColour, CanvasGrid::kDefaultColour);
    EXPECT_EQ(grid_->ItemTextColour(3), grid_->palette().color(QPalette::ButtonText));
}

TEST_F(CanvasGridTest, HeaderPressReportsTheLastClickedIndex) {
    grid_->AddItem(CanvasGrid::kHeader, "Symbols");
    QSignalSpy header(grid_.get(), &CanvasGrid::headerPressed);
    Click(4);
    QTest::mouseClick(grid_.get(), Qt::LeftButton, {}, QPoint(5, 3));
    ASSERT_EQ(header.count(), 1);
    EXPECT_EQ(header.at(0).at(0).toInt(), 4);
}

TEST_F(CanvasGridTest, ShortStripScrollsWithItsArrowsAndRepeatsWhileHeld) {
    AutoRepeat repeat;
    CanvasGrid grid(nullptr, &repeat, CanvasGrid::kSingleSelection | CanvasGrid::kFitToContent);
    for (const char* symbol : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
        grid.AddItem(CanvasGrid::kAppend, symbol);
    }
    grid.resize(grid.width(), 80);
    ASSERT_TRUE(grid.ScrollArrowsShown());
    QTest::mousePress(&grid, Qt::LeftButton, {}, grid.DownArrowRect().center());
    EXPECT_EQ(grid.FirstVisible(), 1);
    EXPECT_TRUE(repeat.IsArmed());
    QSignalSpy repeated(&grid, &CanvasGrid::autoRepeated);
    EXPECT_TRUE(repeated.wait(2000));
    EXPECT_GE(grid.FirstVisible(), 2);
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, grid.DownArrowRect().center());
    EXPECT_FALSE(repeat.IsArmed());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.UpArrowRect().center());
    EXPECT_FALSE(repeat.IsArmed());
}

}  // namespace
}  // namespace zarvex::ui
