#include "acquisition/scheduler_services.h"

#include "acquisition/host_address.h"
#include "acquisition/network_status.h"

namespace zarvex::acquisition {

NetworkSchedulerServices::NetworkSchedulerServices(NetworkServicesSetup setup)
    : network_up_(std::move(setup.network_up)),
      report_host_(setup.report_host),
      transport_(std::make_unique<CurlTransport>(setup.timeouts, &stop_, setup.ca_file)) {
    std::vector<std::string> hosts =
        setup.time_hosts.empty() ? TimeHostsFor(setup.report_host) : setup.time_hosts;
    clock_ = std::make_unique<NetworkClock>(*transport_, setup.report_host, std::move(hosts),
                                            *setup.clock, setup.timeouts, &stop_);
    DownloaderSetup downloads;
    downloads.folder = setup.folder;
    downloads.transport = transport_.get();
    downloads.report_host = setup.report_host;
    downloads.clock = setup.clock;
    downloads.host = setup.host;
    downloads.notifier = setup.notifier;
    downloads.pause = setup.pause;
    downloads.day_limit = setup.day_limit;
    downloads.is_report = std::move(setup.is_report);
    downloads.stop = &stop_;
    downloader_ = std::make_unique<Downloader>(std::move(downloads));
}

common::Date NetworkSchedulerServices::NetworkTime() {
    return clock_->NetworkTime();
}

bool NetworkSchedulerServices::IsNetworkUp() {
    return network_up_ ? network_up_() : IsNetworkUpFor(report_host_);
}

void NetworkSchedulerServices::DownloadForwardPointRange(common::Date t) {
    // Nothing waits on the range: each day's download fetches its own forward points, and
    // the failure is in the log.
    static_cast<void>(downloader_->DownloadForwardPointRange(t, true));
}

common::Outcome NetworkSchedulerServices::DownloadPreviousDays(common::Date now) {
    return downloader_->DownloadPreviousDays(now);
}

common::Outcome NetworkSchedulerServices::DownloadCurrentDay(common::Date now) {
    return downloader_->DownloadCurrentDay(now);
}

}  // namespace zarvex::acquisition
