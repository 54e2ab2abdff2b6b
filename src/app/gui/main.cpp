#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/data_source.h"
#include "acquisition/host_address.h"
#include "app/cli/api_setting.h"
#include "app/gui/startup.h"
#include "build_config.h"
#include "common/config_folder.h"
#include "common/program_folder.h"

namespace {

constexpr const char* kUsage =
    "Usage: zarvex [rus|eng]\n"
    "\n"
    "The Zarvex desktop program: analytics of options on currency futures. It opens its\n"
    "window on the program folder ($ZARVEX_HOME, else the folder of the executable when\n"
    "INPUT/, OUTPUT/ and DB/ are there, else $XDG_DATA_HOME/zarvex) and downloads new days\n"
    "from the data source chosen in its \"Data source\" dialog ($ZARVEX_REPORT_HOST comes\n"
    "first). One window runs per user and program folder; a second start brings it to the\n"
    "front.\n"
    "\n"
    "  rus, eng     the language of the interface (default: the user's)\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "zarvex-cli does the same work without a window; `zarvex-cli demo` makes demo data.\n";

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Nobody sees a message box here: under a virtual display for a picture, in a script, or with
// the offscreen platform.
bool Unattended() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string_view name = platform != nullptr ? platform : "";
    return Set("ZARVEX_UNATTENDED") || name == "offscreen" || name == "minimal";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zarvex %s\n", zarvex::build::kVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
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
    options.data_source = zarvex::acquisition::SavedDataSource();
    options.report_host = zarvex::acquisition::ResolveReportHost("", options.data_source);
    options.ca_file = zarvex::acquisition::ResolveCaFile("", options.data_source);
    if (Unattended()) {
        options.presenter = [](const QString& title, const QString& text) {
            std::fprintf(stderr, "zarvex: %s: %s\n", qPrintable(title), qPrintable(text));
        };
    }
    // The window's own state is the user's, apart from the program folder and its databases.
    options.state_file =
        QString::fromStdString((zarvex::common::UserConfigFolder() / "window.ini").string());
    const zarvex::common::ProgramFolder folder = options.folder;
    zarvex::gui::Startup startup(std::move(options));
    switch (startup.Run()) {
        case zarvex::gui::Startup::Outcome::kRunning:
            break;
        case zarvex::gui::Startup::Outcome::kAlreadyRunning:
            std::fprintf(stderr,
                         "zarvex: already running for this user and program folder; its window "
                         "was brought to the front\n");
            return 0;
        case zarvex::gui::Startup::Outcome::kRefused:
            return 1;
    }
    // The local API, when api.conf of the user asks for it; only the copy that owns the folder
    // serves it.
    std::vector<std::string> api_problems;
    const std::unique_ptr<zarvex::cli::ApiServer> api =
        zarvex::cli::ServeFromSetting(folder, api_problems);
    for (const std::string& problem : api_problems) {
        std::fprintf(stderr, "zarvex: the local API: %s\n", problem.c_str());
    }
    // scripts/screenshot.sh takes the documentation's picture this way.
    if (const char* picture = std::getenv("ZARVEX_SCREENSHOT"); picture != nullptr && *picture) {
        const char* delay = std::getenv("ZARVEX_SCREENSHOT_DELAY_MS");
        startup.ScheduleScreenshot(QString::fromLocal8Bit(picture),
                                   delay != nullptr ? std::atoi(delay) : 4000);
    }
    return startup.Exec();
}
