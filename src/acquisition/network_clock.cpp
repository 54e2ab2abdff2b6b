#include "acquisition/network_clock.h"

#include <algorithm>

#include "acquisition/endpoints.h"
#include "acquisition/host_address.h"
#include "acquisition/tcp_connection.h"
#include "acquisition/time_texts.h"
#include "common/log.h"
#include "common/text.h"

namespace zarvex::acquisition {

namespace {

constexpr std::size_t kTimeAnswerCapacity = 65535;
constexpr std::size_t kExchangePageCapacity = 50000;
constexpr int kHeaderLinesLookedAt = 5;

}  // namespace

NetworkClock::NetworkClock(HttpTransport& transport, std::string report_host,
                           std::vector<std::string> time_hosts, common::Clock& clock,
                           NetworkTimeouts timeouts, const StopFlag* stop)
    : transport_(transport),
      report_host_(std::move(report_host)),
      time_hosts_(std::move(time_hosts)),
      clock_(clock),
      timeouts_(timeouts),
      stop_(stop) {}

namespace {

std::chrono::milliseconds Left(Deadline deadline) {
    if (deadline == kNoDeadline) {
        return std::chrono::milliseconds::max();
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

std::string BoundText(std::chrono::milliseconds bound) {
    const auto ms = bound.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

common::Date NetworkClock::AskTimeHost(const std::string& host, bool later_host,
                                       Deadline deadline) {
    const std::chrono::milliseconds left = Left(deadline);
    if (left.count() == 0) {
        return common::kInvalidDate;
    }
    const auto address = ParseHostAddress(host, 80);
    // The time request is a bare line of plain HTTP: an https server is not asked it (its
    // answer could not be read, and nothing of the secure channel would check it). Its time
    // comes from the exchange-time page, over https, when no time host answers.
    if (!address || address->https) {
        return common::kInvalidDate;
    }
    auto connection = TcpConnection::Connect(*address, std::min(timeouts_.connect, left), stop_);
    if (!connection) {
        return common::kInvalidDate;
    }
    common::Log("time host ", host);
    if (!connection->SendAll(kTimeRequest, std::min(timeouts_.stall, Left(deadline)))) {
        return common::kInvalidDate;
    }
    if (later_host) {
        clock_.SleepFor(std::chrono::milliseconds(10));
    }
    // Read on until the lines that are looked at are all in: one read may bring only a part.
    const std::chrono::milliseconds rest = Left(deadline);
    const std::string answer =
        connection->ReceiveLines(kHeaderLinesLookedAt, kTimeAnswerCapacity,
                                 std::min(timeouts_.stall, rest), std::min(timeouts_.total, rest));
    const common::Date greenwich = ParseHeaderTime(DateHeaderText(answer));
    return greenwich > 0 ? greenwich : common::kInvalidDate;
}

common::Date NetworkClock::NetworkTime(std::string* why) {
    // However many hosts there are and however silent, the wait has its bounds.
    const auto start = std::chrono::steady_clock::now();
    const Deadline hosts_end = start + timeouts_.time_hosts_bound;
    const Deadline whole_end = start + timeouts_.network_time_bound;
    bool hosts_ran_out = false;
    for (std::size_t i = 0; i < time_hosts_.size(); ++i) {
        if (StopRequested(stop_)) {
            return common::kInvalidDate;
        }
        if (Left(hosts_end).count() == 0) {
            hosts_ran_out = true;
            break;
        }
        const common::Date greenwich = AskTimeHost(time_hosts_[i], i > 0, hosts_end);
        if (greenwich <= 0) {
            continue;
        }
        const common::Date exchange = ToExchangeTime(greenwich);
        common::Log("network time ", common::FormatDate(exchange, "%yyyy.%mm.%dd.-%hh:%ii"));
        return exchange;
    }
    hosts_ran_out = hosts_ran_out || (!time_hosts_.empty() && Left(hosts_end).count() == 0);
    std::string page_why;
    const common::Date page = ExchangeTime(&page_why, whole_end);
    common::Log("exchange time page ", page);
    if (page > 0) {
        return page;
    }
    if (why != nullptr) {
        if (Left(whole_end).count() == 0) {
            *why =
                "network-time gave up at its bound of " + BoundText(timeouts_.network_time_bound);
        } else if (hosts_ran_out) {
            *why = "the time hosts gave no time within their bound of " +
                   BoundText(timeouts_.time_hosts_bound) +
                   (page_why.empty() ? std::string() : "; " + page_why);
        } else {
            *why = page_why;
        }
    }
    return common::kInvalidDate;
}

common::Date NetworkClock::ExchangeTime(std::string* why, Deadline deadline) {
    const Deadline own_end = std::chrono::steady_clock::now() + timeouts_.network_time_bound;
    const Deadline end = std::min(deadline, own_end);
    std::string buffer;
    const std::string url = ServerUrl(report_host_, kExchangeTimePath);
    const FetchResult result = transport_.FetchToBuffer(url, buffer, kExchangePageCapacity, end);
    if (result.count <= 0 || result.not_found) {
        if (why != nullptr) {
            if (Left(end).count() == 0 && end == own_end) {
                *why = "the exchange-time page gave up at its bound of " +
                       BoundText(timeouts_.network_time_bound);
            } else if (result.count < 0 && common::StartsWith(url, "https://")) {
                // Over plain HTTP the lines stay as they were; over HTTPS the reason is what
                // the user needs (a certificate that does not verify).
                *why = result.failure;
            }
        }
        return common::kInvalidDate;
    }
    return ParseExchangeTimePage(
        std::string_view(buffer.data(), static_cast<std::size_t>(result.count)));
}

}  // namespace zarvex::acquisition
