#include "ui/chart/histogram_png.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QString>

#include "support/temp_folder.h"

namespace zarvex::ui {
namespace {

// This program never makes a Qt application of its own: the call has to.
TEST(HistogramPngTest, DrawsWithoutAnApplicationOrADisplay) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    test::TempFolder folder;
    const auto path = (folder / "h.png").string();
    analytics::HistogramData data;
    data.axis = {1.1, 1.2};
    data.call = {100, 0};
    data.put = {60, 10};
    EXPECT_EQ(RenderHistogramPng(data, 300, 600, path), "");
    const QImage image(QString::fromStdString(path));
    EXPECT_EQ(image.size(), QSize(300, 600));
    EXPECT_EQ(image.pixel(0, 0), 0xFFFFFFFA);
    // And a second time, after the first application is gone.
    EXPECT_EQ(RenderHistogramPng(data, 40, 30, path), "");
}

TEST(HistogramPngTest, RefusesSizesAndPathsItCannotDraw) {
    EXPECT_NE(RenderHistogramPng({}, 0, 600, "/tmp/x.png"), "");
    EXPECT_NE(RenderHistogramPng({}, 300, 20000, "/tmp/x.png"), "");
    EXPECT_NE(RenderHistogramPng({}, 30, 30, "/nonexistent-folder/x.png"), "");
}

}  // namespace
}  // namespace zarvex::ui
