// A saved place and size kept to the screens there are, whatever window.ini says.
#include "ui/window_fit.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include "app/gui/main_window.h"
#include "support/temp_folder.h"
#include "ui/gui_fixture.h"
#include "ui/qt_app.h"

namespace zarvex::ui {
namespace {

// A wide screen with a task bar below, and a smaller one to its right.
const QList<QRect> kTwoScreens{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
const QSize kMinimum(1100, 660);

struct FitCase {
    const char* name;
    QRect wanted;
    QList<QRect> screens;
    QRect fitted;
};

class WindowFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(WindowFit, KeepsThePlaceOnAScreenAndTheSizeWithinIt) {
    EXPECT_EQ(FitToScreens(GetParam().wanted, GetParam().screens, kMinimum), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(
    , WindowFit,
    ::testing::Values(FitCase{"APlaceOnScreenStays", QRect(100, 50, 1200, 800), kTwoScreens,
                              QRect(100, 50, 1200, 800)},
                      FitCase{"OnTheSecondScreenStays", QRect(2000, 10, 1150, 700), kTwoScreens,
                              QRect(2000, 10, 1150, 700)},
                      // The hostile file: far off to the left and wider than any screen.
                      FitCase{"FarOffAndHuge", QRect(-100000, 0, 99999999, 800), kTwoScreens,
                              QRect(0, 0, 1920, 800)},
                      FitCase{"HugeBothWays", QRect(-100000, -100000, 99999999, 99999999),
                              kTwoScreens, QRect(0, 0, 1920, 1040)},
                      FitCase{"FarBelowGoesToTheNearestScreen", QRect(2500, 90000, 1200, 700),
                              kTwoScreens, QRect(2000, 324, 1200, 700)},
                      FitCase{"HalfOffTheRightEdgeMovesIn", QRect(2800, 100, 1200, 700),
                              kTwoScreens, QRect(2000, 100, 1200, 700)},
                      FitCase{"MostlyOnTheSecondScreenGoesThere", QRect(1800, 0, 1200, 700),
                              kTwoScreens, QRect(1920, 0, 1200, 700)},
                      FitCase{"TooSmallGrowsToTheMinimum", QRect(10, 10, 20, 5), kTwoScreens,
                              QRect(10, 10, 1100, 660)},
                      FitCase{"EmptyOrNegativeSize", QRect(10, 10, -50, 0), kTwoScreens,
                              QRect(10, 10, 1100, 660)},
                      FitCase{"AScreenBelowTheMinimumIsFilled",
                              QRect(0, 0, 1200, 800),
                              {QRect(0, 0, 800, 600)},
                              QRect(0, 0, 800, 600)},
                      FitCase{"AScreenAwayFromTheOrigin",
                              QRect(0, 0, 1200, 800),
                              {QRect(-1280, 200, 1280, 1000)},
                              QRect(-1200, 200, 1200, 800)},
                      FitCase{
                          "NoScreens", QRect(-5, -5, 90000, 90000), {}, QRect(0, 0, 1100, 660)}),
    [](const auto& run) { return std::string(run.param.name); });

// What QWidget::saveGeometry writes for a window at that place and size (as large as a widget
// can be): the file's geometry as a hand or a program could have written it.
QByteArray GeometryBlob(const QRect& place) {
    QWidget window;
    window.setGeometry(place);
    return window.saveGeometry();
}

TEST(WindowFitWindow, AHostileSavedGeometryGivesASaneWindowOnScreen) {
    test::EnsureQtApplication();
    const test::TempProgramFolder home;
    const test::TempFolder config;
    const QString file = QString::fromStdString((config / "window.ini").string());
    {
        QSettings settings(file, QSettings::IniFormat);
        const QRect hostile(-100000, 0, 99999999, 800);
        settings.setValue(QStringLiteral("window/geometry"), GeometryBlob(hostile));
    }
    test::StartedProgram program(home.Folder(), "eng", "", test::StartedProgram::Boxes::kRecorded,
                                 file);
    ASSERT_EQ(program.Outcome(), gui::Startup::Outcome::kRunning);
    const gui::MainWindow& window = program.Window();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry()))
        << "screen " << screen.x() << "," << screen.y() << " " << screen.width() << "x"
        << screen.height() << ", window " << window.geometry().x() << "," << window.geometry().y()
        << " " << window.width() << "x" << window.height() << " in a frame of "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height();
    EXPECT_GE(window.frameGeometry().width(), std::min(screen.width(), gui::MainWindow::kMinWidth));
    EXPECT_GE(window.frameGeometry().height(),
              std::min(screen.height(), gui::MainWindow::kMinHeight));
}

}  // namespace
}  // namespace zarvex::ui
