#pragma once

#include <QFrame>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "analytics/volatility/contract_volatility.h"

namespace zarvex::ui {

// The smile of a contract: the volatility over the strike, a point per strike sized by its
// open interest, the forward marked, and another day's smile outlined for comparison.
class SmileChart final : public QFrame {
    Q_OBJECT

public:
    explicit SmileChart(QWidget* parent = nullptr);

    // compare: the other day's figures, drawn outlined; label names the dates.
    void SetData(const analytics::ContractVolatility& figures,
                 std::optional<analytics::ContractVolatility> compare, QString title);
    // The text over a strike of the smile; set by the page, which knows how to word it.
    void SetToolTipText(std::function<QString(int point)> text) { tooltip_ = std::move(text); }
    // The point of figures.points nearest to pixel x within 8 pixels, or -1.
    int PointAt(int x, int y) const;
    QImage Render(qreal ratio) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size) const;

    analytics::ContractVolatility figures_;
    std::optional<analytics::ContractVolatility> compare_;
    QString title_;
    std::function<QString(int)> tooltip_;
};

}  // namespace zarvex::ui
