#pragma once

#include <QFrame>
#include <QImage>
#include <QString>
#include <vector>

#include "analytics/volatility/vol_cone.h"

namespace zarvex::ui {

// Where each constant maturity's volatility has been over the stored days: the range from the
// lowest to the highest, the 10-90 and 25-75 percentile bands and the median, with the shown
// day's own term structure drawn over them.
class VolConeChart final : public QFrame {
    Q_OBJECT

public:
    struct Names {
        QString title;
        QString range;  // lowest to highest
        QString median;
        QString today;  // the shown day's line
    };

    explicit VolConeChart(QWidget* parent = nullptr);

    void SetData(std::vector<analytics::ConeTenor> cone, Names names);
    const std::vector<analytics::ConeTenor>& Cone() const { return cone_; }
    QImage Render(qreal ratio) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size) const;

    std::vector<analytics::ConeTenor> cone_;
    Names names_;
};

}  // namespace zarvex::ui
