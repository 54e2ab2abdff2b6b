#include "app/gui/startup.h"

#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

#include "acquisition/download_scheduler.h"
#include "acquisition/host_address.h"
#include "app/gui/data_source_dialog.h"
#include "app/gui/main_window.h"
#include "app/gui/network_session.h"
#include "app/gui/single_instance.h"
#include "build_config.h"
#include "common/demo_folder.h"
#include "common/symbols.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "ui/auto_repeat.h"
#include "ui/background_work.h"
#include "ui/chart/font_chain.h"
#include "ui/history/compare_control.h"
#include "ui/instrument_area.h"
#include "ui/right_panel_widget.h"
#include "ui/startup_window.h"
#include "ui/volatility/volatility_tab.h"

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
        options_.instance_name = SingleInstance::SocketFor(::getuid(), options_.folder.Root());
    }
    if (options_.data_source_file.empty()) {
        options_.data_source_file = acquisition::DataSourcePath();
    }
}

Startup::~Startup() {
    // Workers waiting on the window are let go first, so that the scheduler can stop (its
    // Shutdown aborts the transfers under way, so a silent server costs no wait); only then
    // the windows and the instruments go.
    if (host_ != nullptr) {
        host_->Close();
    }
    for (std::thread& retiring : retiring_) {
        retiring.join();
    }
    session_.reset();
    window_.reset();
    splash_.reset();
}

