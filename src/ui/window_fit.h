#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace zarvex::ui {

// The place a window may take on the screens there are, for a place and size read from a file
// that anyone may have written: the screen is the one the wanted place overlaps most, else the
// one nearest to it; the size is at most that screen's free area and at least the minimum (or
// the whole free area, where that is smaller); the window is then moved to lie wholly on it.
// screens: each screen's free area (available geometry). Without screens: the minimum size
// at 0,0.
QRect FitToScreens(const QRect& wanted, const QList<QRect>& screens, const QSize& minimum);

}  // namespace zarvex::ui
