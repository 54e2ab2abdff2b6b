#include "ui/scorecard/scorecard_chart.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <cmath>

#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::ui {

namespace text = common::text;

namespace {

const QColor kBackground(0xFF, 0xFF, 0xFA);
const QColor kGrid(0xDD, 0xDD, 0xDD);
// One colour per horizon: a day, five days, expiry.
const std::array<QColor, 3> kHorizonColours{QColor(0x4E, 0x79, 0xA7), QColor(0xF2, 0x8E, 0x2B),
                                            QColor(0x59, 0xA1, 0x4F)};
const QColor kMaxPainColour(0xB0, 0x7A, 0xA1);
const QColor kForwardColour(0x9C, 0x9C, 0x9C);

QString Share(double value) {
    return QString::number(value * 100.0, 'f', 1) + QStringLiteral("%");
}

// The plot inside an area, with room for the title above and the labels left and below.
QRectF PlotOf(QRectF area, const QFontMetrics& metrics) {
    const double line = metrics.height();
    return area.adjusted(metrics.horizontalAdvance(QStringLiteral("100%")) + 10, line + 8, -8,
                         -(line + 6));
}

void Title(QPainter& painter, QRectF area, const QString& title) {
    painter.setPen(Qt::black);
    painter.drawText(QPointF(area.left() + 4, area.top() + painter.fontMetrics().ascent() + 2),
                     title);
}

// Horizontal grid lines with their labels at the values given, from 0 at the bottom to `high`.
void ValueGrid(QPainter& painter, QRectF plot, const std::vector<double>& steps, double high,
               const std::function<QString(double)>& label) {
    const QFontMetrics metrics = painter.fontMetrics();
    for (const double value : steps) {
        const double y = plot.bottom() - value / high * plot.height();
        painter.setPen(kGrid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        const QString text = label(value);
        painter.drawText(QPointF(plot.left() - metrics.horizontalAdvance(text) - 4,
                                 y + metrics.ascent() / 2.0 - 1),
                         text);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}

void CentredBelow(QPainter& painter, QRectF plot, double x, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(Qt::black);
    painter.drawText(
        QPointF(x - metrics.horizontalAdvance(text) / 2.0, plot.bottom() + metrics.ascent() + 3),
        text);
}

}  // namespace

std::vector<double> ValueSteps(double high) {
    if (!(high > 0.0) || !std::isfinite(high)) {
        return {0.0, 1.0};
    }
    const double raw = high / 4.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power * 10.0;
    for (const double factor : {1.0, 2.0, 2.5, 5.0}) {
        if (power * factor >= raw) {
            step = power * factor;
            break;
        }
    }
    std::vector<double> steps;
    for (int i = 0; steps.empty() || steps.back() < high * (1.0 - 1e-9); ++i) {
        steps.push_back(step * i);
    }
    return steps;
}

ScorecardChart::ScorecardChart(QWidget* parent, const common::TextTable& texts)
    : QFrame(parent), texts_(texts) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMouseTracking(true);
}

QString ScorecardChart::Text(int entry) const {
    return QString::fromStdString(texts_.Get(entry));
}

void ScorecardChart::SetCard(std::optional<analytics::Scorecard> card) {
    card_ = std::move(card);
    update();
}

QImage ScorecardChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size(), nullptr);
    return image;
}

QString ScorecardChart::TipAt(QPointF point) const {
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter painter(&scratch);
    painter.setFont(font());
    std::vector<Tip> tips;
    Paint(painter, size(), &tips);
    for (const Tip& tip : tips) {
        if (tip.area.contains(point)) {
            return tip.text;
        }
    }
    return {};
}

void ScorecardChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size(), nullptr);
}

bool ScorecardChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QFrame::event(event);
}

void ScorecardChart::Paint(QPainter& painter, QSize size, std::vector<Tip>* tips) const {
    painter.fillRect(QRect(QPoint(0, 0), size), kBackground);
    if (!card_) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double width = size.width();
    const double height = size.height();
    const double top_height = std::floor(height * 0.52);
    PaintHeld(painter, QRectF(0, 0, width, top_height), tips);
    const double half = std::floor(width / 2.0);
    PaintMaxPain(painter, QRectF(0, top_height, half, height - top_height), tips);
    PaintCalibration(painter, QRectF(half, top_height, width - half, height - top_height), tips);
}

