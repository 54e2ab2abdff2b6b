#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

#include "analytics/volatility/gamma_exposure.h"

namespace zarvex::ui {

// The dealers' gamma by strike: CALL and PUT bars apart, the total as a line through the
// strikes, the zero-gamma price as a vertical line, and the assumption about who holds what
// written on the chart, because every sign on it follows from that assumption.
class ExposureChart final : public QFrame {
    Q_OBJECT

public:
    explicit ExposureChart(QWidget* parent = nullptr);

    // assumption: the sign's wording; note: a line under it (the contract size used).
    void SetData(analytics::GammaExposure exposure, QString title, QString assumption, QString note,
                 QString zero_gamma_label);
    // The context menu's entry that flips the assumption.
    void SetSwitchText(QString text) { switch_label_ = std::move(text); }
    const analytics::GammaExposure& Exposure() const { return exposure_; }
    const QString& Assumption() const { return assumption_; }
    QImage Render(qreal ratio) const;

signals:
    // The context menu's switch of the sign assumption.
    void SignSwitchRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Paint(QPainter& painter, QSize size) const;

    analytics::GammaExposure exposure_;
    QString title_;
    QString assumption_;
    QString note_;
    QString zero_gamma_label_;
    QString switch_label_;
};

}  // namespace zarvex::ui
