#include "ui/window_fit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zarvex::ui {

namespace {

// Sizes and places from a file may reach the ends of int: everything is reckoned in 64 bits.
struct Span {
    std::int64_t low;
    std::int64_t high;  // one past the end
};

std::int64_t Overlap(Span a, Span b) {
    return std::max<std::int64_t>(0, std::min(a.high, b.high) - std::max(a.low, b.low));
}

// How far the span lies from the other, 0 where they overlap.
std::int64_t Gap(Span a, Span b) {
    return std::max<std::int64_t>({0, b.low - a.high, a.low - b.high});
}

Span Horizontal(const QRect& r) {
    return {r.x(), static_cast<std::int64_t>(r.x()) + std::max(r.width(), 0)};
}

Span Vertical(const QRect& r) {
    return {r.y(), static_cast<std::int64_t>(r.y()) + std::max(r.height(), 0)};
}

int Clamp(std::int64_t value, int low, int high) {
    return static_cast<int>(std::clamp<std::int64_t>(value, low, std::max(low, high)));
}

}  // namespace

QRect FitToScreens(const QRect& wanted, const QList<QRect>& screens, const QSize& minimum) {
    if (screens.isEmpty()) {
        return {QPoint(0, 0), minimum};
    }
    QRect screen = screens.front();
    std::int64_t best_area = -1;
    std::int64_t best_gap = std::numeric_limits<std::int64_t>::max();
    for (const QRect& candidate : screens) {
        const std::int64_t area = Overlap(Horizontal(wanted), Horizontal(candidate)) *
                                  Overlap(Vertical(wanted), Vertical(candidate));
        const std::int64_t gap = Gap(Horizontal(wanted), Horizontal(candidate)) +
                                 Gap(Vertical(wanted), Vertical(candidate));
        if (area > best_area || (area == 0 && best_area == 0 && gap < best_gap)) {
            screen = candidate;
            best_area = area;
            best_gap = gap;
        }
    }
    const int width =
        Clamp(wanted.width(), std::min(minimum.width(), screen.width()), screen.width());
    const int height =
        Clamp(wanted.height(), std::min(minimum.height(), screen.height()), screen.height());
    const int x = Clamp(wanted.x(), screen.x(), screen.x() + screen.width() - width);
    const int y = Clamp(wanted.y(), screen.y(), screen.y() + screen.height() - height);
    return {x, y, width, height};
}

}  // namespace zarvex::ui
