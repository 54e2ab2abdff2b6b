#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <memory>

#include "ui/chart/histogram_image.h"
#include "ui/chart/histogram_scale.h"
#include "ui/histogram_chart.h"
#include "ui/qt_app.h"

namespace zarvex::ui {
namespace {

constexpr QRgb kBackground = 0xFFFFFFFA;
constexpr QRgb kPut = 0xFFA8A8FD;
constexpr QRgb kCall = 0xFFFDA8A8;
constexpr QRgb kOverlap = 0xFFB463B4;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kZeroLine = 0xFF888888;
constexpr QRgb kGrid = 0xFFDDDDDD;

class HistogramPictureTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void Draw(std::vector<double> strike, std::vector<double> call, std::vector<double> put,
              QSize size = QSize(300, 400)) {
        data_.axis = std::move(strike);
        data_.call = std::move(call);
        data_.put = std::move(put);
        scale_ = ScaleForCanvas(data_, {}, AnalyseHistogram(data_), size, DefaultHistogramFonts());
        band_ = LegendBand(data_, {}, size.width(), DefaultHistogramFonts());
        image_ = RenderHistogramImage(data_, {}, size);
    }

    // Plot coordinates: below the legend band.
    QRgb At(int x, int y) const { return image_.pixel(x, y + band_); }
    int X(double value) const {
        return scale_.ValueToX(std::llround(value * PowerOfTen(scale_.dv)));
    }
    int Y(double strike) const {
        return scale_.StrikeToY(std::llround(strike * PowerOfTen(scale_.ds)));
    }
    // Anything but the background in the rectangle (a label's glyphs).
    bool Inked(const QRect& rect) const {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image_.rect().contains(x, y + band_) && At(x, y) != kBackground) {
                    return true;
                }
            }
        }
        return false;
    }

    analytics::HistogramData data_;
    HistogramScale scale_;
    int band_ = 0;
    QImage image_;
};

TEST_F(HistogramPictureTest, EmptyDataLeavesOnlyTheBackground) {
    for (const auto& strikes : {std::vector<double>{}, std::vector<double>{0.0, 1.1}}) {
        Draw(strikes, {5, 5}, {5, 5});
        for (int y = 0; y < image_.height(); ++y) {
            for (int x = 0; x < image_.width(); ++x) {
                ASSERT_EQ(At(x, y), kBackground) << x << "," << y;
            }
        }
    }
}

TEST_F(HistogramPictureTest, OverlapIsPurpleAndTheExcessKeepsTheLargerSide) {
    Draw({1.1, 1.2}, {100, 0}, {60, 0});
    const int y = Y(1.1);
    const int x0 = X(0) + 1;
    const int xp = X(60);
    const int xc = X(100);
    for (int dy : {-1, 0, 1}) {
        EXPECT_EQ(At(x0 + 1, y + dy), kOverlap);
        EXPECT_EQ(At(xp - 1, y + dy), kOverlap);
        EXPECT_EQ(At(xp + 2, y + dy), kCall);
        EXPECT_EQ(At(xc - 1, y + dy), kCall);
    }
    EXPECT_EQ(At((x0 + xc) / 2, y - 2), kBlack);
    EXPECT_EQ(At((x0 + xc) / 2, y + 2), kBlack);
    // The strike label follows the CALL bar.
    EXPECT_TRUE(Inked(QRect(xc + 3, y - 6, 30, 12)));
    EXPECT_EQ(At(xc + 1, y - 1), kBackground);
}

TEST_F(HistogramPictureTest, PutLargerThanCallTurnsTheExcessBlue) {
    Draw({1.1, 1.2}, {0, 20}, {0, 50});
    const int y = Y(1.2);
    EXPECT_EQ(At(X(10), y), kOverlap);
    EXPECT_EQ(At(X(35), y), kPut);
}

TEST_F(HistogramPictureTest, NegativeValuesGrowLeftOfTheZeroLine) {
    Draw({1.1, 1.2}, {-8, 0}, {3, 0});
    EXPECT_EQ(scale_.vmin, -10);
    const int y = Y(1.1);
    const int zero = X(0);
    // CALL -8 to the left, PUT 3 to the right: both drawn.
    EXPECT_EQ(At(zero - 2, y), kCall);
    EXPECT_EQ(At(X(-7), y), kCall);
    EXPECT_EQ(At(zero + 3, y), kPut);
    // The label of a negative bar stands before its end.
    EXPECT_TRUE(Inked(QRect(X(-8) - 30, y - 6, 29, 12)));
    // The grey zero line between the rows.
    const int between = (Y(1.1) + Y(1.2)) / 2;
    EXPECT_EQ(At(zero, between), kZeroLine);
}

