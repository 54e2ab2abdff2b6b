#pragma once

#include <QString>
#include <QWidget>
#include <array>

namespace zarvex::ui {

// Every control carries its fixed number: as its object name (so a test finds it with
// findChild<QWidget*>("310")) and as the property "controlNumber".
inline void SetControlNumber(QWidget* widget, int number) {
    widget->setObjectName(QString::number(number));
    widget->setProperty("controlNumber", number);
}

inline int ControlNumber(const QWidget* widget) {
    return widget->property("controlNumber").toInt();
}

// The area of each instrument, in the order of common::kSymbols; its left panel has the next
// number, its right panel the one after.
inline constexpr std::array<int, 6> kContainerNumbers{760, 810, 710, 960, 860, 910};
inline constexpr int kLeftPanelOffset = 1;
inline constexpr int kRightPanelOffset = 2;

}  // namespace zarvex::ui