acquisition::DownloadScheduler* Startup::Scheduler() const {
    return session_ != nullptr ? session_->Scheduler() : nullptr;
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
    return session_ != nullptr && session_->IsNetworkUp();
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
    // 7. A second start of the same user and folder brings the running window to the front.
    instance_ = std::make_unique<SingleInstance>(options_.instance_name);
    if (instance_->AlreadyRunning()) {
        splash_.reset();
        if (SingleInstance::Knock(options_.instance_name)) {
            return Outcome::kAlreadyRunning;
        }
        host_->ShowMessage(texts_->Get(text::kMessage), texts_->Get(text::kAlreadyRunning));
        return Outcome::kRefused;
    }
    // 8.
    Pump(70);
    Progress(30, text::kLibraryInitialization);
    if (!options_.report_host.empty()) {
        StartSession(false);
    }
    Pump(30);
    // 9. The network is only asked whether it is up; what it holds (the exchange time, the
    // forward points: step 10) is fetched once the window is up, so that a silent server
    // cannot keep the window from appearing.
    // Without a data source there is nothing to reach: the notice in the window says so.
    const bool network_up = session_ != nullptr && NetworkUp();
    if (session_ != nullptr && !network_up) {
        host_->ShowMessage(NoNetworkTitle(*texts_), NoNetworkText(*texts_));
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
    window_->CreateDataSourceButton();
    window_->SetDataSourceEditor([this] { EditDataSource(); });
    window_->SetDemoOpener([this] { OpenDemoData(); });
    if (common::IsDemoFolder(options_.folder.Root())) {
        window_->setWindowTitle(window_->windowTitle() +
                                QString::fromStdString(" - " + options_.folder.RootText()));
    }
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
    ListenForSecondStarts();
    // 18.
    window_->CreateHelpLinks(link_font_, font_loaded_);
    window_->SetHelpPage(HelpPage());
    // 10 and 19: the start-up fetch on a worker, and the scheduler.
    window_->SetCurrentDay([this] {
        const acquisition::DownloadScheduler* scheduler = Scheduler();
        return scheduler != nullptr ? scheduler->CurrentDay() : common::kInvalidDate;
    });
    if (session_ != nullptr) {
        session_->Start(network_up);
    } else {
        ShowNoDataSource();
    }
    window_->SetDownloading(session_ != nullptr);
    return Outcome::kRunning;
}

void Startup::StartSession(bool fetch_forward_points) {
    NetworkSessionSetup setup;
    setup.folder = options_.folder;
    setup.report_host = options_.report_host;
    setup.ca_file = options_.ca_file;
    setup.time_hosts = acquisition::TimeHostsFor(options_.report_host, options_.data_source);
    setup.host = host_.get();
    setup.clock = &clock_;
    setup.network_up = options_.network_up;
    setup.start_scheduler = options_.start_scheduler;
    setup.scheduler_time_scale = options_.scheduler_time_scale;
    setup.daily_start_hour = kDailyStartHour;
    setup.retry_minutes = kRetryMinutes;
    setup.forward_points_arrived = [this] { ForwardPointsArrived(); };
    // Both retries (the catch-up's and the day's) come after the same five minutes.
    setup.failed = [this](const std::string& reason) {
        const QString next = QDateTime::currentDateTime()
                                 .addSecs(kRetryMinutes * 60)
                                 .toString(QStringLiteral("HH:mm"));
        const std::string said = texts_->Get(text::kDownloadFailed) + reason + ". " +
                                 texts_->Get(text::kNextTry) + next.toStdString() + ".";
        host_->Caller().Post([this, said] {
            if (window_ != nullptr) {
                window_->SetFailureReason(said);
                window_->ShowNotice(QString::fromStdString(said));
            }
        });
    };
    setup.succeeded = [this] {
        host_->Caller().Post([this] {
            if (window_ != nullptr) {
                window_->SetFailureReason({});
                window_->HideNotice();
            }
        });
    };
    session_ = std::make_unique<NetworkSession>(std::move(setup));
    if (window_ != nullptr) {
        session_->Start(fetch_forward_points && NetworkUp());
    }
}

void Startup::RetireSession() {
    if (session_ == nullptr) {
        return;
    }
    // Its workers may be waiting for this thread: it ends on another one.
    retiring_.emplace_back(
        [old = std::shared_ptr<NetworkSession>(std::move(session_))]() mutable { old.reset(); });
}

void Startup::ShowNoDataSource() {
    std::string said = texts_->Get(text::kNoDataSource);
    // A saved line that could not be used is named, with its reason: "none" would be untrue.
    const std::filesystem::path& file = options_.data_source_file;
    const auto faults = acquisition::ReportHostFaults(acquisition::ReadDataSourceFile(file));
    if (!faults.empty()) {
        said = texts_->Get(text::kSavedSourceUnusable);
        for (std::size_t i = 0; i < faults.size(); ++i) {
            said += (i == 0 ? "" : "; ") + acquisition::FaultText(file, faults[i], *texts_);
        }
        std::fprintf(stderr, "zarvex: %s\n", said.c_str());
    }
    // The demo folder's window shows what was generated; the notice is for the real folder.
    if (!common::IsDemoFolder(options_.folder.Root())) {
        window_->ShowNotice(QString::fromStdString(said));
    }
    window_->HandleStatus(
        texts_->Get(text::kStartupSuccessful) + texts_->Get(text::kProgramReady) + " " + said,
        false);
}

void Startup::ListenForSecondStarts() {
    if (instance_ == nullptr || instance_->ListeningSocket() < 0) {
        return;
    }
    auto* notifier =
        new QSocketNotifier(instance_->ListeningSocket(), QSocketNotifier::Read, window_.get());
    QObject::connect(notifier, &QSocketNotifier::activated, window_.get(), [this] {
        if (!instance_->TakeKnock()) {
            return;
        }
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
        window_->show();
        window_->raise();
        window_->activateWindow();
    });
}

void Startup::ForwardPointsArrived() {
    if (window_ == nullptr) {
        return;
    }
    for (int i = 0; i < 6; ++i) {
        if (ui::InstrumentArea* area = window_->Area(i)) {
            area->Recalculate();
        }
    }
}

void Startup::ChangeDataSource(const acquisition::DataSource& source) {
    if (!acquisition::WriteDataSource(options_.data_source_file, source)) {
        host_->ShowMessage(
            texts_->Get(text::kDataSource),
            texts_->Get(text::kCannotSaveDataSource) + options_.data_source_file.string());
        return;
    }
    options_.data_source = source;
    // $ZARVEX_REPORT_HOST still comes first, as it did at the start.
    options_.report_host = acquisition::ResolveReportHost("", source);
    options_.ca_file = acquisition::ResolveCaFile("", source);
    RetireSession();
    window_->SetFailureReason({});
    window_->SetDownloading(!options_.report_host.empty());
    if (options_.report_host.empty()) {
        ShowNoDataSource();
        return;
    }
    window_->HideNotice();
    StartSession(true);
}

void Startup::EditDataSource() {
    std::optional<acquisition::DataSource> chosen;
    if (options_.data_source_editor) {
        chosen = options_.data_source_editor(options_.data_source);
    } else {
        DataSourceDialog dialog(options_.data_source, *texts_, window_.get());
        if (dialog.exec() == QDialog::Accepted) {
            chosen = dialog.Source();
        }
    }
    if (chosen) {
        ChangeDataSource(*chosen);
    }
}

namespace {

// A program of this installation: beside this one, else where this build made it, else on
// $PATH.
QString HelperProgram(const QString& name, const char* built_folder) {
    for (const QString& folder : {QString::fromStdString(common::ExecutableFolder().string()),
                                  QString::fromUtf8(built_folder)}) {
        const QFileInfo candidate(folder + QLatin1Char('/') + name);
        if (candidate.isExecutable()) {
            return candidate.filePath();
        }
    }
    return QStandardPaths::findExecutable(name);
}

}  // namespace

void Startup::OpenDemoData() {
    if (demo_running_) {
        return;
    }
    QString cli = HelperProgram(QStringLiteral("zarvex-cli"), ZARVEX_BUILT_CLI);
    if (cli.isEmpty()) {
        cli = QStringLiteral("zarvex-cli");
    }
    auto* process = new QProcess(window_.get());
    demo_running_ = true;
    window_->HandleStatus(texts_->Get(text::kDemoRunning), true);
    // Its progress lines ("Day 3 of 30 ...") follow the busy text; the last one says why when
    // it fails.
    QObject::connect(process, &QProcess::readyReadStandardError, window_.get(), [this, process] {
        const QStringList lines = QString::fromUtf8(process->readAllStandardError())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!lines.isEmpty()) {
            process->setProperty("lastLine", lines.last());
            window_->HandleStatus(texts_->Get(text::kDemoRunning) + lines.last().toStdString(),
                                  true);
        }
    });
    QObject::connect(process, &QProcess::finished, window_.get(),
                     [this, process](int code, QProcess::ExitStatus status) {
                         DemoFinished(status == QProcess::NormalExit && code == 0,
                                      process->property("lastLine").toString());
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, window_.get(),
                     [this, process, cli](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             DemoFinished(false, cli + QStringLiteral(" could not be started"));
                             process->deleteLater();
                         }
                     });
    process->start(cli, {QStringLiteral("demo"), QStringLiteral("--home"),
                         QString::fromStdString(common::DemoFolder().string()),
                         QStringLiteral("--days"), QString::number(options_.demo_days)});
}

