#include "ui/board/oi_heatmap.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/date.h"
#include "common/text.h"
#include "ui/chart/chart_axis.h"

namespace zarvex::ui {

namespace {

constexpr int kStrikeLabelWidth = 56;
constexpr int kHeaderHeight = 18;
constexpr int kSumWidth = 90;
constexpr int kLegendHeight = 26;
constexpr int kGap = 4;

QString NumberText(std::int64_t value) {
    return QString::number(value);
}

std::int64_t Magnitude(std::int64_t value) {
    // No value on the map comes near the ends of the range: strikes' counts are capped.
    return value < 0 ? -value : value;
}

QColor Blend(QColor from, QColor to, double share) {
    share = std::clamp(share, 0.0, 1.0);
    return QColor::fromRgbF(
        static_cast<float>(from.redF() + (to.redF() - from.redF()) * share),
        static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * share),
        static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * share));
}

}  // namespace

OiHeatmap::OiHeatmap(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(260, 200);
}

void OiHeatmap::SetMap(analytics::OiMap map) {
    map_ = std::move(map);
    largest_ = 0;
    largest_sum_ = 0;
    for (std::size_t row = 0; row < map_.cells.size(); ++row) {
        for (const std::int64_t cell : map_.cells[row]) {
            largest_ = std::max(largest_, Magnitude(cell));
        }
        largest_sum_ = std::max(largest_sum_, Magnitude(map_.sums[row]));
    }
    update();
}

HeatmapLayout OiHeatmap::Layout() const {
    HeatmapLayout layout;
    const int columns = static_cast<int>(map_.contracts.size());
    const int rows = static_cast<int>(map_.strikes.size());
    const int grid_width = std::max(0, width() - kStrikeLabelWidth - kSumWidth - 2 * kGap);
    const int grid_height = std::max(0, height() - kHeaderHeight - kLegendHeight - 2 * kGap);
    layout.grid = QRect(kStrikeLabelWidth, kHeaderHeight, grid_width, grid_height);
    layout.sums = QRect(layout.grid.right() + 1 + kGap, kHeaderHeight, kSumWidth, grid_height);
    layout.legend =
        QRect(kStrikeLabelWidth, layout.grid.bottom() + 1 + kGap, grid_width, kLegendHeight - 8);
    layout.cell_width = columns > 0 ? static_cast<double>(grid_width) / columns : 0.0;
    layout.cell_height = rows > 0 ? static_cast<double>(grid_height) / rows : 0.0;
    return layout;
}

std::size_t OiHeatmap::MapRow(int drawn_row) const {
    return map_.strikes.size() - 1 - static_cast<std::size_t>(drawn_row);
}

std::optional<std::pair<int, int>> OiHeatmap::CellAt(QPoint point) const {
    const HeatmapLayout layout = Layout();
    if (map_.strikes.empty() || map_.contracts.empty() || layout.cell_width <= 0.0 ||
        layout.cell_height <= 0.0) {
        return std::nullopt;
    }
    const bool in_rows = point.y() >= layout.grid.top() && point.y() <= layout.grid.bottom();
    const bool in_grid =
        in_rows && point.x() >= layout.grid.left() && point.x() <= layout.grid.right();
    const bool in_sums =
        in_rows && point.x() >= layout.sums.left() && point.x() <= layout.sums.right();
    if (!in_grid && !in_sums) {
        return std::nullopt;
    }
    const int row = std::min(static_cast<int>((point.y() - layout.grid.top()) / layout.cell_height),
                             static_cast<int>(map_.strikes.size()) - 1);
    const int column =
        in_sums ? -1
                : std::min(static_cast<int>((point.x() - layout.grid.left()) / layout.cell_width),
                           static_cast<int>(map_.contracts.size()) - 1);
    return std::make_pair(row, column);
}

QColor OiHeatmap::ColourOf(std::int64_t value) const {
    const double share =
        largest_ > 0 ? static_cast<double>(Magnitude(value)) / static_cast<double>(largest_) : 0.0;
    if (map_.change == 0) {
        return Blend(QColor(255, 255, 255), QColor(20, 60, 170), share);
    }
    return Blend(QColor(255, 255, 255), value < 0 ? QColor(200, 30, 30) : QColor(20, 150, 50),
                 share);
}

QString OiHeatmap::ToolTipAt(QPoint point) const {
    const auto cell = CellAt(point);
    if (!cell) {
        return {};
    }
    const std::size_t row = MapRow(cell->first);
    const QString strike = QString::fromStdString(common::FormatShort(map_.strikes[row]));
    QString text = strike;
    if (cell->second >= 0) {
        const auto column = static_cast<std::size_t>(cell->second);
        text += QStringLiteral("  ") + QString::fromStdString(map_.contracts[column]) +
                QStringLiteral(": ") + NumberText(map_.cells[row][column]);
    }
    text += QStringLiteral("\n") + sum_caption_ + QStringLiteral(": ") + NumberText(map_.sums[row]);
    return text;
}

bool OiHeatmap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void OiHeatmap::mousePressEvent(QMouseEvent* event) {
    const auto cell = CellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell && cell->second >= 0) {
        emit CellClicked(cell->second, map_.strikes[MapRow(cell->first)]);
    }
    QWidget::mousePressEvent(event);
}

