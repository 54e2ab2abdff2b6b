#include "app/gui/network_session.h"

#include "acquisition/download_scheduler.h"
#include "app/gui/qt_host.h"
#include "common/symbols.h"
#include "import/parse_report.h"

namespace zarvex::gui {

// The scheduler's view of the services: the same calls, and after a failed download run the
// reason is handed to the window before the scheduler shows its retry text.
class NetworkSession::WatchedServices final : public acquisition::SchedulerServices {
public:
    WatchedServices(acquisition::NetworkSchedulerServices& inner, const NetworkSessionSetup& setup)
        : inner_(inner), setup_(setup) {}

    common::Date NetworkTime() override { return inner_.NetworkTime(); }
    bool IsNetworkUp() override { return inner_.IsNetworkUp(); }
    void DownloadForwardPointRange(common::Date t) override { inner_.DownloadForwardPointRange(t); }
    common::Outcome DownloadPreviousDays(common::Date now) override {
        return Watch(inner_.DownloadPreviousDays(now));
    }
    common::Outcome DownloadCurrentDay(common::Date now) override {
        return Watch(inner_.DownloadCurrentDay(now));
    }
    void RequestStop() override { inner_.RequestStop(); }

private:
    common::Outcome Watch(common::Outcome result) {
        if (result.IsDone()) {
            if (setup_.succeeded) {
                setup_.succeeded();
            }
        } else if (setup_.failed) {
            setup_.failed(result.Reason());
        }
        return result;
    }

    acquisition::NetworkSchedulerServices& inner_;
    const NetworkSessionSetup& setup_;
};

NetworkSession::NetworkSession(NetworkSessionSetup setup) : setup_(std::move(setup)) {
    acquisition::NetworkServicesSetup network;
    network.folder = setup_.folder;
    network.report_host = setup_.report_host;
    network.ca_file = setup_.ca_file;
    network.time_hosts = setup_.time_hosts;
    network.clock = setup_.clock;
    network.host = setup_.host->AsHost();
    network.notifier = setup_.host;
    network.network_up = setup_.network_up;
    network.is_report = [](std::string_view body) {
        return import::HoldsOptionSection(body, common::kSymbols);
    };
    services_ = std::make_unique<acquisition::NetworkSchedulerServices>(std::move(network));
    watched_ = std::make_unique<WatchedServices>(*services_, setup_);
}

NetworkSession::~NetworkSession() {
    // Transfers under way end now; the scheduler then waits only for its actions to return.
    services_->RequestStop();
    if (fetch_.joinable()) {
        fetch_.join();
    }
    scheduler_.reset();
}

bool NetworkSession::IsNetworkUp() {
    return services_->IsNetworkUp();
}

void NetworkSession::Start(bool fetch_forward_points) {
    if (fetch_forward_points) {
        fetching_ = true;
        fetch_ = std::thread([this] {
            const common::Date now = services_->Clock().ExchangeTime();
            if (now > 0) {
                // The window draws what arrived; a failure is in the log.
                static_cast<void>(services_->Downloads().DownloadForwardPointRange(now, false));
            }
            fetching_ = false;
            if (now > 0 && setup_.forward_points_arrived) {
                setup_.host->Caller().Post(setup_.forward_points_arrived);
            }
        });
    }
    if (setup_.start_scheduler) {
        acquisition::SchedulerSetup scheduler;
        scheduler.services = watched_.get();
        scheduler.host = setup_.host->AsHost();
        scheduler.notifier = setup_.host;
        scheduler.time_scale = setup_.scheduler_time_scale;
        scheduler_ = std::make_unique<acquisition::DownloadScheduler>(scheduler);
        scheduler_->SetDailyStartHour(setup_.daily_start_hour);
        scheduler_->SetRetryDelay(setup_.retry_minutes);
        scheduler_->Start();
    }
}

}  // namespace zarvex::gui
