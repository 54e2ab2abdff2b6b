#include "ui/chart/histogram_painter.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <utility>

#include "common/text.h"
#include "ui/chart/font_chain.h"
#include "ui/chart/histogram_axis.h"
#include "ui/chart/histogram_bands.h"

namespace zarvex::ui {
namespace {

QColor Colour(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

double At(const std::vector<double>& values, std::size_t index) {
    if (index >= values.size() || !std::isfinite(values[index])) {
        return 0.0;
    }
    return values[index];
}

QString Fixed(double value, int decimals) {
    return QString::fromStdString(common::FormatFixed(value, decimals));
}

class ChartPainter final {
public:
    ChartPainter(QPainter& painter, const HistogramScale& scale, const HistogramColours& colours,
                 const HistogramFonts& fonts)
        : painter_(painter), scale_(scale), colours_(colours), fonts_(fonts) {}

    void DrawGridAndAxes() {
        painter_.setFont(fonts_.axis);
        const int top = scale_.TopY();
        const int bottom = scale_.BottomY();
        for (const ValueGridLine& line : ValueGrid(scale_)) {
            DrawValueLine(line, top, bottom);
        }
        if (scale_.vmin < 0) {
            Line(scale_.ValueToX(0), bottom, scale_.ValueToX(0), top, colours_.zero_line);
        }
        const double strike_factor = PowerOfTen(scale_.ds);
        const int left = scale_.ValueToX(scale_.vmin);
        const int right = scale_.ValueToX(scale_.vmax);
        for (std::int64_t s = scale_.kmin; s <= scale_.kmax; s += scale_.strike_step) {
            const int y = scale_.StrikeToY(s);
            Line(left, y, right, y, colours_.grid);
            const QString label = Fixed(static_cast<double>(s) / strike_factor, scale_.ds);
            // A label wider than its margin moves left rather than run into the frame.
            const int before_frame =
                left - QFontMetrics(painter_.font()).horizontalAdvance(label) - 2;
            Text(std::max(0, std::min(left - 35, before_frame)), y - 5, label);
        }
        painter_.setPen(Colour(colours_.frame));
        painter_.drawLine(left, top, right, top);
        painter_.drawLine(right, top, right, bottom);
        painter_.drawLine(right, bottom, left, bottom);
        painter_.drawLine(left, bottom, left, top);
    }

    // Calls row(i, strike) for every position that is drawn: the strike array ends at its first
    // 0, and negative strikes are left out.
    template <typename Row>
    static void ForEachDrawnRow(const HistogramData& data, Row row) {
        for (std::size_t i = 0; i < data.strike.size(); ++i) {
            const double strike = At(data.strike, i);
            if (strike == 0.0) {
                break;
            }
            if (strike >= 0.0) {
                row(i, strike);
            }
        }
    }

    void DrawBars(const HistogramData& data) {
        painter_.setFont(fonts_.label);
        const double strike_factor = PowerOfTen(scale_.ds);
        const double value_factor = PowerOfTen(scale_.dv);
        const int x0 = scale_.ValueToX(0) + 1;
        ForEachDrawnRow(data, [&](std::size_t i, double strike) {
            const double c = At(data.call, i) * value_factor;
            const double p = At(data.put, i) * value_factor;
            if (c == 0.0 && p == 0.0) {
                return;
            }
            const int y = scale_.StrikeToY(std::llround(strike * strike_factor));
            const int xc = scale_.ValueToX(std::llround(c));
            const int xp = scale_.ValueToX(std::llround(p));
            const QString label = Fixed(strike, scale_.ds);

            for (int x : {xc, xp}) {
                Line(x0, y - 2, x, y - 2, colours_.bar_edge);
                Line(x0, y + 2, x, y + 2, colours_.bar_edge);
            }
            if ((c > 0 && p <= 0) || (c < 0 && p >= 0)) {
                Fill(x0, xc, y, colours_.call);
                Label(label, xc, y, c > 0);
            }
            if ((p > 0 && c <= 0) || (p < 0 && c >= 0)) {
                Fill(x0, xp, y, colours_.put);
                Label(label, xp, y, p > 0);
            }
            if (c > 0 && p > 0) {
                if (c > p) {
                    Fill(x0, xc, y, colours_.call);
                    Fill(x0, xp, y, colours_.overlap);
                    Label(label, xc, y, true);
                } else {
                    Fill(x0, xp, y, colours_.put);
                    Fill(x0, xc, y, colours_.overlap);
                    Label(label, xp, y, true);
                }
            }
            if (c < 0 && p < 0) {
                if (c < p) {
                    Fill(x0, xc, y, colours_.call);
                    Fill(x0, xp, y, colours_.overlap);
                    Label(label, xc, y, false);
                } else {
                    Fill(x0, xp, y, colours_.put);
                    Fill(x0, xc, y, colours_.overlap);
                    Label(label, xp, y, false);
                }
            }
        });
    }

    // The other day's bars as outlines: the same rows and ends as a bar of that value, so a
    // day compared with itself draws every outline exactly over its bar's edge.
    void DrawCompareOutlines(const HistogramData& data) {
        const double strike_factor = PowerOfTen(scale_.ds);
        const double value_factor = PowerOfTen(scale_.dv);
        const int x0 = scale_.ValueToX(0) + 1;
        ForEachDrawnRow(data, [&](std::size_t i, double strike) {
            const int y = scale_.StrikeToY(std::llround(strike * strike_factor));
            for (const auto& [values, rgb] : {std::pair{&data.compare_call, colours_.compare_call},
                                              std::pair{&data.compare_put, colours_.compare_put}}) {
                const double v = At(*values, i) * value_factor;
                if (v == 0.0) {
                    continue;
                }
                const int x = scale_.ValueToX(std::llround(v));
                Line(x0, y - 2, x, y - 2, rgb);
                Line(x0, y + 2, x, y + 2, rgb);
                Line(x, y - 2, x, y + 2, rgb);
            }
        });
    }

    // Which date is filled and which is outlined, in a band above the plot.
    void DrawCompareLegend(const HistogramData& data, int band) {
        painter_.setFont(fonts_.label);
        const QFontMetrics metrics(painter_.font());
        const QString shown = QString::fromStdString(data.date);
        const QString other = QString::fromStdString(data.compare_date);
        const int swatch = 14;
        const int w = 2 * (swatch + 4) + metrics.horizontalAdvance(shown) + 12 +
                      metrics.horizontalAdvance(other);
        int x = std::max(0, (scale_.width - w) / 2);
        const int mid = band / 2;
        const int text_y = mid - metrics.height() / 2;
        painter_.fillRect(x, mid - 2, swatch, 5, Colour(colours_.overlap));
        Line(x, mid - 3, x + swatch - 1, mid - 3, colours_.bar_edge);
        Line(x, mid + 3, x + swatch - 1, mid + 3, colours_.bar_edge);
        x += swatch + 4;
        Text(x, text_y, shown);
        x += metrics.horizontalAdvance(shown) + 12;
        Line(x, mid - 3, x + swatch - 1, mid - 3, colours_.compare_call);
        Line(x, mid + 3, x + swatch - 1, mid + 3, colours_.compare_put);
        Line(x + swatch - 1, mid - 3, x + swatch - 1, mid + 3, colours_.compare_call);
        x += swatch + 4;
        Text(x, text_y, other);
    }

private:
    void DrawValueLine(const ValueGridLine& line, int top, int bottom) {
        const int x = scale_.ValueToX(line.value);
        Line(x, bottom, x, top, colours_.grid);
        const QString label = QString::fromStdString(line.label);
        // A line near the canvas's right edge keeps its whole label on the canvas.
        const int widest_x =
            scale_.width - QFontMetrics(painter_.font()).horizontalAdvance(label) - 1;
        Text(std::min(line.value == scale_.vmin ? x : x - 7, widest_x), bottom, label);
    }

    void Line(int x1, int y1, int x2, int y2, std::uint32_t rgb) {
        painter_.setPen(Colour(rgb));
        painter_.drawLine(x1, y1, x2, y2);
    }

    void Fill(int x0, int x, int y, std::uint32_t rgb) {
        for (int dy = -1; dy <= 1; ++dy) {
            Line(x0, y + dy, x, y + dy, rgb);
        }
    }

    // A label after x starts 3 pixels right of it; one before x ends a pixel left of it.
    void Label(const QString& text, int x, int y, bool after) {
        if (after) {
            Text(x + 3, y - 6, text);
        } else {
            Text(x - QFontMetrics(painter_.font()).horizontalAdvance(text) - 1, y - 6, text);
        }
    }

    // Text is placed by its top-left corner, on a transparent background.
    void Text(int x, int y, const QString& text) {
        painter_.setPen(Colour(colours_.text));
        painter_.drawText(x, y + QFontMetrics(painter_.font()).ascent(), text);
    }

    QPainter& painter_;
    const HistogramScale& scale_;
    const HistogramColours& colours_;
    const HistogramFonts& fonts_;
};

}  // namespace

HistogramFonts DefaultHistogramFonts() {
    const QFont font = MakeFont({QStringLiteral("Nina")}, 8);
    return {font, font};
}

void PaintHistogram(QPainter& painter, const HistogramData& data, const HistogramScale& scale,
                    const HistogramColours& colours, const HistogramFonts& fonts) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const int band = CompareLegendBand(data);
    painter.fillRect(0, 0, scale.width, scale.height + band, Colour(colours.background));
    if (!scale.empty) {
        ChartPainter chart(painter, scale, colours, fonts);
        if (band > 0) {
            chart.DrawCompareLegend(data, band);
            painter.translate(0, band);
        }
        PaintHistogramBands(painter, scale, data.bands);
        chart.DrawGridAndAxes();
        chart.DrawBars(data);
        if (band > 0) {
            chart.DrawCompareOutlines(data);
        }
    }
    painter.restore();
}

int CompareLegendBand(const HistogramData& data) {
    return data.compare_put.empty() && data.compare_call.empty() ? 0 : 16;
}

void PaintHistogram(QPainter& painter, QSize size, const HistogramData& data,
                    const HistogramColours& colours, const HistogramFonts& fonts) {
    const HistogramScale scale = ScaleHistogram(data, AnalyseHistogram(data), size.width(),
                                                size.height() - CompareLegendBand(data));
    PaintHistogram(painter, data, scale, colours, fonts);
}

}  // namespace zarvex::ui