TEST_F(HistogramPictureTest, BothNegativeOverlapNearTheZeroLine) {
    Draw({1.1, 1.2}, {-20, 0}, {-5, 0});
    const int y = Y(1.1);
    EXPECT_EQ(At(X(-2), y), kOverlap);
    EXPECT_EQ(At(X(-15), y), kCall);
}

TEST_F(HistogramPictureTest, ValuesBelowFiveAreDrawnOnARoundStep) {
    Draw({1.1, 1.2}, {3, 0}, {2, 0});
    EXPECT_EQ(scale_.vmax, 6);
    EXPECT_EQ(scale_.value_step, 2);
    const int between = (Y(1.1) + Y(1.2)) / 2;
    for (int v = 1; v <= 6; ++v) {
        EXPECT_EQ(At(X(v), between), v == 6 ? kBlack : v % 2 == 0 ? kGrid : kBackground) << v;
    }
    EXPECT_EQ(At(X(2.5), Y(1.1)), kCall);
    EXPECT_EQ(At(X(1), Y(1.1)), kOverlap);
}

TEST_F(HistogramPictureTest, HundredthsPlaceAValueOfThreeAtThreeHundred) {
    Draw({1.1, 1.2}, {0.5, 3}, {1.25, 0});
    EXPECT_EQ(scale_.dv, 2);
    EXPECT_EQ(X(3), scale_.ValueToX(300));
    EXPECT_EQ(At(X(3) - 1, Y(1.2)), kCall);
}

TEST_F(HistogramPictureTest, StrikeLabelsNeverCrossTheFrame) {
    // Forty rows a few pixels apart, the largest bars reaching the frame's padding.
    std::vector<double> strikes;
    std::vector<double> calls;
    std::vector<double> puts;
    for (int i = 0; i < 40; ++i) {
        strikes.push_back(1.1 + 0.0001 * i);
        calls.push_back(i % 3 == 0 ? 1000 : 100 * (i % 7));
        puts.push_back(i % 5 == 0 ? -800 : 0);
    }
    Draw(strikes, calls, puts, QSize(200, 300));
    const int right = scale_.ValueToX(scale_.vmax);
    const int left = scale_.ValueToX(scale_.vmin);
    for (int y = scale_.TopY() - 6; y <= scale_.BottomY() - 6; ++y) {
        for (int x = right + 1; x < 200; ++x) {
            ASSERT_EQ(At(x, y), kBackground) << x << "," << y;
        }
        // Between the price labels and the frame: nothing of the bars' labels.
        for (int x = left - 2; x < left; ++x) {
            ASSERT_EQ(At(x, y), kBackground) << x << "," << y;
        }
    }
}

TEST_F(HistogramPictureTest, OneStrikeIsOneRowInTheMiddle) {
    Draw({1.1}, {100}, {60}, QSize(300, 400));
    const int middle = (scale_.TopY() + scale_.BottomY()) / 2;
    EXPECT_EQ(At(X(80), middle), kCall);
    EXPECT_EQ(At(X(30), middle), kOverlap);
    // The frame spans the whole plot height.
    EXPECT_EQ(At(X(scale_.vmax / 1.0), 10), kBlack);
    EXPECT_EQ(At(X(80), 10), kBackground);
}

TEST_F(HistogramPictureTest, TheWidgetShowsTheSamePictureAsTheImage) {
    HistogramChart chart;
    chart.resize(302, 402);
    auto data = std::make_shared<analytics::HistogramData>();
    data->axis = {1.1, 1.1005, 1.101};
    data->call = {100, 30, -5};
    data->put = {60, 80, 0};
    chart.SetData(data);
    chart.Update();
    EXPECT_EQ(chart.Picture(), RenderHistogramImage(*data, {}, QSize(300, 400)));
    chart.resize(202, 302);
    EXPECT_EQ(chart.Picture().size(), QSize(200, 300));
    chart.ClearData();
    chart.Update();
    EXPECT_EQ(chart.Picture().pixel(100, 100), kBackground);
}

}  // namespace
}  // namespace zarvex::ui