void ScorecardChart::PaintHeld(QPainter& painter, QRectF area, std::vector<Tip>* tips) const {
    Title(painter, area, Text(text::kScorecardHeld));
    const QFontMetrics metrics = painter.fontMetrics();
    const QRectF plot = PlotOf(area, metrics);
    ValueGrid(painter, plot, {0.0, 0.25, 0.5, 0.75, 1.0}, 1.0,
              [](double v) { return QString::number(v * 100.0, 'f', 0) + QStringLiteral("%"); });
    const std::array<int, 4> names{text::kScorecardBorders, text::kScorecardLimits,
                                   text::kCallLevel, text::kPutLevel};
    const std::array<int, 3> horizons{text::kHorizonOneDay, text::kHorizonFiveDays,
                                      text::kHorizonExpiry};
    const double group = plot.width() / 4.0;
    const double bar = group / 4.5;
    for (const analytics::LineScore& score : card_->lines) {
        const auto g = static_cast<std::size_t>(score.line);
        const auto h = static_cast<std::size_t>(score.horizon);
        const double left = plot.left() + group * static_cast<double>(g) +
                            (group - 3.0 * bar) / 2.0 + bar * static_cast<double>(h);
        const QRectF slot(left, plot.top(), bar, plot.height());
        QString tip =
            Text(names[g]) + QStringLiteral(", ") + Text(horizons[h]) + QStringLiteral(": ");
        if (score.rate) {
            const auto y = [&](double v) { return plot.bottom() - v * plot.height(); };
            painter.setPen(Qt::NoPen);
            painter.setBrush(kHorizonColours[h]);
            painter.drawRect(QRectF(QPointF(left + 1, y(score.rate->share)),
                                    QPointF(left + bar - 1, plot.bottom())));
            // The interval as a whisker over the bar.
            painter.setPen(QPen(Qt::black, 1.2));
            const double mid = left + bar / 2.0;
            painter.drawLine(QPointF(mid, y(score.rate->low)), QPointF(mid, y(score.rate->high)));
            painter.drawLine(QPointF(mid - bar / 4, y(score.rate->low)),
                             QPointF(mid + bar / 4, y(score.rate->low)));
            painter.drawLine(QPointF(mid - bar / 4, y(score.rate->high)),
                             QPointF(mid + bar / 4, y(score.rate->high)));
            tip +=
                Text(text::kScorecardHeldTip)
                    .arg(score.held)
                    .arg(score.cases)
                    .arg(Share(score.rate->share), Share(score.rate->low), Share(score.rate->high),
                         score.distance_in_moves ? QString::number(*score.distance_in_moves, 'f', 2)
                                                 : QStringLiteral("–"));
        } else {
            tip += Text(text::kScorecardHeldTip)
                       .arg(0)
                       .arg(0)
                       .arg(QStringLiteral("–"), QStringLiteral("–"), QStringLiteral("–"),
                            QStringLiteral("–"));
        }
        if (tips != nullptr) {
            tips->push_back({slot, tip});
        }
    }
    for (std::size_t g = 0; g < names.size(); ++g) {
        CentredBelow(painter, plot, plot.left() + group * (static_cast<double>(g) + 0.5),
                     Text(names[g]));
    }
    // The legend of the horizons, top right.
    double x = plot.right();
    for (std::size_t h = horizons.size(); h-- > 0;) {
        const QString name = Text(horizons[h]);
        x -= metrics.horizontalAdvance(name) + 18;
        painter.setPen(Qt::NoPen);
        painter.setBrush(kHorizonColours[h]);
        painter.drawRect(QRectF(x, plot.top() - 12, 10, 8));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x + 13, plot.top() - 4), name);
    }
}

