#pragma once

#include <QFrame>
#include <QImage>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "analytics/scorecard/scorecard.h"

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

// The scorecard drawn: how often each line held at each horizon, as bars with their 95%
// intervals; max pain's and the forward's error at expiry as paired bars per group of days
// left; and the smile's chances against the outcomes, with the diagonal a perfect forecast
// would follow. Every bar and point has a tooltip with its counts.
class ScorecardChart final : public QFrame {
    Q_OBJECT

public:
    ScorecardChart(QWidget* parent, const common::TextTable& texts);

    void SetCard(std::optional<analytics::Scorecard> card);
    const std::optional<analytics::Scorecard>& Card() const { return card_; }
    QImage Render(qreal ratio) const;
    // The tooltip of what stands at a point of the widget; empty where nothing does.
    QString TipAt(QPointF point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Tip {
        QRectF area;
        QString text;
    };
    void Paint(QPainter& painter, QSize size, std::vector<Tip>* tips) const;
    void PaintHeld(QPainter& painter, QRectF area, std::vector<Tip>* tips) const;
    void PaintMaxPain(QPainter& painter, QRectF area, std::vector<Tip>* tips) const;
    void PaintCalibration(QPainter& painter, QRectF area, std::vector<Tip>* tips) const;
    QString Text(int entry) const;

    const common::TextTable& texts_;
    std::optional<analytics::Scorecard> card_;
};

// Steps of a value axis from 0 to at least `high`: 1, 2, 2.5 or 5 × 10^k, about four of them.
std::vector<double> ValueSteps(double high);

}  // namespace zarvex::ui
