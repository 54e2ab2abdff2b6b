#include "ui/history/history_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace zarvex::ui {
namespace {

constexpr int kGap = 6;
constexpr int kSwatch = 16;
constexpr int kLegendSpacing = 12;

QColor Colour(std::uint32_t rgb, int alpha = 255) {
    QColor colour = QColor::fromRgb(static_cast<QRgb>(rgb));
    colour.setAlpha(alpha);
    return colour;
}

struct LegendItem {
    const QString* name;
    std::uint32_t colour;
    bool bar;
};

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void Add(double v) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    void Add(const HistoryChartData::Series& series) {
        for (const auto& v : series) {
            if (v) {
                Add(*v);
            }
        }
    }
    bool Valid() const { return low <= high; }
};

// The pane's grid on the one chart axis: lines a little more than a text line apart.
void SetAxis(HistoryPane& pane, Range range, AxisUnit unit, double pixels,
             const QFontMetrics& metrics) {
    if (!range.Valid()) {
        range.low = 0.0;
        range.high = 1.0;
    }
    AxisRequest request;
    request.low = range.low;
    request.high = range.high;
    request.unit = unit;
    request.pixels = pixels;
    const double line = metrics.height();
    request.min_gap = std::max(18.0, line + 4.0);
    request.label_extent = [line](const std::string&) { return line; };
    const ChartAxis axis = MakeChartAxis(request);
    pane.low = axis.low;
    pane.high = axis.high;
    pane.step = axis.step;
    pane.decimals = axis.decimals;
    pane.ticks = axis.ticks;
}

std::vector<LegendItem> PaneLegend(int pane, const HistoryCaptions& c, const HistoryColours& k) {
    switch (pane) {
        case 0:
            return {{&c.call_level, k.call_level, false},
                    {&c.put_level, k.put_level, false},
                    {&c.upper_border, k.upper_border, false},
                    {&c.bottom_border, k.bottom_border, false},
                    {&c.upper_limit, k.upper_limit, false},
                    {&c.bottom_limit, k.bottom_limit, false},
                    {&c.delta_balance, k.delta_balance, false},
                    {&c.max_pain, k.max_pain, false}};
        case 1:
            return {{&c.ratio_oi, k.ratio_oi, false}, {&c.ratio_volume, k.ratio_volume, false}};
        default:
            return {{&c.call_oi, k.call_oi, true}, {&c.put_oi, k.put_oi, true}};
    }
}

// Rows the legend takes in the width, items flowing left to right.
int LegendRows(const std::vector<LegendItem>& items, int width, const QFontMetrics& metrics) {
    int rows = 1;
    int x = 0;
    for (const LegendItem& item : items) {
        const int w = kSwatch + 4 + metrics.horizontalAdvance(*item.name) + kLegendSpacing;
        if (x > 0 && x + w > width) {
            ++rows;
            x = 0;
        }
        x += w;
    }
    return rows;
}

class Painter final {
public:
    Painter(QPainter& painter, const HistoryLayout& layout, const HistoryChartData& data,
            const HistoryColours& colours, const QFont& font)
        : p_(painter), layout_(layout), data_(data), colours_(colours), metrics_(font) {}

    void Legend(const HistoryPane& pane, const std::vector<LegendItem>& items) {
        int x = pane.legend.left();
        int y = pane.legend.top();
        const int row = metrics_.height() + 2;
        for (const LegendItem& item : items) {
            const int w = kSwatch + 4 + metrics_.horizontalAdvance(*item.name) + kLegendSpacing;
            if (x > pane.legend.left() && x + w > pane.legend.right()) {
                x = pane.legend.left();
                y += row;
            }
            const int mid = y + row / 2;
            if (item.bar) {
                p_.fillRect(x + 3, mid - 4, kSwatch - 6, 8, Colour(item.colour));
                p_.setPen(Colour(colours_.bar_edge));
                p_.drawRect(x + 3, mid - 4, kSwatch - 7, 7);
            } else {
                p_.setPen(QPen(Colour(item.colour), 2));
                p_.drawLine(x, mid, x + kSwatch, mid);
            }
            p_.setPen(Colour(colours_.text));
            p_.drawText(x + kSwatch + 4, y + 1 + metrics_.ascent(), *item.name);
            x += w;
        }
    }

