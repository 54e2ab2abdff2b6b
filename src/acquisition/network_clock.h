#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "acquisition/http_transport.h"
#include "acquisition/network_settings.h"
#include "acquisition/stop_flag.h"
#include "common/clock.h"
#include "common/date.h"

namespace zarvex::acquisition {

// The exchange's current time, read from the network: the "Date:" header of the time hosts
// (the report host first), and the report server's exchange-time page as the last resort.
// Never the computer's clock. Keeps no state between calls; calls may overlap.
class NetworkClock final {
public:
    // time_hosts in the order they are asked, each "host" or "host:port" (port 80 when none).
    // The clock only paces the short wait before the later hosts' answers. Once the stop flag
    // (when given) is set, no host is asked any more and a request under way ends.
    NetworkClock(HttpTransport& transport, std::string report_host,
                 std::vector<std::string> time_hosts, common::Clock& clock,
                 NetworkTimeouts timeouts = {}, const StopFlag* stop = nullptr);

    // The exchange time of the first host whose "Date:" answer parses, else ExchangeTime when
    // that is positive, else -1; within the bounds of the time-outs. When it gives none, why
    // (when given) names the bound that ended the wait, or the https failure; else it stays
    // empty.
    common::Date NetworkTime(std::string* why = nullptr);

    // The report server's exchange-time page; 0 or below when it gives none. The page is given
    // the whole network-time bound unless a deadline comes first.
    common::Date ExchangeTime(std::string* why = nullptr, Deadline deadline = kNoDeadline);

    // One host's "Date:" answer as Greenwich time; kInvalidDate when it gives none.
    common::Date AskTimeHost(const std::string& host, bool later_host,
                             Deadline deadline = kNoDeadline);

    const std::vector<std::string>& TimeHosts() const { return time_hosts_; }

private:
    HttpTransport& transport_;
    std::string report_host_;
    std::vector<std::string> time_hosts_;
    common::Clock& clock_;
    NetworkTimeouts timeouts_;
    const StopFlag* stop_;
};

}  // namespace zarvex::acquisition
