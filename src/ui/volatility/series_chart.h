#pragma once

#include <QColor>
#include <QFrame>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "ui/chart/chart_axis.h"

namespace zarvex::ui {

// Lines of volatility figures over a numeric axis (days to expiry, or the days of a
// contract), in one or more panes stacked top to bottom; a gap where a value is missing.
class SeriesChart final : public QFrame {
    Q_OBJECT

public:
    struct Series {
        QString name;
        QColor colour;
        std::vector<std::optional<double>> values;  // one per x
    };
    struct Pane {
        QString title;
        std::vector<Series> series;
    };

    explicit SeriesChart(QWidget* parent = nullptr);

    // x ascending in x_unit; x_label, when given, writes an axis value (a day's date for its
    // index); marked: an x index drawn as a vertical line (the shown day), -1 for none.
    void SetData(std::vector<double> x, std::vector<Pane> panes, AxisUnit x_unit,
                 std::function<std::string(double)> x_label = {}, int marked = -1);
    const std::vector<Pane>& Panes() const { return panes_; }
    QImage Render(qreal ratio) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size) const;

    std::vector<double> x_;
    std::vector<Pane> panes_;
    AxisUnit x_unit_ = AxisUnit::kNumber;
    std::function<std::string(double)> x_label_;
    int marked_ = -1;
};

}  // namespace zarvex::ui
