#include "ui/chart/histogram_painter.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "common/text.h"
#include "ui/chart/font_chain.h"
#include "ui/chart/histogram_axis.h"
#include "ui/chart/histogram_bands.h"
#include "ui/side_caption.h"

namespace zarvex::ui {
namespace {

constexpr int kLegendRow = 13;
constexpr int kSwatch = 12;

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

// One entry of the legend: a mark drawn in a box of kSwatch pixels, then its text.
struct LegendItem {
    enum class Mark { kFill, kTwoFills, kOutline, kLine, kDashedLine, kNone };
    Mark mark = Mark::kFill;
    std::uint32_t colour = 0;
    std::uint32_t second = 0;
    QString text;
};

std::vector<LegendItem> LegendItems(const ChartOverlay& overlay, const HistogramColours& colours) {
    std::vector<LegendItem> items;
    if (overlay.Compared()) {
        items.push_back({LegendItem::Mark::kTwoFills, colours.call, colours.put,
                         QString::fromStdString(overlay.date)});
        items.push_back({LegendItem::Mark::kOutline, colours.compare_call, colours.compare_put,
                         QString::fromStdString(overlay.compare_date)});
    }
    items.push_back({LegendItem::Mark::kFill, colours.call, 0, SideCaption(common::Side::kCall)});
    items.push_back({LegendItem::Mark::kFill, colours.put, 0, SideCaption(common::Side::kPut)});
    for (const PriceLine& line : overlay.price_lines) {
        // Lines of one name share one entry: the two borders are one.
        if (!line.name.empty()) {
            items.push_back({line.dashed ? LegendItem::Mark::kDashedLine : LegendItem::Mark::kLine,
                             line.colour, 0, QString::fromStdString(line.name)});
        }
    }
    for (const std::string& note : overlay.notes) {
        items.push_back({LegendItem::Mark::kNone, 0, 0, QString::fromStdString(note)});
    }
    return items;
}

// Where each legend item stands: items flow left to right and wrap to the next row.
struct LegendLayout {
    std::vector<QPoint> places;
    int rows = 0;
};

LegendLayout LayOutLegend(const std::vector<LegendItem>& items, int width,
                          const QFontMetrics& metrics) {
    LegendLayout layout;
    int x = 4;
    int row = 0;
    for (const LegendItem& item : items) {
        const int mark = item.mark == LegendItem::Mark::kNone ? 0 : kSwatch + 3;
        const int w = mark + metrics.horizontalAdvance(item.text) + 8;
        if (x > 4 && x + w > width) {
            x = 4;
            ++row;
        }
        layout.places.emplace_back(x, row);
        x += w;
    }
    layout.rows = items.empty() ? 0 : row + 1;
    return layout;
}

struct PlacedLabel {
    QRect rect;
    QString text;
    double size = 0.0;
};

class ChartPainter final {
public:
    ChartPainter(QPainter& painter, const HistogramScale& scale, const HistogramColours& colours,
                 const HistogramFonts& fonts)
        : painter_(painter),
          scale_(scale),
          colours_(colours),
          fonts_(fonts),
          axis_metrics_(fonts.axis),
          label_metrics_(fonts.label) {}

    void DrawGridAndAxes() {
        UseFont(fonts_.axis, axis_metrics_);
        const int top = scale_.TopY();
        const int bottom = scale_.BottomY();
        std::vector<QRect> value_labels;
        for (const ValueGridLine& line : ValueGrid(scale_)) {
            DrawValueLine(line, top, bottom, value_labels);
        }
        if (scale_.vmin < 0) {
            Line(scale_.ValueToX(0), bottom, scale_.ValueToX(0), top, colours_.zero_line);
        }
        const double strike_factor = PowerOfTen(scale_.ds);
        const int left = Left();
        const int right = Right();
        const QFontMetrics& metrics = axis_metrics_;
        for (std::int64_t s = scale_.kmin; s <= scale_.kmax; s += scale_.strike_step) {
            const int y = scale_.StrikeToY(s);
            Line(left, y, right, y, colours_.grid);
            const QString label = Fixed(static_cast<double>(s) / strike_factor, scale_.ds);
            // Right-aligned four pixels before the frame: the bottom one then stands clear of
            // the value axis' first label below the frame.
            Text(std::max(0, left - metrics.horizontalAdvance(label) - 4), y - 5, label);
        }
        painter_.setPen(Colour(colours_.frame));
        painter_.drawLine(left, top, right, top);
        painter_.drawLine(right, top, right, bottom);
        painter_.drawLine(right, bottom, left, bottom);
        painter_.drawLine(left, bottom, left, top);
    }

