#pragma once

#include <functional>
#include <memory>
#include <string>

#include "acquisition/curl_transport.h"
#include "acquisition/downloader.h"
#include "acquisition/network_clock.h"
#include "acquisition/stop_flag.h"
#include "common/date.h"
#include "common/outcome.h"

namespace zarvex::acquisition {

// What the scheduler's states call on the network; injected so that the timing of the states
// can be tried without a server.
class SchedulerServices {
public:
    virtual ~SchedulerServices() = default;
    virtual common::Date NetworkTime() = 0;
    virtual bool IsNetworkUp() = 0;
    virtual void DownloadForwardPointRange(common::Date t) = 0;
    virtual common::Outcome DownloadPreviousDays(common::Date now) = 0;
    virtual common::Outcome DownloadCurrentDay(common::Date now) = 0;
    // The program is closing: whatever runs on the network ends soon, and nothing new starts.
    virtual void RequestStop() {}
};

// The real services: the network clock and the downloads against the report host, over one
// transport. Owns the download database (through its Downloader).
struct NetworkServicesSetup {
    common::ProgramFolder folder{"."};
    std::string report_host;
    std::vector<std::string> time_hosts;  // empty: the report host, then the build's public hosts
    common::Clock* clock = nullptr;
    common::Host host;
    common::Notifier* notifier = nullptr;
    NetworkTimeouts timeouts;
    std::string ca_file;  // the CA bundle for an https report host; empty: the system's store
    std::chrono::milliseconds pause{5000};
    std::chrono::milliseconds day_limit{300'000};  // see DownloaderSetup
    // Where IsNetworkUp asks; empty: the system's interfaces (a loopback report host counts
    // as reachable).
    std::function<bool()> network_up;
    // Whether a downloaded body is a report (see DownloaderSetup); empty: every body counts.
    std::function<bool(std::string_view)> is_report;
};

class NetworkSchedulerServices final : public SchedulerServices {
public:
    explicit NetworkSchedulerServices(NetworkServicesSetup setup);

    common::Date NetworkTime() override;
    bool IsNetworkUp() override;
    void DownloadForwardPointRange(common::Date t) override;
    common::Outcome DownloadPreviousDays(common::Date now) override;
    common::Outcome DownloadCurrentDay(common::Date now) override;
    void RequestStop() override { stop_.Request(); }

    Downloader& Downloads() { return *downloader_; }
    NetworkClock& Clock() { return *clock_; }

private:
    StopFlag stop_;  // before the parts that look at it
    std::function<bool()> network_up_;
    std::string report_host_;
    std::unique_ptr<CurlTransport> transport_;
    std::unique_ptr<NetworkClock> clock_;
    std::unique_ptr<Downloader> downloader_;
};

}  // namespace zarvex::acquisition
