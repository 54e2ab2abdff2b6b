#include "ui/qt_app.h"

#include <QApplication>
#include <cstdlib>

namespace zarvex::test {

void EnsureQtApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "zarvex_ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's test input devices would outlive a static application and
    // crash at exit.
    new QApplication(argc, argv);
}

}  // namespace zarvex::test
