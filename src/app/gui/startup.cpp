#include "app/gui/startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

#include "acquisition/download_scheduler.h"
#include "acquisition/scheduler_services.h"
#include "app/gui/main_window.h"
#include "app/gui/single_instance.h"
#include "build_config.h"
#include "common/symbols.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "import/parse_report.h"
#include "ui/auto_repeat.h"
#include "ui/chart/font_chain.h"
#include "ui/history/compare_control.h"
#include "ui/instrument_area.h"
#include "ui/right_panel_widget.h"
#include "ui/startup_window.h"

namespace zarvex::gui {
namespace {

namespace text = common::text;

constexpr std::int64_t kDailyStartHour = 22;
constexpr std::int64_t kRetryMinutes = 5;

bool Russian(const common::TextTable& texts) {
    return texts.GetLanguage() == common::Language::kRussian;
}

}  // namespace

std::string NoNetworkTitle(const common::TextTable& texts) {
    return Russian(texts) ? "Информация" : "Information";
}

std::string NoNetworkText(const common::TextTable& texts) {
    return Russian(texts) ? "Для работы программы требуется подключение к интернету."
                          : "The program requires an internet connection.";
}

Startup::Startup(StartupOptions options)
    : options_(std::move(options)), repeat_(std::make_unique<ui::AutoRepeat>()) {
    if (options_.instance_name.empty()) {
        options_.instance_name = SingleInstance::DefaultName();
    }
}

Startup::~Startup() {
    // Workers waiting on the window are let go first, so that the scheduler can stop (its
    // Shutdown aborts the transfers under way, so a silent server costs no wait); only then
    // the windows and the instruments go.
    if (host_ != nullptr) {
        host_->Close();
    }
    scheduler_.reset();
    window_.reset();
    splash_.reset();
    services_.reset();
}

void Startup::Pump(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (options_.pump_sleep.count() > 0) {
            std::this_thread::sleep_for(options_.pump_sleep);
        }
    }
}

void Startup::Progress(int percent, int entry) {
    const std::string& shown = texts_->Get(entry);
    progress_.emplace_back(percent, shown);
    if (splash_ != nullptr) {
        splash_->SetProgress(percent, QString::fromStdString(shown));
    }
}

void Startup::RemoveOldPrograms() {
    // Left-overs of an older installation; read-only ones too, missing ones are no error.
    std::vector<std::string> names{"Zarvex_2.17.exe"};
    if (!build::kDiagnosticLog) {
        names.emplace_back("Zarvex_2.17_test.exe");
    }
    for (const std::string& name : names) {
        std::error_code error;
        std::filesystem::remove(options_.folder.Root() / name, error);
    }
}

void Startup::LoadFonts() {
    for (const char* face : {"MS Sans Serif", "Tahoma", "Cambria"}) {
        if (ui::HasFace(QString::fromLatin1(face))) {
            QApplication::setFont(ui::MakeFont({QString::fromLatin1(face)}, 8));
            link_font_ = ui::MakeFont({QString::fromLatin1(face)}, 8, false, true);
            font_loaded_ = true;
            return;
        }
    }
    // None of the faces is installed: the platform's face, at the size the layout is made
    // for, in its condensed cut where there is one (the fixed places were measured for a
    // narrow face; the Russian captions need it). The link keeps the platform's font.
    const QString platform = QFontInfo(QApplication::font()).family();
    QApplication::setFont(ui::MakeFont({platform + QStringLiteral(" Condensed"), platform}, 8));
}

bool Startup::NetworkUp() {
    if (options_.network_up) {
        return options_.network_up();
    }
    return services_ != nullptr && services_->IsNetworkUp();
}

QUrl Startup::HelpPage() const {
    const std::vector<std::filesystem::path> candidates{
        common::ExecutableFolder() / "help.html", options_.folder.Root() / "help.html",
        common::ExecutableFolder() / ZARVEX_INSTALLED_HELP,
        std::filesystem::path(ZARVEX_SOURCE_DIR) / "docs" / "help.html"};
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return QUrl::fromLocalFile(QString::fromStdString(candidate.string()));
        }
    }
    return {};
}

