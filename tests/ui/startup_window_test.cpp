#include "ui/startup_window.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "ui/png_decoder.h"
#include "ui/qt_app.h"
#include "ui/startup_picture.h"

namespace zarvex::ui {
namespace {

constexpr QRgb kEdge = 0xFF000000;
constexpr QRgb kTrough = 0xFFBEDAA0;
constexpr QRgb kDone = 0xFFFFF078;
constexpr QRgb kLine = 0xFF505050;

TEST(ProgressImageTest, FifteenFillsThirtyPixelsAndDrawsTheLineAtThirty) {
    const QImage image = MakeProgressImage(15);
    ASSERT_EQ(image.size(), QSize(202, 16));
    EXPECT_EQ(image.pixel(0, 0), kEdge);
    EXPECT_EQ(image.pixel(201, 15), kEdge);
    EXPECT_EQ(image.pixel(1, 1), kDone);
    EXPECT_EQ(image.pixel(29, 7), kDone);
    for (int y = 1; y <= 14; ++y) {
        EXPECT_EQ(image.pixel(30, y), kLine) << y;
    }
    EXPECT_EQ(image.pixel(31, 7), kTrough);
    EXPECT_EQ(image.pixel(200, 14), kTrough);
    EXPECT_EQ(image.pixel(30, 0), kEdge);
    EXPECT_EQ(image.pixel(30, 15), kEdge);
}

TEST(ProgressImageTest, HundredFillsTheWholeTroughWithoutALine) {
    const QImage image = MakeProgressImage(100);
    for (int x = 1; x <= 200; ++x) {
        EXPECT_EQ(image.pixel(x, 7), kDone) << x;
    }
    EXPECT_EQ(image.pixel(201, 7), kEdge);
}

TEST(ProgressImageTest, OutOfRangePercentagesStayInsideTheImage) {
    EXPECT_EQ(MakeProgressImage(250), MakeProgressImage(100));
    EXPECT_EQ(MakeProgressImage(-5), MakeProgressImage(0));
    EXPECT_EQ(MakeProgressImage(0).pixel(1, 7), kTrough);
}

TEST(StartupPictureTest, TheBuiltInPictureDecodesTo540By303) {
    const auto decoded = DecodePng(StartupPictureBytes());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->width, 540);
    EXPECT_EQ(decoded->height, 303);
    EXPECT_EQ(decoded->pixels.size(), 540u * 303u * 4u);
}

TEST(StartupPictureTest, DamagedBytesDecodeToNothing) {
    const auto bytes = StartupPictureBytes();
    std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + 100);
    EXPECT_FALSE(DecodePng(cut).has_value());
    std::vector<unsigned char> noise(500, 0x42);
    EXPECT_FALSE(DecodePng(noise).has_value());
    EXPECT_FALSE(DecodePng({}).has_value());
}

TEST(StartupWindowTest, ShowsTheProgressImageAndTheText) {
    test::EnsureQtApplication();
    StartupWindow window(LoadStartupPicture());
    window.Open();
    EXPECT_EQ(window.size(), QSize(540, 303));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window.SetProgress(15, "Preparing to run ...");
    ASSERT_NE(window.ProgressControl(), nullptr);
    EXPECT_EQ(window.ProgressControl()->geometry(), QRect(315, 260, 202, 16));
    EXPECT_EQ(window.ProgressImage(), MakeProgressImage(15));
    QLabel* first = window.ProgressControl();
    window.SetProgress(100, "Running the application...");
    EXPECT_EQ(window.ProgressControl(), first);
    EXPECT_EQ(window.ProgressText(), "Running the application...");
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixel(315 + 100, 260 + 7), kDone);
    // The text is drawn in black at (315, 278).
    bool black = false;
    for (int y = 278; y < 295 && !black; ++y) {
        for (int x = 315; x < 400 && !black; ++x) {
            black = qGray(shot.pixel(x, y)) < 60;
        }
    }
    EXPECT_TRUE(black);
}

}  // namespace
}  // namespace zarvex::ui
