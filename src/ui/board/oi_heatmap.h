#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>

#include "analytics/board/oi_map.h"

namespace zarvex::ui {

// Where the parts of the drawn map lie for a size.
struct HeatmapLayout {
    QRect grid;    // the cells
    QRect sums;    // the bars of the strikes' sums, right of the cells
    QRect legend;  // the colour scale, below
    double cell_width = 0.0;
    double cell_height = 0.0;
};

// The open-interest map as a heatmap: strikes down (highest on top), contracts across (nearest
// first), each cell coloured by its value on a scale (shades of blue for open interest, red
// for a fall and green for a rise when the map holds changes), the strikes' sums as bars
// beside it and the scale below. Hovering names a cell's values; a click on a cell reports its
// contract.
class OiHeatmap final : public QWidget {
    Q_OBJECT

public:
    explicit OiHeatmap(QWidget* parent = nullptr);

    void SetMap(analytics::OiMap map);
    const analytics::OiMap& Map() const { return map_; }
    // Caption of the sums column ("Sum").
    void SetSumCaption(QString caption) { sum_caption_ = std::move(caption); }

    HeatmapLayout Layout() const;
    // The cell under a point as (strike row, contract column), rows counted as drawn: row 0 is
    // the highest strike.
    std::optional<std::pair<int, int>> CellAt(QPoint point) const;
    QString ToolTipAt(QPoint point) const;
    // The colour of a value on the map's scale.
    QColor ColourOf(std::int64_t value) const;

signals:
    void CellClicked(int contract_column, double strike);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The map's row drawn at a row index (highest strike first).
    std::size_t MapRow(int drawn_row) const;

    analytics::OiMap map_;
    std::int64_t largest_ = 0;      // the largest |cell|
    std::int64_t largest_sum_ = 0;  // the largest |sum|
    QString sum_caption_ = QStringLiteral("Sum");
};

}  // namespace zarvex::ui
