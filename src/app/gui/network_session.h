#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/scheduler_services.h"
#include "common/clock.h"
#include "common/program_folder.h"

namespace zarvex::acquisition {
class DownloadScheduler;
}

namespace zarvex::gui {

class QtHost;

// What the window learns of the downloads besides the status texts: the reason of a failed
// run, at once, on the worker that ran it.
using FailureListener = std::function<void(const std::string& reason)>;

struct NetworkSessionSetup {
    common::ProgramFolder folder{"."};
    std::string report_host;
    std::string ca_file;
    std::vector<std::string> time_hosts;
    QtHost* host = nullptr;
    common::Clock* clock = nullptr;
    // Whether the network is up; empty: the network services decide.
    std::function<bool()> network_up;
    bool start_scheduler = true;
    double scheduler_time_scale = 1.0;
    std::int64_t daily_start_hour = 22;
    std::int64_t retry_minutes = 5;
    // Runs on the main thread when the start-up fetch (exchange time, forward points) ended.
    std::function<void()> forward_points_arrived;
    FailureListener failed;
    // Runs on the worker after a download run that succeeded.
    std::function<void()> succeeded;
};

// Everything that talks to the report server for one data source: the network services, the
// start-up fetch of the exchange time and forward points (on a worker, so that the window
// never waits for the network) and the download scheduler. Changing the data source replaces
// the whole session.
//
// Ending a session waits for its workers, and they may be waiting for the main thread: it
// ends on the main thread only after the host was closed, else on another thread.
class NetworkSession final {
public:
    explicit NetworkSession(NetworkSessionSetup setup);
    ~NetworkSession();
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;

    bool IsNetworkUp();
    // The start-up fetch (when the network is up) and the scheduler.
    void Start(bool fetch_forward_points);

    acquisition::DownloadScheduler* Scheduler() const { return scheduler_.get(); }
    acquisition::NetworkSchedulerServices& Services() { return *services_; }
    // True from Start until the start-up fetch has ended.
    bool FetchingAtStart() const { return fetching_; }

private:
    class WatchedServices;

    NetworkSessionSetup setup_;
    std::unique_ptr<acquisition::NetworkSchedulerServices> services_;
    std::unique_ptr<WatchedServices> watched_;
    std::unique_ptr<acquisition::DownloadScheduler> scheduler_;
    std::atomic<bool> fetching_{false};
    std::thread fetch_;
};

}  // namespace zarvex::gui
