// The reader of window.ini, a file of the user's that anyone may have written, and the fitting
// of the place it gives to the screens.
// - Whatever the file holds, every value read is in its range: the instrument 0..5, a page
//   0..2, a contract of at most 32 characters, a compare choice "off", "previous" or a real day.
// - What was read, saved and read again, gives the same state.
// - A place and size from the input, fitted to screens from the input, lies wholly on one of
//   them, no larger than it and no smaller than the minimum or that screen.

#include <QList>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/date.h"
#include "fuzz/fuzz_check.h"
#include "ui/window_fit.h"
#include "ui/window_state.h"

namespace {

namespace ui = zarvex::ui;

bool InRange(const ui::WindowState& state) {
    if (state.instrument < 0 || state.instrument > 5) {
        return false;
    }
    for (const ui::InstrumentViewState& shown : state.instruments) {
        if (shown.tab < 0 || shown.tab > 2 || shown.contract.size() > 32) {
            return false;
        }
        if (shown.compare != "off" && shown.compare != "previous") {
            const zarvex::common::Date day =
                zarvex::common::ParseDate(shown.compare, "%dd.%mm.%yyyy");
            if (day == zarvex::common::kInvalidDate ||
                zarvex::common::DayText(day) != shown.compare) {
                return false;
            }
        }
    }
    return true;
}

bool Same(const ui::WindowState& a, const ui::WindowState& b) {
    if (a.geometry != b.geometry || a.maximised != b.maximised || a.instrument != b.instrument ||
        a.board != b.board || a.key_price_lines != b.key_price_lines ||
        a.density_curve != b.density_curve) {
        return false;
    }
    for (std::size_t i = 0; i < a.instruments.size(); ++i) {
        if (a.instruments[i].contract != b.instruments[i].contract ||
            a.instruments[i].tab != b.instruments[i].tab ||
            a.instruments[i].compare != b.instruments[i].compare) {
            return false;
        }
    }
    return true;
}

std::int32_t Int(const std::uint8_t* data, std::size_t size, std::size_t& pos) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | (pos < size ? data[pos++] : 0);
    }
    std::int32_t signed_value = 0;
    std::memcpy(&signed_value, &value, sizeof value);
    return signed_value;
}

// Sizes within what a widget may have, places anywhere an int reaches.
QRect Rect(const std::uint8_t* data, std::size_t size, std::size_t& pos) {
    const int x = Int(data, size, pos) / 2;
    const int y = Int(data, size, pos) / 2;
    const int w = Int(data, size, pos) % 16777216;
    const int h = Int(data, size, pos) % 16777216;
    return {x, y, w, h};
}

void CheckFit(const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    const QRect wanted = Rect(data, size, pos);
    const QSize minimum(1100, 660);
    QList<QRect> screens;
    const int count = pos < size ? data[pos++] % 4 : 0;
    for (int i = 0; i < count; ++i) {
        QRect screen = Rect(data, size, pos);
        // A screen is a real one: a positive size of at most 32767 on each side, within reach.
        screen = QRect(screen.x() % 100000, screen.y() % 100000,
                       1 + std::abs(screen.width()) % 32767, 1 + std::abs(screen.height()) % 32767);
        screens.push_back(screen);
    }
    const QRect fitted = ui::FitToScreens(wanted, screens, minimum);
    if (screens.isEmpty()) {
        FUZZ_CHECK(fitted == QRect(QPoint(0, 0), minimum));
        return;
    }
    bool on_one = false;
    for (const QRect& screen : screens) {
        if (screen.contains(fitted) &&
            fitted.width() >= std::min(minimum.width(), screen.width()) &&
            fitted.height() >= std::min(minimum.height(), screen.height())) {
            on_one = true;
        }
    }
    FUZZ_CHECK(on_one);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zarvex::fuzz::ScratchFolder scratch;
    const std::filesystem::path file = scratch.Path() / "window.ini";
    zarvex::fuzz::ScratchFolder::Write(file, zarvex::fuzz::AsText(data, size));
    const QString name = QString::fromStdString(file.string());
    const ui::WindowState state = ui::LoadWindowState(name);
    FUZZ_CHECK(InRange(state));

    const std::filesystem::path again = scratch.Path() / "again.ini";
    FUZZ_CHECK(ui::SaveWindowState(QString::fromStdString(again.string()), state));
    FUZZ_CHECK(Same(ui::LoadWindowState(QString::fromStdString(again.string())), state));

    CheckFit(data, size);
    return 0;
}
