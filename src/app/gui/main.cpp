#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "acquisition/host_address.h"
#include "app/gui/startup.h"
#include "common/config_folder.h"
#include "common/program_folder.h"

int main(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0') &&
        (platform == nullptr || *platform == '\0')) {
        std::fprintf(stderr,
                     "zarvex: no display found (DISPLAY is not set). Run it on a desktop, or "
                     "under a virtual display: xvfb-run -a zarvex\n");
        return 1;
    }
    QApplication app(argc, argv);
    zarvex::gui::StartupOptions options;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        options.language_argument = arguments.at(1).toStdString();
    }
    options.folder = zarvex::common::ProgramFolder::FromEnvironment();
    // An installed program's first start makes its per-user folder.
    if (!options.folder.PrepareLayout()) {
        std::fprintf(stderr, "zarvex: cannot create the program folder %s\n",
                     options.folder.Root().c_str());
    }
    options.report_host = zarvex::acquisition::ResolveReportHost();
    // The window's own state is the user's, apart from the program folder and its databases.
    options.state_file =
        QString::fromStdString((zarvex::common::UserConfigFolder() / "window.ini").string());
    zarvex::gui::Startup startup(std::move(options));
    if (startup.Run() != zarvex::gui::Startup::Outcome::kRunning) {
        return 0;
    }
    // scripts/screenshot.sh takes the documentation's picture this way.
    if (const char* picture = std::getenv("ZARVEX_SCREENSHOT"); picture != nullptr && *picture) {
        const char* delay = std::getenv("ZARVEX_SCREENSHOT_DELAY_MS");
        startup.ScheduleScreenshot(QString::fromLocal8Bit(picture),
                                   delay != nullptr ? std::atoi(delay) : 4000);
    }
    return startup.Exec();
}
