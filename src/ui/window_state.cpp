#include "ui/window_state.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <utility>

#include "common/date.h"

namespace zarvex::ui {
namespace {

constexpr int kTabs = 3;
// A contract code is short; anything longer is no contract of ours.
constexpr qsizetype kLongestContract = 32;

int IntIn(const QSettings& settings, const QString& key, int low, int high, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

bool BoolOf(const QSettings& settings, const QString& key, bool fallback) {
    const QString text = settings.value(key).toString();
    if (text == QStringLiteral("true") || text == QStringLiteral("1")) {
        return true;
    }
    if (text == QStringLiteral("false") || text == QStringLiteral("0")) {
        return false;
    }
    return fallback;
}

bool IsCompareChoice(const std::string& choice) {
    if (choice == "off" || choice == "previous") {
        return true;
    }
    const common::Date day = common::ParseDate(choice, "%dd.%mm.%yyyy");
    return day != common::kInvalidDate && common::DayText(day) == choice;
}

}  // namespace

WindowState LoadWindowState(const QString& file) {
    WindowState state;
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        return state;
    }
    const QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return state;
    }
    const QVariant geometry = settings.value(QStringLiteral("window/geometry"));
    if (geometry.typeId() == QMetaType::QByteArray) {
        state.geometry = geometry.toByteArray();
    }
    state.maximised = BoolOf(settings, QStringLiteral("window/maximised"), false);
    state.instrument = IntIn(settings, QStringLiteral("window/instrument"), 0, 5, 0);
    state.board = BoolOf(settings, QStringLiteral("window/board"), false);
    state.key_price_lines = BoolOf(settings, QStringLiteral("histograms/key_price_lines"), true);
    state.density_curve = BoolOf(settings, QStringLiteral("histograms/density_curve"), true);
    for (int i = 0; i < static_cast<int>(state.instruments.size()); ++i) {
        InstrumentViewState& instrument = state.instruments[static_cast<std::size_t>(i)];
        const QString group = QStringLiteral("instrument%1/").arg(i);
        // Counted in the bytes kept: bytes that are no UTF-8 read as three bytes each.
        std::string contract =
            settings.value(group + QStringLiteral("contract")).toString().toStdString();
        if (static_cast<qsizetype>(contract.size()) <= kLongestContract) {
            instrument.contract = std::move(contract);
        }
        instrument.tab = IntIn(settings, group + QStringLiteral("tab"), 0, kTabs - 1, 0);
        const std::string compare =
            settings.value(group + QStringLiteral("compare")).toString().toStdString();
        if (IsCompareChoice(compare)) {
            instrument.compare = compare;
        }
    }
    return state;
}

bool SaveWindowState(const QString& file, const WindowState& state) {
    if (file.isEmpty() || !QDir().mkpath(QFileInfo(file).absolutePath())) {
        return false;
    }
    QSettings settings(file, QSettings::IniFormat);
    settings.clear();
    settings.setValue(QStringLiteral("window/geometry"), state.geometry);
    settings.setValue(QStringLiteral("window/maximised"), state.maximised);
    settings.setValue(QStringLiteral("window/instrument"), state.instrument);
    settings.setValue(QStringLiteral("window/board"), state.board);
    settings.setValue(QStringLiteral("histograms/key_price_lines"), state.key_price_lines);
    settings.setValue(QStringLiteral("histograms/density_curve"), state.density_curve);
    for (int i = 0; i < static_cast<int>(state.instruments.size()); ++i) {
        const InstrumentViewState& instrument = state.instruments[static_cast<std::size_t>(i)];
        const QString group = QStringLiteral("instrument%1/").arg(i);
        settings.setValue(group + QStringLiteral("contract"),
                          QString::fromStdString(instrument.contract));
        settings.setValue(group + QStringLiteral("tab"), instrument.tab);
        settings.setValue(group + QStringLiteral("compare"),
                          QString::fromStdString(instrument.compare));
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace zarvex::ui