    void Grid(const HistoryPane& pane, const std::vector<int>& labelled) {
        p_.setPen(Colour(colours_.grid));
        for (const AxisTick& tick : pane.ticks) {
            const int y = pane.ValueToY(tick.value);
            p_.drawLine(pane.plot.left(), y, pane.plot.right(), y);
            if (tick.label.empty()) {
                continue;
            }
            const QString label = QString::fromStdString(tick.label);
            p_.save();
            p_.setPen(Colour(colours_.text));
            p_.drawText(pane.plot.left() - 4 - metrics_.horizontalAdvance(label),
                        y - metrics_.height() / 2 + metrics_.ascent(), label);
            p_.restore();
        }
        for (int day : labelled) {
            const int x = layout_.DayToX(day);
            p_.drawLine(x, pane.plot.top(), x, pane.plot.bottom());
        }
    }

    void Frame(const HistoryPane& pane) {
        p_.setPen(Colour(colours_.frame));
        p_.setBrush(Qt::NoBrush);
        const QRect& r = pane.plot;
        p_.drawRect(r.left(), r.top(), r.width() - 1, r.height() - 1);
    }

    void Channel(const HistoryPane& pane) {
        const auto& up = data_.upper_border;
        const auto& down = data_.bottom_border;
        const QColor shade = Colour(colours_.channel, 34);
        for (int i = 0; i + 1 < data_.Size(); ++i) {
            const auto a = static_cast<std::size_t>(i);
            const auto b = a + 1;
            if (!up[a] || !down[a] || !up[b] || !down[b]) {
                continue;
            }
            const int x1 = layout_.DayToX(i);
            const int x2 = layout_.DayToX(i + 1);
            const QPointF quad[4] = {{double(x1), double(pane.ValueToY(*up[a]))},
                                     {double(x2), double(pane.ValueToY(*up[b]))},
                                     {double(x2), double(pane.ValueToY(*down[b]))},
                                     {double(x1), double(pane.ValueToY(*down[a]))}};
            p_.setPen(Qt::NoPen);
            p_.setBrush(shade);
            p_.drawPolygon(quad, 4);
        }
        p_.setBrush(Qt::NoBrush);
    }