    // Calls row(i, strike) for every position that is drawn: the axis ends at its first 0, and
    // negative strikes are left out.
    template <typename Row>
    static void ForEachDrawnRow(const analytics::HistogramData& data, Row row) {
        for (std::size_t i = 0; i < data.axis.size(); ++i) {
            const double strike = At(data.axis, i);
            if (strike == 0.0) {
                break;
            }
            if (strike >= 0.0) {
                row(i, strike);
            }
        }
    }

    void DrawBars(const analytics::HistogramData& data) {
        UseFont(fonts_.label, label_metrics_);
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
            const double size = std::max(std::fabs(c), std::fabs(p));

            for (int x : {xc, xp}) {
                Line(x0, y - 2, x, y - 2, colours_.bar_edge);
                Line(x0, y + 2, x, y + 2, colours_.bar_edge);
            }
            if ((c > 0 && p <= 0) || (c < 0 && p >= 0)) {
                Fill(x0, xc, y, colours_.call);
                Label(label, xc, y, c > 0, size);
            }
            if ((p > 0 && c <= 0) || (p < 0 && c >= 0)) {
                Fill(x0, xp, y, colours_.put);
                Label(label, xp, y, p > 0, size);
            }
            if (c > 0 && p > 0) {
                if (c > p) {
                    Fill(x0, xc, y, colours_.call);
                    Fill(x0, xp, y, colours_.overlap);
                    Label(label, xc, y, true, size);
                } else {
                    Fill(x0, xp, y, colours_.put);
                    Fill(x0, xc, y, colours_.overlap);
                    Label(label, xp, y, true, size);
                }
            }
            if (c < 0 && p < 0) {
                if (c < p) {
                    Fill(x0, xc, y, colours_.call);
                    Fill(x0, xp, y, colours_.overlap);
                    Label(label, xc, y, false, size);
                } else {
                    Fill(x0, xp, y, colours_.put);
                    Fill(x0, xc, y, colours_.overlap);
                    Label(label, xp, y, false, size);
                }
            }
        });
    }

    // The strike labels where they fit: inside the frame and clear of each other. Where
    // neighbours cannot all be labelled, the larger bars keep theirs (the tooltip tells the
    // rest). Drawn last, so that no outline or line covers them.
    void DrawLabels() {
        UseFont(fonts_.label, label_metrics_);
        std::stable_sort(
            labels_.begin(), labels_.end(),
            [](const PlacedLabel& a, const PlacedLabel& b) { return a.size > b.size; });
        const QRect plot(QPoint(Left() + 1, scale_.TopY() - 6),
                         QPoint(Right() - 1, scale_.BottomY() + 6));
        std::vector<QRect> taken;
        for (const PlacedLabel& label : labels_) {
            if (!plot.contains(label.rect)) {
                continue;
            }
            const bool clear = std::none_of(taken.begin(), taken.end(), [&](const QRect& other) {
                return other.intersects(label.rect);
            });
            if (clear) {
                taken.push_back(label.rect);
                Text(label.rect.left(), label.rect.top(), label.text);
            }
        }
        labels_.clear();
    }

