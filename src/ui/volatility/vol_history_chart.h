#pragma once

#include <QFrame>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

#include "analytics/volatility/vol_history.h"

namespace zarvex::ui {

// The symbol's 30-day implied volatility over its stored days with the futures' 20-day
// realized volatility beneath it, the premium between the two shaded (green where the options
// price more than the futures moved, red where less) and the shown day marked.
class VolHistoryChart final : public QFrame {
    Q_OBJECT

public:
    struct Names {
        QString title;
        QString implied;   // the cm30 line
        QString realized;  // the RV20 line
        QString premium;   // the shading
    };

    explicit VolHistoryChart(QWidget* parent = nullptr);

    // days oldest first; marked: the index of the shown day, nullopt for none.
    void SetData(std::vector<analytics::VolHistoryDay> days, std::optional<std::size_t> marked,
                 Names names);
    const std::vector<analytics::VolHistoryDay>& Days() const { return days_; }
    std::optional<std::size_t> Marked() const { return marked_; }
    QImage Render(qreal ratio) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size) const;

    std::vector<analytics::VolHistoryDay> days_;
    std::optional<std::size_t> marked_;
    Names names_;
};

}  // namespace zarvex::ui
