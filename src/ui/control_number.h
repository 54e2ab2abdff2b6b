#pragma once

#include <QString>
#include <QWidget>

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

}  // namespace zarvex::ui