    // The other day's bars as outlines: the same rows and ends as a bar of that value, so a
    // day compared with itself draws every outline exactly over its bar's edge. Kept within
    // the plot.
    void DrawCompareOutlines(const analytics::HistogramData& data, const ChartOverlay& overlay) {
        const double strike_factor = PowerOfTen(scale_.ds);
        const double value_factor = PowerOfTen(scale_.dv);
        const int x0 = scale_.ValueToX(0) + 1;
        painter_.save();
        painter_.setClipRect(
            QRect(QPoint(Left(), scale_.TopY() - 3), QPoint(Right(), scale_.BottomY() + 3)));
        ForEachDrawnRow(data, [&](std::size_t i, double strike) {
            const int y = scale_.StrikeToY(std::llround(strike * strike_factor));
            for (const auto& [values, rgb] :
                 {std::pair{&overlay.compare_call, colours_.compare_call},
                  std::pair{&overlay.compare_put, colours_.compare_put}}) {
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
        painter_.restore();
    }

    // Thin lines across the plot at the given prices; a price outside the axis has none.
    void DrawPriceLines(const std::vector<PriceLine>& lines, double lowest, double highest) {
        const double strike_factor = PowerOfTen(scale_.ds);
        for (const PriceLine& line : lines) {
            if (!std::isfinite(line.price) || line.price < lowest || line.price > highest) {
                continue;
            }
            const int y = scale_.StrikeToY(std::llround(line.price * strike_factor));
            QPen pen(Colour(line.colour));
            pen.setStyle(line.dashed ? Qt::DashLine : Qt::SolidLine);
            painter_.setPen(pen);
            painter_.drawLine(Left() + 1, y, Right() - 1, y);
        }
    }

    // The legend and the notes in the band above the plot.
    void DrawLegend(const ChartOverlay& overlay) {
        UseFont(fonts_.label, label_metrics_);
        const QFontMetrics& metrics = label_metrics_;
        const std::vector<LegendItem> items = LegendItems(overlay, colours_);
        const LegendLayout layout = LayOutLegend(items, scale_.width, metrics);
        for (std::size_t k = 0; k < items.size(); ++k) {
            const LegendItem& item = items[k];
            const int x = layout.places[k].x();
            const int mid = layout.places[k].y() * kLegendRow + kLegendRow / 2 + 1;
            // A text wider than the chart (a long bar condition) ends in an ellipsis.
            if (item.mark == LegendItem::Mark::kNone) {
                Text(x, mid - metrics.height() / 2,
                     metrics.elidedText(item.text, Qt::ElideRight,
                                        std::max(10, scale_.width - x - 4)));
                continue;
            }
            DrawMark(item, x, mid);
            Text(x + kSwatch + 3, mid - metrics.height() / 2,
                 metrics.elidedText(item.text, Qt::ElideRight,
                                    std::max(10, scale_.width - x - kSwatch - 7)));
        }
    }

private:
    int Left() const { return scale_.ValueToX(scale_.vmin); }
    int Right() const { return scale_.ValueToX(scale_.vmax); }

    void DrawMark(const LegendItem& item, int x, int mid) {
        switch (item.mark) {
            case LegendItem::Mark::kFill:
                painter_.fillRect(x, mid - 3, kSwatch, 7, Colour(item.colour));
                break;
            case LegendItem::Mark::kTwoFills:
                painter_.fillRect(x, mid - 3, kSwatch / 2, 7, Colour(item.colour));
                painter_.fillRect(x + kSwatch / 2, mid - 3, kSwatch - kSwatch / 2, 7,
                                  Colour(item.second));
                break;
            case LegendItem::Mark::kOutline:
                Line(x, mid - 3, x + kSwatch - 1, mid - 3, item.colour);
                Line(x, mid + 3, x + kSwatch - 1, mid + 3, item.second);
                Line(x + kSwatch - 1, mid - 3, x + kSwatch - 1, mid + 3, item.colour);
                break;
            case LegendItem::Mark::kNone:
                break;
            case LegendItem::Mark::kLine:
            case LegendItem::Mark::kDashedLine: {
                QPen pen(Colour(item.colour));
                pen.setStyle(item.mark == LegendItem::Mark::kDashedLine ? Qt::DashLine
                                                                        : Qt::SolidLine);
                painter_.setPen(pen);
                painter_.drawLine(x, mid, x + kSwatch - 1, mid);
                break;
            }
        }
    }

    // The line and, centred under it within the canvas and four pixels below the frame, its
    // label, unless it would touch a label drawn before.
    void DrawValueLine(const ValueGridLine& line, int top, int bottom, std::vector<QRect>& drawn) {
        const int x = scale_.ValueToX(line.value);
        Line(x, bottom, x, top, colours_.grid);
        const QString label = QString::fromStdString(line.label);
        const QFontMetrics& metrics = *metrics_;
        const int width = metrics.horizontalAdvance(label);
        const int widest_x = scale_.width - width - 1;
        const QRect place(std::clamp(x - width / 2, 0, std::max(0, widest_x)), bottom + 4, width,
                          metrics.height());
        const QRect spaced = place.adjusted(-3, 0, 3, 0);
        if (std::any_of(drawn.begin(), drawn.end(),
                        [&](const QRect& other) { return other.intersects(spaced); })) {
            return;
        }
        drawn.push_back(place);
        Text(place.left(), place.top(), label);
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

    // A label after x starts 3 pixels right of it; one before x ends a pixel left of it. A
    // label that would cross the frame goes to the bar's other side of its end, inside the
    // bar's row, when it fits there.
    void Label(const QString& text, int x, int y, bool after, double size) {
        const QFontMetrics& metrics = label_metrics_;
        const int width = metrics.horizontalAdvance(text);
        const int height = metrics.height();
        int left = after ? x + 3 : x - width - 1;
        if (after && left + width > Right() - 1) {
            left = x - width - 3;
        } else if (!after && left < Left() + 1) {
            left = x + 3;
        }
        labels_.push_back({QRect(left, y - 6, width, std::min(height, 12)), text, size});
    }

    // Text is placed by its top-left corner, on a transparent background.
    void Text(int x, int y, const QString& text) {
        painter_.setPen(Colour(colours_.text));
        painter_.drawText(x, y + metrics_->ascent(), text);
    }

    void UseFont(const QFont& font, const QFontMetrics& metrics) {
        painter_.setFont(font);
        metrics_ = &metrics;
    }

    QPainter& painter_;
    const HistogramScale& scale_;
    const HistogramColours& colours_;
    const HistogramFonts& fonts_;
    // Made once per drawing: a QFontMetrics per label would cost more than the label.
    QFontMetrics axis_metrics_;
    QFontMetrics label_metrics_;
    const QFontMetrics* metrics_ = &label_metrics_;
    std::vector<PlacedLabel> labels_;
};

}  // namespace

HistogramFonts DefaultHistogramFonts() {
    const QFont font = MakeFont({QStringLiteral("Nina")}, 8);
    return {font, font};
}

void PaintHistogram(QPainter& painter, const analytics::HistogramData& data,
                    const ChartOverlay& overlay, const HistogramScale& scale,
                    const HistogramColours& colours, const HistogramFonts& fonts) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const int band = scale.legend_band;
    painter.fillRect(0, 0, scale.width, scale.height + band, Colour(colours.background));
    if (!scale.empty) {
        ChartPainter chart(painter, scale, colours, fonts);
        chart.DrawLegend(overlay);
        painter.translate(0, band);
        PaintHistogramBands(painter, scale, overlay.bands);
        chart.DrawGridAndAxes();
        chart.DrawBars(data);
        if (overlay.Compared()) {
            chart.DrawCompareOutlines(data, overlay);
        }
        const double factor = PowerOfTen(scale.ds);
        chart.DrawPriceLines(overlay.price_lines, static_cast<double>(scale.kmin) / factor,
                             static_cast<double>(scale.kmax) / factor);
        chart.DrawLabels();
    }
    painter.restore();
}

int LegendBand(const analytics::HistogramData& data, const ChartOverlay& overlay, int width,
               const HistogramFonts& fonts) {
    if (data.axis.empty() || !(data.axis.front() > 0.0)) {
        return 0;
    }
    const QFontMetrics metrics(fonts.label);
    const LegendLayout layout =
        LayOutLegend(LegendItems(overlay, HistogramColours{}), width, metrics);
    return layout.rows * kLegendRow + 3;
}

HistogramScale ScaleForCanvas(const analytics::HistogramData& data, const ChartOverlay& overlay,
                              const HistogramAnalysis& analysis, QSize size,
                              const HistogramFonts& fonts) {
    const int band = LegendBand(data, overlay, size.width(), fonts);
    HistogramScale scale = ScaleHistogram(data, analysis, size.width(), size.height() - band);
    scale.legend_band = band;
    return scale;
}

void PaintHistogram(QPainter& painter, QSize size, const analytics::HistogramData& data,
                    const ChartOverlay& overlay, const HistogramColours& colours,
                    const HistogramFonts& fonts) {
    PaintHistogram(painter, data, overlay,
                   ScaleForCanvas(data, overlay, AnalyseHistogram(data), size, fonts), colours,
                   fonts);
}

}  // namespace zarvex::ui
