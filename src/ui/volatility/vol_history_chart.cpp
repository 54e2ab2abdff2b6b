#include "ui/volatility/vol_history_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <span>

#include "common/date.h"
#include "ui/volatility/vol_plot.h"

namespace zarvex::ui {

namespace {

const QColor kImplied(0x1F, 0x5F, 0xBF);
const QColor kRealized(0xC0, 0x6A, 0x10);
const QColor kRich(0x22, 0x99, 0x44, 70);   // options above what the futures did
const QColor kCheap(0xCC, 0x22, 0x22, 70);  // options below it
const QColor kMark(0x88, 0x88, 0x88);

}  // namespace

VolHistoryChart::VolHistoryChart(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void VolHistoryChart::SetData(std::vector<analytics::VolHistoryDay> days,
                              std::optional<std::size_t> marked, Names names) {
    days_ = std::move(days);
    marked_ = marked && *marked < days_.size() ? marked : std::nullopt;
    names_ = std::move(names);
    update();
}

QImage VolHistoryChart::Render(qreal ratio) const {
    QImage image(size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void VolHistoryChart::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    Paint(painter, size());
}

void VolHistoryChart::Paint(QPainter& painter, QSize size) const {
    // The days before the first with either line carry nothing to draw (a new quote file's
    // first row is dated years before any real day): the axis starts after them.
    std::size_t first = 0;
    while (first < days_.size() && !days_[first].Cm30() && !days_[first].rv20) {
        ++first;
    }
    if (first == days_.size()) {
        first = 0;
    }
    const std::span<const analytics::VolHistoryDay> days(days_.data() + first,
                                                         days_.size() - first);
    std::optional<std::size_t> marked;
    if (marked_ && *marked_ >= first) {
        marked = *marked_ - first;
    }
    painter.fillRect(QRect(QPoint(0, 0), size), QColor(0xFF, 0xFF, 0xFA));
    painter.setFont(font());
    std::vector<double> values;
    for (const analytics::VolHistoryDay& day : days) {
        for (const auto& value : {day.Cm30(), day.rv20}) {
            if (value) {
                values.push_back(*value);
            }
        }
    }
    const auto [y_low, y_high] = PaddedRange(values);
    const double last = days.empty() ? 1.0 : static_cast<double>(days.size() - 1);
    // The x axis counts stored days, so that weekends and holidays leave no gaps; its lines
    // are labelled with the day's date.
    const auto date_of = [days](double index) {
        const double whole = std::round(index);
        if (std::fabs(index - whole) > 1e-9 || whole < 0.0 ||
            whole >= static_cast<double>(days.size())) {
            return std::string();
        }
        return common::DayText(days[static_cast<std::size_t>(whole)].date);
    };
    const VolPlot plot(QRect(QPoint(0, 0), size),
                       {0.0, std::max(last, 1.0), AxisUnit::kCount, date_of},
                       {y_low, y_high, AxisUnit::kPercent, {}}, QFontMetrics(font()));
    painter.setRenderHint(QPainter::Antialiasing, true);
    plot.DrawFrame(
        painter, TitleBesideLegend(names_.title, {names_.premium, names_.realized, names_.implied},
                                   plot.Plot(), painter.fontMetrics()));

    // Legend, right to left above the frame.
    int legend_x = plot.Plot().right();
    const auto legend = [&](const QString& name, const QColor& colour, bool area) {
        legend_x -= painter.fontMetrics().horizontalAdvance(name) + 18;
        const int y = plot.Plot().top() - 9;
        if (area) {
            painter.fillRect(QRect(legend_x, y - 4, 10, 8), kRich);
        } else {
            painter.setPen(QPen(colour, 1.5));
            painter.drawLine(legend_x, y, legend_x + 10, y);
        }
        painter.setPen(Qt::black);
        painter.drawText(legend_x + 13, plot.Plot().top() - 5, name);
    };
    legend(names_.premium, kRich, true);
    legend(names_.realized, kRealized, false);
    legend(names_.implied, kImplied, false);
    if (days.empty()) {
        return;
    }

    painter.save();
    painter.setClipRect(plot.Plot());
    // The premium: a strip per pair of neighbouring days that have both lines, cut where the
    // lines cross so that each part takes its own colour.
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 1; i < days.size(); ++i) {
        const analytics::VolHistoryDay& a = days[i - 1];
        const analytics::VolHistoryDay& b = days[i];
        if (!a.Cm30() || !a.rv20 || !b.Cm30() || !b.rv20) {
            continue;
        }
        const double x0 = static_cast<double>(i - 1);
        const double x1 = static_cast<double>(i);
        const double d0 = *a.Cm30() - *a.rv20;
        const double d1 = *b.Cm30() - *b.rv20;
        const auto strip = [&](double from, double to, double iv_from, double iv_to, double rv_from,
                               double rv_to, bool rich) {
            QPainterPath path;
            path.moveTo(plot.Map(from, iv_from));
            path.lineTo(plot.Map(to, iv_to));
            path.lineTo(plot.Map(to, rv_to));
            path.lineTo(plot.Map(from, rv_from));
            path.closeSubpath();
            painter.fillPath(path, rich ? kRich : kCheap);
        };
        if ((d0 >= 0.0) == (d1 >= 0.0)) {
            strip(x0, x1, *a.Cm30(), *b.Cm30(), *a.rv20, *b.rv20, d0 + d1 >= 0.0);
            continue;
        }
        const double t = d0 / (d0 - d1);
        const double x = x0 + t;
        const double at = *a.Cm30() + t * (*b.Cm30() - *a.Cm30());
        strip(x0, x, *a.Cm30(), at, *a.rv20, at, d0 >= 0.0);
        strip(x, x1, at, *b.Cm30(), at, *b.rv20, d1 >= 0.0);
    }
    if (marked) {
        const double x = static_cast<double>(*marked);
        painter.setPen(QPen(kMark, 1.0, Qt::DashLine));
        painter.drawLine(plot.Map(x, plot.YAxis().low), plot.Map(x, plot.YAxis().high));
    }
    const auto line = [&](const QColor& colour, auto value_of) {
        painter.setPen(QPen(colour, 1.5));
        for (std::size_t i = 1; i < days.size(); ++i) {
            const std::optional<double> from = value_of(days[i - 1]);
            const std::optional<double> to = value_of(days[i]);
            if (from && to) {
                painter.drawLine(plot.Map(static_cast<double>(i - 1), *from),
                                 plot.Map(static_cast<double>(i), *to));
            }
        }
        // A day between two gaps would otherwise not be drawn at all.
        painter.setBrush(colour);
        for (std::size_t i = 0; i < days.size(); ++i) {
            const std::optional<double> value = value_of(days[i]);
            const bool alone = value && (i == 0 || !value_of(days[i - 1])) &&
                               (i + 1 == days.size() || !value_of(days[i + 1]));
            if (alone || (marked && *marked == i && value)) {
                painter.drawEllipse(plot.Map(static_cast<double>(i), *value), 2.5, 2.5);
            }
        }
        painter.setBrush(Qt::NoBrush);
    };
    line(kRealized, [](const analytics::VolHistoryDay& d) { return d.rv20; });
    line(kImplied, [](const analytics::VolHistoryDay& d) { return d.Cm30(); });
    painter.restore();
}

}  // namespace zarvex::ui
