#pragma once

#include <QFrame>
#include <QImage>
#include <QString>
#include <array>

#include "analytics/volatility/density.h"

namespace zarvex::ui {

// The distribution of the settlement the premiums imply: the density over the grid's strikes
// (values below zero drawn as zero), the forward, and the 5/25/50/75/95% quantiles marked.
class DensityChart final : public QFrame {
    Q_OBJECT

public:
    explicit DensityChart(QWidget* parent = nullptr);

    // labels: the quantiles' names in the chart's language, "5%" ... "95%" are numbers alone.
    void SetData(analytics::SettlementDensity density, double forward, QString title,
                 QString negative_label);
    const analytics::SettlementDensity& Density() const { return density_; }
    QImage Render(qreal ratio) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size) const;

    analytics::SettlementDensity density_;
    double forward_ = 0.0;
    QString title_;
    QString negative_label_;
};

}  // namespace zarvex::ui
