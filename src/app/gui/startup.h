#pragma once

#include <QFont>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/data_source.h"
#include "app/gui/qt_host.h"
#include "common/clock.h"
#include "common/program_folder.h"
#include "common/system_clock.h"

namespace zarvex::acquisition {
class DownloadScheduler;
}  // namespace zarvex::acquisition
namespace zarvex::common {
class TextTable;
}
namespace zarvex::ui {
class AutoRepeat;
class StartupWindow;
}  // namespace zarvex::ui

namespace zarvex::gui {

class MainWindow;
class NetworkSession;
class SingleInstance;

struct StartupOptions {
    // The first command-line argument: "rus" or "eng" choose the language.
    std::string language_argument;
    common::ProgramFolder folder{"."};
    // host[:port] of the report server, as chosen for this start (the environment before the
    // saved data source); empty: none is set, nothing is downloaded.
    std::string report_host;
    // The CA bundle for an https report host, ranked as the host is; empty: the system's store.
    std::string ca_file;
    // The data source saved in the user's configuration folder, and that file ("Data source"
    // writes it; empty: the user's own file).
    acquisition::DataSource data_source;
    std::filesystem::path data_source_file;
    // The socket of the running copy; empty: this user's and program folder's.
    std::string instance_name;
    // Sleep of one pumping round; tests run with none.
    std::chrono::milliseconds pump_sleep{10};
    bool start_scheduler = true;
    // The scheduler's timers wait their interval divided by this; tests run its steps sooner.
    double scheduler_time_scale = 1.0;
    // Whether the network is up; empty: the network services decide.
    std::function<bool()> network_up;
    // How message boxes are shown; empty: the desktop's message boxes.
    QtHost::MessagePresenter presenter;
    // Today for the left panels; the computer's clock when null.
    const common::Clock* panel_clock = nullptr;
    // The locale name the language falls back on; empty: the user's.
    std::string locale;
    // "Open demo data…" runs zarvex-cli demo for this many days, then opens the demo folder
    // with this (empty: another copy of the program on it, beside this one).
    int demo_days = 30;
    std::function<void(const QString& folder)> demo_window_opener;
    // Edits the data source; empty: the "Data source" dialog. Returns the source to use, or
    // nothing when cancelled.
    std::function<std::optional<acquisition::DataSource>(const acquisition::DataSource&)>
        data_source_editor;
    // The window's state between runs (an INI file in the user's configuration folder);
    // empty: the window opens with the defaults and keeps nothing.
    QString state_file;
};

// The program's start: the twenty steps from the caption to the event loop, and the orderly
// end afterwards (workers released, scheduler stopped, then the windows).
class Startup final {
public:
    // kAlreadyRunning: the running copy of this user and folder was asked to come to the front
    // (exit 0). kRefused: it could not be asked, the message was shown (exit 1).
    enum class Outcome { kRunning, kAlreadyRunning, kRefused };

    explicit Startup(StartupOptions options);
    ~Startup();
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;

    // Steps 1 to 19; the exchange time and the forward points are fetched on a worker once
    // the window is up. Anything but kRunning: nothing else was built.
    Outcome Run();
    // Step 20: the event loop, until the main window is closed.
    int Exec();
    // For the documentation's pictures: after the delay, finishes the charts of the shown
    // instrument, saves a picture of the main window to the file and ends the program.
    void ScheduleScreenshot(const QString& path, int delay_ms);

    MainWindow* Window() const { return window_.get(); }
    QtHost& Host() { return *host_; }
    const common::TextTable& Texts() const { return *texts_; }
    ui::StartupWindow* Splash() const { return splash_.get(); }
    acquisition::DownloadScheduler* Scheduler() const;
    NetworkSession* Session() const { return session_.get(); }
    // The report host in use; empty: none.
    const std::string& ReportHost() const { return options_.report_host; }
    // Saves the source and starts over the downloads with it (the old ones end on a worker).
    void ChangeDataSource(const acquisition::DataSource& source);
    // "Data source" and "Set data source…".
    void EditDataSource();
    void OpenDemoData();
    bool DemoRunning() const { return demo_running_; }
    // The progress steps shown so far, as (percent, text).
    const std::vector<std::pair<int, std::string>>& ProgressSteps() const { return progress_; }

private:
    // Saves the picture once every page computed on a worker has its figures.
    void GrabWhenComputed(const QString& path, int waited_ms);
    void Pump(int rounds);
    void Progress(int percent, int entry);
    void RemoveOldPrograms();
    void LoadFonts();
    bool NetworkUp();
    QUrl HelpPage() const;
    void StartSession(bool fetch_forward_points);
    void RetireSession();
    void ShowNoDataSource();
    void ListenForSecondStarts();
    void ForwardPointsArrived();
    void DemoFinished(bool made, const QString& last_line);

    StartupOptions options_;
    std::unique_ptr<ui::AutoRepeat> repeat_;
    std::unique_ptr<common::TextTable> texts_;
    std::unique_ptr<QtHost> host_;
    common::SystemClock clock_;
    QFont link_font_;
    bool font_loaded_ = false;
    std::unique_ptr<ui::StartupWindow> splash_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<NetworkSession> session_;
    // Sessions replaced by a change of the data source end here, off the main thread.
    std::vector<std::thread> retiring_;
    bool demo_running_ = false;
    std::vector<std::pair<int, std::string>> progress_;
};

// The two texts that start-up shows and the interface text table does not hold.
std::string NoNetworkTitle(const common::TextTable& texts);
std::string NoNetworkText(const common::TextTable& texts);

}  // namespace zarvex::gui
