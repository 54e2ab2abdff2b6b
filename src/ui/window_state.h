#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <string>

namespace zarvex::ui {

// What the window shows of one instrument, kept across restarts.
struct InstrumentViewState {
    std::string contract;         // empty: the panel's own choice
    int tab = 0;                  // the right panel's page
    std::string compare = "off";  // "off", "previous" or a day as "dd.mm.yyyy"
};

// The window as the user left it: its place (or maximised), the instrument or Board shown, each
// instrument's contract, page and compare choice, and the histograms' key-price lines and
// density curve. The
// date is not among it: the window always opens on the latest day with data.
struct WindowState {
    QByteArray geometry;  // QWidget::saveGeometry; empty: the default place
    bool maximised = false;
    int instrument = 0;  // the last instrument shown, also when the Board was left open
    bool board = false;  // the window was closed on the Board
    std::array<InstrumentViewState, 6> instruments;
    bool key_price_lines = true;
    bool density_curve = true;
};

// Reads the state from an INI file. A missing, unreadable, broken or foreign file, and every
// value out of its range, give the defaults: the file is the user's, not ours to trust.
WindowState LoadWindowState(const QString& file);
// Writes the state (making the folder when it is missing); false when it could not be written.
bool SaveWindowState(const QString& file, const WindowState& state);

}  // namespace zarvex::ui
