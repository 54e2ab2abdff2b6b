#pragma once

#include <QFrame>
#include <QImage>
#include <functional>

#include "ui/history/history_painter.h"

namespace zarvex::ui {

// The drawn History chart: prices, PUT/CALL ratios and open interest over a contract's days.
// Keeps its picture between updates, so that hovering only reads what is drawn.
class HistoryChart final : public QFrame {
    Q_OBJECT

public:
    explicit HistoryChart(QWidget* parent = nullptr);

    void SetCaptions(HistoryCaptions captions);
    void SetData(HistoryChartData values);
    // The day marked by the vertical line (an index into the data, -1 for none).
    void SetShownDay(int day);
    // Text of the tooltip over a day (an index into the data).
    void SetToolTipText(std::function<QString(int)> text) { tooltip_ = std::move(text); }

    const HistoryChartData& Data() const { return data_; }
    const HistoryLayout& Layout() const { return layout_; }
    int ShownDay() const { return shown_day_; }
    // The picture of the inside of the frame, at its size times ratio.
    QImage Render(qreal ratio = 1.0) const;
    const QImage& Picture();

signals:
    void DayClicked(int day);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Redraw();
    QPoint ToCanvas(QPoint widget_point) const;

    HistoryColours colours_;
    HistoryCaptions captions_;
    QFont font_;
    HistoryChartData data_;
    HistoryLayout layout_;
    int shown_day_ = -1;
    QImage picture_;
    std::function<QString(int)> tooltip_;
};

}  // namespace zarvex::ui