    // A line through the days that have a value; a day without one breaks it. A lone value
    // between two gaps is a dot.
    void Line(const HistoryPane& pane, const HistoryChartData::Series& series, std::uint32_t rgb) {
        p_.setPen(QPen(Colour(rgb), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath path;
        bool open = false;
        for (int i = 0; i < static_cast<int>(series.size()); ++i) {
            const auto& v = series[static_cast<std::size_t>(i)];
            if (!v) {
                open = false;
                continue;
            }
            const QPointF point(layout_.DayToX(i), pane.ValueToY(*v));
            if (open) {
                path.lineTo(point);
            } else {
                path.moveTo(point);
                path.lineTo(point);  // a lone point still draws its round cap
                open = true;
            }
        }
        p_.drawPath(path);
    }

    void OneLine(const HistoryPane& pane) {
        if (1.0 < pane.low || 1.0 > pane.high) {
            return;
        }
        p_.setPen(QPen(Colour(colours_.one_line), 1, Qt::DashLine));
        const int y = pane.ValueToY(1.0);
        p_.drawLine(pane.plot.left() + 1, y, pane.plot.right() - 1, y);
    }

    void Bars(const HistoryPane& pane) {
        const int half = std::max(1, static_cast<int>(layout_.slot * 0.8 / 2.0));
        const int base = pane.ValueToY(0.0);
        for (int i = 0; i < data_.Size(); ++i) {
            const int x = layout_.DayToX(i);
            Bar(x - half, half, base, pane.ValueToY(data_.call_oi[static_cast<std::size_t>(i)]),
                colours_.call_oi);
            Bar(x, half, base, pane.ValueToY(data_.put_oi[static_cast<std::size_t>(i)]),
                colours_.put_oi);
        }
    }

    void Marker(int day) {
        if (day < 0 || day >= data_.Size()) {
            return;
        }
        const int x = layout_.DayToX(day);
        p_.setPen(QPen(Colour(colours_.marker), 1));
        for (const HistoryPane& pane : layout_.panes) {
            p_.drawLine(x, pane.plot.top() + 1, x, pane.plot.bottom() - 1);
        }
    }

    void DateLabels(const std::vector<int>& labelled) {
        p_.setPen(Colour(colours_.text));
        const HistoryPane& last = layout_.panes[2];
        for (int day : labelled) {
            const int x = layout_.DayToX(day);
            p_.drawLine(x, last.plot.bottom(), x, last.plot.bottom() + 3);
            const QString& label = data_.dates[static_cast<std::size_t>(day)];
            const int w = metrics_.horizontalAdvance(label);
            const int left = std::clamp(x - w / 2, 0, std::max(0, layout_.size.width() - w - 1));
            p_.drawText(left, layout_.axis_top + 3 + metrics_.ascent(), label);
        }
    }

private:
    void Bar(int x, int w, int base, int top, std::uint32_t rgb) {
        if (top >= base) {
            return;
        }
        p_.fillRect(x, top, w, base - top, Colour(rgb));
        if (w >= 3) {
            p_.setPen(Colour(colours_.bar_edge));
            p_.drawRect(x, top, w - 1, base - top - 1);
        }
    }

    QPainter& p_;
    const HistoryLayout& layout_;
    const HistoryChartData& data_;
    const HistoryColours& colours_;
    QFontMetrics metrics_;
};

}  // namespace

int HistoryPane::ValueToY(double value) const {
    const double span = high - low;
    const double share = span > 0 ? (value - low) / span : 0.5;
    return plot.bottom() - 2 - static_cast<int>(std::lround(share * (plot.height() - 5)));
}

int HistoryLayout::DayToX(int day) const {
    return left + static_cast<int>((day + 0.5) * slot);
}

int HistoryLayout::DayAt(QPoint point) const {
    if (empty || point.x() < left || point.x() >= right) {
        return -1;
    }
    bool inside = false;
    for (const HistoryPane& pane : panes) {
        inside = inside || (point.y() >= pane.legend.top() && point.y() <= pane.plot.bottom());
    }
    if (!inside && point.y() < axis_top) {
        return -1;
    }
    const int day = static_cast<int>((point.x() - left) / slot);
    return std::clamp(day, 0, days - 1);
}

HistoryLayout LayoutHistoryChart(QSize size, const HistoryChartData& data,
                                 const HistoryCaptions& captions, const QFont& font) {
    HistoryLayout layout;
    layout.size = size;
    layout.days = data.Size();
    layout.empty = data.dates.empty();
    const QFontMetrics metrics(font);

    Range prices;
    for (const auto* series :
         {&data.call_level, &data.put_level, &data.upper_border, &data.bottom_border,
          &data.upper_limit, &data.bottom_limit, &data.delta_balance, &data.max_pain}) {
        prices.Add(*series);
    }
    Range ratios;
    ratios.Add(data.ratio_oi);
    ratios.Add(data.ratio_volume);
    ratios.Add(1.0);
    Range oi;
    oi.Add(0.0);
    for (std::size_t i = 0; i < data.call_oi.size(); ++i) {
        oi.Add(data.call_oi[i]);
        oi.Add(data.put_oi[i]);
    }
    const HistoryColours colours;
    const int row = metrics.height() + 2;
    const int axis = metrics.height() + 6;
    // The labels' width sets the plots' left edge, the plots' heights set the labels: a few
    // rounds settle both (the first guesses the heights from the whole size).
    std::array<int, 3> pixels{size.height() * 40 / 100, size.height() * 16 / 100,
                              size.height() * 16 / 100};
    for (int round = 0; round < 4; ++round) {
        SetAxis(layout.panes[0], prices, AxisUnit::kNumber, pixels[0], metrics);
        SetAxis(layout.panes[1], ratios, AxisUnit::kNumber, pixels[1], metrics);
        SetAxis(layout.panes[2], oi, AxisUnit::kCount, pixels[2], metrics);
        int widest = 0;
        for (const HistoryPane& pane : layout.panes) {
            for (const AxisTick& tick : pane.ticks) {
                widest =
                    std::max(widest, metrics.horizontalAdvance(QString::fromStdString(tick.label)));
            }
        }
        layout.left = widest + 8;
        layout.right = std::max(layout.left + 1, size.width() - 8);
        layout.slot = std::max(
            1e-3, static_cast<double>(layout.right - layout.left) / std::max(1, layout.days));
        std::array<int, 3> legend_heights{};
        for (int p = 0; p < 3; ++p) {
            legend_heights[static_cast<std::size_t>(p)] =
                row *
                LegendRows(PaneLegend(p, captions, colours), layout.right - layout.left, metrics);
        }
        const int legends = legend_heights[0] + legend_heights[1] + legend_heights[2];
        const int plots = std::max(30, size.height() - legends - axis - 2 * kGap - 4);
        const std::array<int, 3> heights{plots * 52 / 100, plots * 21 / 100,
                                         plots - plots * 52 / 100 - plots * 21 / 100};
        int y = 2;
        for (std::size_t p = 0; p < 3; ++p) {
            HistoryPane& pane = layout.panes[p];
            pane.legend = QRect(layout.left, y, layout.right - layout.left, legend_heights[p]);
            y += legend_heights[p];
            pane.plot = QRect(layout.left, y, layout.right - layout.left, heights[p]);
            y += heights[p] + kGap;
        }
        // ValueToY spans the plot less its two-pixel margins.
        const std::array<int, 3> spans{heights[0] - 5, heights[1] - 5, heights[2] - 5};
        if (spans == pixels) {
            break;
        }
        pixels = spans;
    }
    layout.axis_top = layout.panes[2].plot.bottom();
    return layout;
}

std::vector<int> LabelledDays(const HistoryLayout& layout, const HistoryChartData& data,
                              const QFont& font) {
    std::vector<int> labelled;
    if (layout.empty) {
        return labelled;
    }
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("00.00.0000")) + 10;
    const int every = std::max(1, static_cast<int>(std::ceil(width / layout.slot)));
    int last_right = std::numeric_limits<int>::min() / 2;
    for (int day = 0; day < data.Size(); day += every) {
        const int w = metrics.horizontalAdvance(data.dates[static_cast<std::size_t>(day)]);
        const int x = layout.DayToX(day);
        const int left = std::clamp(x - w / 2, 0, std::max(0, layout.size.width() - w - 1));
        if (left < last_right + 6) {
            continue;
        }
        labelled.push_back(day);
        last_right = left + w;
    }
    return labelled;
}