Startup::Outcome Startup::Run() {
    // 1 and 3: the caption is set with the window; the texts.
    RemoveOldPrograms();
    const common::LocaleReader locale =
        options_.locale.empty() ? common::LocaleReader(common::UserLocaleName)
                                : common::LocaleReader([this] { return options_.locale; });
    texts_ = std::make_unique<common::TextTable>(
        common::ChooseLanguage(options_.language_argument, locale));
    host_ = std::make_unique<QtHost>(texts_.get());
    if (options_.presenter) {
        host_->SetMessagePresenter(options_.presenter);
    }
    // 4. Fonts. (5: the priorities are left as they are: raising them needs privileges a
    // desktop program does not have here.)
    LoadFonts();
    // 6.
    splash_ = std::make_unique<ui::StartupWindow>(ui::LoadStartupPicture());
    splash_->Open();
    host_->SetMessageOwner(splash_.get());
    Progress(15, text::kPreparingToRun);
    // 7.
    instance_ = std::make_unique<SingleInstance>(options_.instance_name);
    if (instance_->AlreadyRunning()) {
        splash_.reset();
        host_->ShowMessage(texts_->Get(text::kMessage), texts_->Get(text::kAlreadyRunning));
        return Outcome::kAlreadyRunning;
    }
    // 8.
    Pump(70);
    Progress(30, text::kLibraryInitialization);
    acquisition::NetworkServicesSetup network;
    network.folder = options_.folder;
    network.report_host = options_.report_host;
    network.clock = &clock_;
    network.host = host_->AsHost();
    network.notifier = host_.get();
    network.is_report = [](std::string_view body) {
        return import::HoldsOptionSection(body, common::kSymbols);
    };
    services_ = std::make_unique<acquisition::NetworkSchedulerServices>(std::move(network));
    Pump(30);
    // 9 and 10.
    if (!NetworkUp()) {
        host_->ShowMessage(NoNetworkTitle(*texts_), NoNetworkText(*texts_));
    } else {
        const common::Date now = services_->Clock().ExchangeTime();
        if (now > 0) {
            services_->DownloadForwardPointRange(now);
        }
    }
    // 11.
    Pump(70);
    Progress(45, text::kCreatingMainWindow);
    window_ = std::make_unique<MainWindow>(*host_, *texts_, repeat_.get());
    QRect screen(0, 0, 1280, 720);
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        screen = primary->availableGeometry();
    }
    window_->PlaceOnScreen(screen);
    window_->CreatePropertyButton();
    // 12.
    Pump(70);
    Progress(60, text::kCreatingStatusBar);
    window_->CreateStatusBar();
    host_->SetHandler(window_.get());
    // 13.
    Pump(50);
    Progress(75, text::kCreatingToolTabs);
    window_->CreateTabStrip();
    // 14.
    Pump(50);
    Progress(90, text::kPleaseWait);
    window_->CreateInstruments(options_.folder, options_.panel_clock);
    // 15.
    Progress(100, text::kRunningApplication);
    Pump(100);
    // 16 and 17.
    window_->FinishStartup();
    splash_.reset();
    window_->SetStateFile(options_.state_file);
    window_->ShowWithState();
    host_->SetMessageOwner(window_.get());
    // 18.
    window_->CreateHelpLinks(link_font_, font_loaded_);
    window_->SetHelpPage(HelpPage());
    // 19.
    if (options_.start_scheduler) {
        acquisition::SchedulerSetup setup;
        setup.services = services_.get();
        setup.host = host_->AsHost();
        setup.notifier = host_.get();
        setup.time_scale = options_.scheduler_time_scale;
        scheduler_ = std::make_unique<acquisition::DownloadScheduler>(setup);
        scheduler_->SetDailyStartHour(kDailyStartHour);
        scheduler_->SetRetryDelay(kRetryMinutes);
        window_->SetCurrentDay([this] { return scheduler_->CurrentDay(); });
        scheduler_->Start();
    }
    return Outcome::kRunning;
}

int Startup::Exec() {
    return QApplication::exec();
}

void Startup::ScheduleScreenshot(const QString& path, int delay_ms) {
    // ZARVEX_SCREENSHOT_TAB (0 histograms, 1 data, 2 history, 3 volatility) and ZARVEX_SCREENSHOT_COMPARE=1
    // (the previous trading day over the histograms) choose what the picture shows.
    const char* tab = std::getenv("ZARVEX_SCREENSHOT_TAB");
    const char* compare = std::getenv("ZARVEX_SCREENSHOT_COMPARE");
    const int tab_index = tab != nullptr ? std::atoi(tab) : 0;
    const bool compared = compare != nullptr && std::string_view(compare) == "1";
    // ZARVEX_SCREENSHOT_SIZE=WxH: the window at that size first, as a desktop's maximise would
    // make it (a virtual display has no window manager to do so).
    const char* size = std::getenv("ZARVEX_SCREENSHOT_SIZE");
    const QStringList sides =
        QString::fromLatin1(size != nullptr ? size : "").split(QLatin1Char('x'));
    if (sides.size() == 2 && sides[0].toInt() > 0 && sides[1].toInt() > 0) {
        window_->resize(sides[0].toInt(), sides[1].toInt());
    }
    QTimer::singleShot(delay_ms, window_.get(), [this, path, tab_index, compared] {
        for (int i = 0; i < 6; ++i) {
            ui::InstrumentArea* area = window_->Area(i);
            if (area != nullptr && area->isVisible()) {
                area->RightPanel()->BuildPendingHistograms();
                if (compared) {
                    area->RightPanel()->Compare()->ChoosePrevious();
                }
                area->RightPanel()->Tabs()->setCurrentIndex(tab_index);
            }
        }
        QCoreApplication::processEvents();
        if (!window_->grab().save(path, "PNG")) {
            std::fprintf(stderr, "zarvex: cannot write the picture %s\n", qPrintable(path));
        }
        QApplication::quit();
    });
}

}  // namespace zarvex::gui