void OiHeatmap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const HeatmapLayout layout = Layout();
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1.5));
    painter.setFont(small);
    const int rows = static_cast<int>(map_.strikes.size());
    const int columns = static_cast<int>(map_.contracts.size());
    if (rows == 0 || columns == 0) {
        painter.drawRect(layout.grid.adjusted(0, 0, -1, -1));
        return;
    }
    // Contract codes over their columns, as many as fit.
    const int label_every =
        std::max(1, static_cast<int>(std::ceil(60.0 / std::max(layout.cell_width, 1.0))));
    for (int column = 0; column < columns; column += label_every) {
        const QRectF place(layout.grid.left() + column * layout.cell_width, 0, 60, kHeaderHeight);
        painter.drawText(place, Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(map_.contracts[static_cast<std::size_t>(column)]));
    }
    painter.drawText(QRect(layout.sums.left(), 0, kSumWidth, kHeaderHeight), Qt::AlignCenter,
                     sum_caption_);
    // Strike labels down the left, as many as the row height allows.
    const int row_every =
        std::max(1, static_cast<int>(std::ceil(12.0 / std::max(layout.cell_height, 0.5))));
    for (int row = 0; row < rows; ++row) {
        const double top = layout.grid.top() + row * layout.cell_height;
        const std::size_t map_row = MapRow(row);
        for (int column = 0; column < columns; ++column) {
            const QRectF cell(layout.grid.left() + column * layout.cell_width, top,
                              layout.cell_width, layout.cell_height);
            painter.fillRect(cell, ColourOf(map_.cells[map_row][static_cast<std::size_t>(column)]));
        }
        // The sum as a bar from the middle of its column: left for a fall, right for a rise.
        const std::int64_t sum = map_.sums[map_row];
        const double half = layout.sums.width() / 2.0;
        const double length = largest_sum_ > 0 ? half * static_cast<double>(Magnitude(sum)) /
                                                     static_cast<double>(largest_sum_)
                                               : 0.0;
        const double origin = map_.change == 0 ? layout.sums.left() : layout.sums.left() + half;
        const double bar = map_.change == 0 ? 2.0 * length : length;
        const QRectF bar_rect(sum < 0 ? origin - bar : origin, top + layout.cell_height * 0.15, bar,
                              std::max(1.0, layout.cell_height * 0.7));
        painter.fillRect(bar_rect, map_.change == 0 ? QColor(20, 60, 170)
                                   : sum < 0        ? QColor(200, 30, 30)
                                                    : QColor(20, 150, 50));
        if (row % row_every == 0) {
            painter.setPen(palette().windowText().color());
            painter.drawText(QRectF(0, top - 6 + layout.cell_height / 2, kStrikeLabelWidth - 4, 12),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QString::fromStdString(common::FormatShort(map_.strikes[map_row])));
        }
    }
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(layout.grid.adjusted(0, 0, -1, -1));
    painter.drawRect(layout.sums.adjusted(0, 0, -1, -1));
    // The colour scale: its ends name the values they stand for.
    const int steps = 40;
    for (int i = 0; i < steps; ++i) {
        const double share =
            map_.change == 0 ? static_cast<double>(i) / (steps - 1) : 2.0 * i / (steps - 1) - 1.0;
        const auto value =
            static_cast<std::int64_t>(std::llround(share * static_cast<double>(largest_)));
        const double width = static_cast<double>(layout.legend.width()) / steps;
        painter.fillRect(QRectF(layout.legend.left() + i * width, layout.legend.top(), width + 1,
                                layout.legend.height() / 2.0),
                         ColourOf(value));
    }
    painter.setPen(palette().windowText().color());
    const double label_top = layout.legend.top() + layout.legend.height() / 2.0;
    const QRectF labels(layout.legend.left(), label_top, layout.legend.width(),
                        layout.legend.height() / 2.0 + 6);
    if (largest_ <= 0) {
        painter.drawText(labels, Qt::AlignLeft | Qt::AlignVCenter, NumberText(0));
        return;
    }
    // Round values along the scale, where their colours stand.
    const QFontMetrics metrics(font());
    AxisRequest request;
    request.low = map_.change == 0 ? 0.0 : -static_cast<double>(largest_);
    request.high = static_cast<double>(largest_);
    request.unit = AxisUnit::kCount;
    request.pixels = layout.legend.width();
    request.min_gap = 40.0;
    request.label_spacing = 8.0;
    request.extend = false;
    request.label_extent = [&metrics](const std::string& label) {
        return static_cast<double>(metrics.horizontalAdvance(QString::fromStdString(label)));
    };
    const ChartAxis axis = MakeChartAxis(request);
    double last_right = -1e9;
    for (const AxisTick& tick : axis.ticks) {
        if (tick.label.empty()) {
            continue;
        }
        const QString text = QString::fromStdString(tick.label);
        const double x = layout.legend.left() + axis.Share(tick.value) * layout.legend.width();
        const double w = metrics.horizontalAdvance(text);
        const double left = std::clamp(x - w / 2.0, static_cast<double>(layout.legend.left()),
                                       layout.legend.right() + 1.0 - w);
        // Held inside the scale, an end label may come near its neighbour's.
        if (left < last_right + 4.0) {
            continue;
        }
        last_right = left + w;
        painter.drawLine(QPointF(x, label_top - 2), QPointF(x, label_top + 1));
        painter.drawText(QRectF(left, labels.top(), w + 1, labels.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}

}  // namespace zarvex::ui