void Startup::DemoFinished(bool made, const QString& last_line) {
    demo_running_ = false;
    if (!made) {
        const std::string why = texts_->Get(text::kDemoFailed) + last_line.toStdString();
        window_->HandleStatus(why, false);
        host_->ShowMessage(texts_->Get(text::kOpenDemoData), why);
        return;
    }
    window_->HandleStatus(texts_->Get(text::kDemoReady), false);
    const QString folder = QString::fromStdString(common::DemoFolder().string());
    if (options_.demo_window_opener) {
        options_.demo_window_opener(folder);
        return;
    }
    // The demo folder is a program folder of its own: its window is another copy of the
    // program, beside this one, and its days never enter this folder.
    QProcess window;
    window.setProgram(QApplication::applicationFilePath());
    window.setArguments({texts_->GetLanguage() == common::Language::kRussian
                             ? QStringLiteral("rus")
                             : QStringLiteral("eng")});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZARVEX_HOME"), folder);
    window.setProcessEnvironment(environment);
    window.startDetached();
}

int Startup::Exec() {
    return QApplication::exec();
}

void Startup::ScheduleScreenshot(const QString& path, int delay_ms) {
    // ZARVEX_SCREENSHOT_TAB (0 histograms, 1 data, 2 history, 3 volatility),
    // ZARVEX_SCREENSHOT_COMPARE=1 (the previous trading day over the histograms) and
    // ZARVEX_SCREENSHOT_BOARD=1 (the board instead of an instrument) choose what the picture
    // shows; ZARVEX_SCREENSHOT_VOL_PAGE=1 the Volatility tab's page across days.
    const char* board = std::getenv("ZARVEX_SCREENSHOT_BOARD");
    const bool show_board = board != nullptr && std::string_view(board) == "1";
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
    QTimer::singleShot(delay_ms, window_.get(), [this, path, tab_index, compared, show_board] {
        if (show_board) {
            window_->SelectInstrument(MainWindow::kBoardTab);
        }
        for (int i = 0; i < 6; ++i) {
            ui::InstrumentArea* area = window_->Area(i);
            if (area != nullptr && area->isVisible()) {
                area->RightPanel()->BuildPendingHistograms();
                if (compared) {
                    area->RightPanel()->Compare()->ChoosePrevious();
                }
                area->RightPanel()->Tabs()->setCurrentIndex(tab_index);
                const char* page = std::getenv("ZARVEX_SCREENSHOT_VOL_PAGE");
                if (page != nullptr && std::string_view(page) == "1") {
                    area->RightPanel()->Volatility()->Pages()->setCurrentIndex(1);
                }
            }
        }
        GrabWhenComputed(path, 0);
    });
}

void Startup::GrabWhenComputed(const QString& path, int waited_ms) {
    // The pages computed on workers are drawn when their figures arrive (at most a few seconds).
    constexpr int kPoll = 50;
    if (ui::BackgroundWork::Awaited() > 0 && waited_ms < 20000) {
        QTimer::singleShot(kPoll, window_.get(),
                           [this, path, waited_ms] { GrabWhenComputed(path, waited_ms + kPoll); });
        return;
    }
    QCoreApplication::processEvents();
    if (!window_->grab().save(path, "PNG")) {
        std::fprintf(stderr, "zarvex: cannot write the picture %s\n", qPrintable(path));
    }
    QApplication::quit();
}

}  // namespace zarvex::gui
