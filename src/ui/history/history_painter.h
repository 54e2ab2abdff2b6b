#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "ui/chart/chart_axis.h"
#include "ui/history/history_chart_data.h"

class QPainter;

namespace zarvex::ui {

// Colours as 0xRRGGBB; background, text, grid and frame are the histogram chart's.
struct HistoryColours {
    std::uint32_t background = 0xFFFFFA;
    std::uint32_t text = 0x000000;
    std::uint32_t grid = 0xDDDDDD;
    std::uint32_t frame = 0x000000;
    std::uint32_t marker = 0x505050;
    std::uint32_t call_level = 0xD62728;
    std::uint32_t put_level = 0x1F5FD6;
    std::uint32_t upper_border = 0x2CA02C;
    std::uint32_t bottom_border = 0x17A398;
    std::uint32_t channel = 0x2CA02C;  // drawn at a low alpha
    std::uint32_t upper_limit = 0xFF7F0E;
    std::uint32_t bottom_limit = 0x9467BD;
    std::uint32_t delta_balance = 0xE377C2;
    std::uint32_t max_pain = 0x8C564B;
    std::uint32_t ratio_oi = 0x1F77B4;
    std::uint32_t ratio_volume = 0xFF7F0E;
    std::uint32_t one_line = 0x888888;
    std::uint32_t call_oi = 0xFDA8A8;  // the histogram's CALL and PUT colours
    std::uint32_t put_oi = 0xA8A8FD;
    std::uint32_t bar_edge = 0x000000;
};

// The legend names, in the interface language.
struct HistoryCaptions {
    QString call_level, put_level, upper_border, bottom_border, upper_limit, bottom_limit,
        delta_balance, max_pain, ratio_oi, ratio_volume, call_oi, put_oi;
};

// One of the three charts: its legend band, its plot rectangle and its value range.
struct HistoryPane {
    QRect legend;
    QRect plot;
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
    int decimals = 0;
    std::vector<AxisTick> ticks;

    int ValueToY(double value) const;
};

// Where everything goes for a size: the days are categories of equal width (days without
// trading take no room), shared by the three panes.
struct HistoryLayout {
    bool empty = true;
    QSize size;
    int left = 0;
    int right = 0;
    int days = 0;
    double slot = 1.0;
    std::array<HistoryPane, 3> panes;  // lines in prices, PUT/CALL ratios, open interest
    int axis_top = 0;                  // date labels below the last pane

    int DayToX(int day) const;
    // The day under x, or -1 outside the plots.
    int DayAt(QPoint point) const;
};

HistoryLayout LayoutHistoryChart(QSize size, const HistoryChartData& data,
                                 const HistoryCaptions& captions, const QFont& font);

// Draws the whole history chart at the painter's origin; shown_day (an index into the data,
// -1 for none) gets the vertical marker. The widget and the saved pictures draw through here.
void PaintHistoryChart(QPainter& painter, const HistoryLayout& layout, const HistoryChartData& data,
                       const HistoryCaptions& captions, int shown_day,
                       const HistoryColours& colours, const QFont& font);

// The date labels that fit: indexes of the days labelled, never overlapping.
std::vector<int> LabelledDays(const HistoryLayout& layout, const HistoryChartData& data,
                              const QFont& font);

}  // namespace zarvex::ui
