#include "ui/status_bar.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "ui/qt_app.h"

namespace zarvex::ui {
namespace {

class StatusBarTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }
    void SetUp() override { parent_.resize(800, 600); }
    QWidget parent_;
};

TEST_F(StatusBarTest, LowBarIsRaisedTo18AndDocksAtTheBottom) {
    StatusBar bar(&parent_, 310, 0, 0, 719, 10);
    EXPECT_EQ(bar.geometry(), QRect(0, 600 - 18, 719, 18));
    EXPECT_EQ(bar.objectName(), "310");
    EXPECT_EQ(bar.LabelField()->objectName(), "1343");
    EXPECT_EQ(bar.StatusField()->objectName(), "2343");
}

TEST_F(StatusBarTest, FieldsFollowTheWidth) {
    StatusBar bar(&parent_, 310, 0, 0, 719, 22);
    EXPECT_EQ(bar.LabelField()->geometry(), QRect(0, 0, 235, 22));
    EXPECT_EQ(bar.StatusField()->geometry(), QRect(236, 0, 719 - 239, 22));
    EXPECT_EQ(bar.LabelField()->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    parent_.resize(1000, 700);
    bar.Resize(919);
    EXPECT_EQ(bar.geometry(), QRect(0, 700 - 22, 919, 22));
    EXPECT_EQ(bar.StatusField()->geometry(), QRect(236, 0, 919 - 239, 22));
}

TEST_F(StatusBarTest, ColoursAndTheRememberedDefaultBackground) {
    StatusBar bar(&parent_, 310, 0, 0, 719, 22);
    const QColor original = bar.StatusBackground();
    bar.SetStatusColours(0xFFFFC8, 0xFF0000);
    EXPECT_EQ(bar.StatusTextColour(), QColor(255, 0, 0));
    EXPECT_EQ(bar.StatusBackground(), QColor(255, 255, 200));
    // Also when the window is disabled: the busy text stays red.
    EXPECT_EQ(bar.StatusField()->palette().color(QPalette::Disabled, QPalette::WindowText),
              QColor(255, 0, 0));
    bar.SetStatusColours(StatusBar::kDefaultBackground, 0);
    EXPECT_EQ(bar.StatusTextColour(), QColor(0, 0, 0));
    EXPECT_EQ(bar.StatusBackground(), original);
}

}  // namespace
}  // namespace zarvex::ui