void PaintHistoryChart(QPainter& painter, const HistoryLayout& layout, const HistoryChartData& data,
                       const HistoryCaptions& captions, int shown_day,
                       const HistoryColours& colours, const QFont& font) {
    painter.save();
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(0, 0, layout.size.width(), layout.size.height(), Colour(colours.background));
    if (layout.empty) {
        painter.restore();
        return;
    }
    Painter chart(painter, layout, data, colours, font);
    const std::vector<int> labelled = LabelledDays(layout, data, font);
    for (int p = 0; p < 3; ++p) {
        const HistoryPane& pane = layout.panes[static_cast<std::size_t>(p)];
        chart.Legend(pane, PaneLegend(p, captions, colours));
        chart.Grid(pane, labelled);
    }
    const HistoryPane& prices = layout.panes[0];
    painter.save();
    painter.setClipRect(prices.plot.adjusted(1, 1, -1, -1));
    painter.setRenderHint(QPainter::Antialiasing, true);
    chart.Channel(prices);
    chart.Line(prices, data.upper_limit, colours.upper_limit);
    chart.Line(prices, data.bottom_limit, colours.bottom_limit);
    chart.Line(prices, data.upper_border, colours.upper_border);
    chart.Line(prices, data.bottom_border, colours.bottom_border);
    chart.Line(prices, data.delta_balance, colours.delta_balance);
    chart.Line(prices, data.max_pain, colours.max_pain);
    chart.Line(prices, data.put_level, colours.put_level);
    chart.Line(prices, data.call_level, colours.call_level);
    painter.restore();

    const HistoryPane& ratios = layout.panes[1];
    painter.save();
    painter.setClipRect(ratios.plot.adjusted(1, 1, -1, -1));
    chart.OneLine(ratios);
    painter.setRenderHint(QPainter::Antialiasing, true);
    chart.Line(ratios, data.ratio_oi, colours.ratio_oi);
    chart.Line(ratios, data.ratio_volume, colours.ratio_volume);
    painter.restore();

    chart.Bars(layout.panes[2]);
    chart.Marker(shown_day);
    for (const HistoryPane& pane : layout.panes) {
        chart.Frame(pane);
    }
    chart.DateLabels(labelled);
    painter.restore();
}

}  // namespace zarvex::ui