void ScorecardChart::PaintMaxPain(QPainter& painter, QRectF area, std::vector<Tip>* tips) const {
    Title(painter, area, Text(text::kScorecardMaxPainTitle));
    const QFontMetrics metrics = painter.fontMetrics();
    QRectF plot = PlotOf(area, metrics);
    plot.setBottom(plot.bottom() - metrics.height());
    double high = 0.0;
    for (const analytics::MaxPainScore& score : card_->max_pain) {
        high =
            std::max({high, score.max_pain_error.value_or(0.0), score.forward_error.value_or(0.0)});
    }
    const std::vector<double> steps = ValueSteps(high);
    const double top = steps.back();
    // Just enough decimals that no two labels read alike.
    int decimals = 0;
    while (decimals < 8 && steps.size() > 1 &&
           QString::number(steps[1], 'f', decimals) == QString::number(steps[0], 'f', decimals)) {
        ++decimals;
    }
    if (steps.size() > 2) {
        for (std::size_t i = 1; i + 1 < steps.size(); ++i) {
            while (decimals < 8 && QString::number(steps[i], 'f', decimals) ==
                                       QString::number(steps[i + 1], 'f', decimals)) {
                ++decimals;
            }
        }
    }
    ValueGrid(painter, plot, steps, top,
              [decimals](double v) { return QString::number(v, 'f', decimals); });
    const double group =
        plot.width() / static_cast<double>(std::max<std::size_t>(1, card_->max_pain.size()));
    const double bar = group / 3.0;
    for (std::size_t g = 0; g < card_->max_pain.size(); ++g) {
        const analytics::MaxPainScore& score = card_->max_pain[g];
        const double left =
            plot.left() + group * static_cast<double>(g) + (group - 2.0 * bar) / 2.0;
        const auto y = [&](double v) { return plot.bottom() - v / top * plot.height(); };
        if (score.max_pain_error && score.forward_error) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kMaxPainColour);
            painter.drawRect(QRectF(QPointF(left, y(*score.max_pain_error)),
                                    QPointF(left + bar - 1, plot.bottom())));
            painter.setBrush(kForwardColour);
            painter.drawRect(QRectF(QPointF(left + bar, y(*score.forward_error)),
                                    QPointF(left + 2 * bar - 1, plot.bottom())));
        }
        const QString name = QString::number(score.first_day) + QStringLiteral("–") +
                             QString::number(score.last_day);
        CentredBelow(painter, plot, left + bar, name);
        if (tips != nullptr) {
            const auto number = [decimals](const std::optional<double>& v) {
                return v ? QString::number(*v, 'f', decimals + 1) : QStringLiteral("–");
            };
            tips->push_back({QRectF(left, plot.top(), 2 * bar, plot.height()),
                             Text(text::kScorecardMaxPainTip)
                                 .arg(name)
                                 .arg(score.cases)
                                 .arg(number(score.max_pain_error), number(score.forward_error),
                                      score.max_pain_closer ? Share(score.max_pain_closer->share)
                                                            : QStringLiteral("–"))});
        }
    }
    painter.setPen(Qt::black);
    const QString days = Text(text::kScorecardDaysLeft);
    painter.drawText(QPointF(plot.center().x() - metrics.horizontalAdvance(days) / 2.0,
                             plot.bottom() + 2 * metrics.height() + 1),
                     days);
    // Legend: max pain and the forward.
    double x = plot.right();
    for (const auto& [name, colour] : {std::pair{Text(text::kScorecardForward), kForwardColour},
                                       std::pair{Text(text::kMaxPain), kMaxPainColour}}) {
        x -= metrics.horizontalAdvance(name) + 18;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRect(QRectF(x, plot.top() + 4, 10, 8));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x + 13, plot.top() + 12), name);
    }
}

void ScorecardChart::PaintCalibration(QPainter& painter, QRectF area,
                                      std::vector<Tip>* tips) const {
    Title(painter, area, Text(text::kScorecardCalibration));
    const QFontMetrics metrics = painter.fontMetrics();
    QRectF plot = PlotOf(area, metrics);
    // Square, so that the diagonal reads as one.
    const double side = std::min(plot.width(), plot.height());
    plot = QRectF(plot.left(), plot.top(), side, side);
    const std::vector<double> steps{0.0, 0.25, 0.5, 0.75, 1.0};
    ValueGrid(painter, plot, steps, 1.0,
              [](double v) { return QString::number(v * 100.0, 'f', 0) + QStringLiteral("%"); });
    for (const double v : steps) {
        CentredBelow(painter, plot, plot.left() + v * plot.width(),
                     QString::number(v * 100.0, 'f', 0) + QStringLiteral("%"));
    }
    painter.setPen(QPen(QColor(0x88, 0x88, 0x88), 1.0, Qt::DashLine));
    painter.drawLine(plot.bottomLeft(), plot.topRight());
    std::int64_t most = 1;
    for (const analytics::CalibrationBin& bin : card_->calibration) {
        most = std::max(most, bin.cases);
    }
    for (const analytics::CalibrationBin& bin : card_->calibration) {
        if (!bin.predicted || !bin.observed) {
            continue;
        }
        const QPointF at(plot.left() + *bin.predicted * plot.width(),
                         plot.bottom() - *bin.observed * plot.height());
        // The area of a point grows with its count.
        const double radius =
            3.0 + 6.0 * std::sqrt(static_cast<double>(bin.cases) / static_cast<double>(most));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setBrush(kHorizonColours[2]);
        painter.drawEllipse(at, radius, radius);
        if (tips != nullptr) {
            tips->push_back({QRectF(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius),
                             Text(text::kScorecardBinTip)
                                 .arg(Share(*bin.predicted), Share(*bin.observed))
                                 .arg(bin.cases)});
        }
    }
    if (card_->brier) {
        painter.setPen(Qt::black);
        painter.drawText(QPointF(plot.right() + 6, plot.bottom() - 2),
                         QStringLiteral("Brier %1").arg(*card_->brier, 0, 'f', 3));
    }
}

}  // namespace zarvex::ui
