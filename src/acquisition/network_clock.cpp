#include "acquisition/network_clock.h"

#include "acquisition/endpoints.h"
#include "acquisition/host_address.h"
#include "acquisition/tcp_connection.h"
#include "acquisition/time_texts.h"
#include "common/log.h"

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

common::Date NetworkClock::AskTimeHost(const std::string& host, bool later_host) {
    const auto address = ParseHostAddress(host, 80);
    // The time request is a bare line of plain HTTP: an https server is not asked it (its
    // answer could not be read, and nothing of the secure channel would check it). Its time
    // comes from the exchange-time page, over https, when no time host answers.
    if (!address || address->https) {
        return common::kInvalidDate;
    }
    auto connection = TcpConnection::Connect(*address, timeouts_.connect, stop_);
    if (!connection) {
        return common::kInvalidDate;
    }
    common::Log("time host ", host);
    if (!connection->SendAll(kTimeRequest, timeouts_.stall)) {
        return common::kInvalidDate;
    }
    if (later_host) {
        clock_.SleepFor(std::chrono::milliseconds(10));
    }
    // Read on until the lines that are looked at are all in: one read may bring only a part.
    const std::string answer = connection->ReceiveLines(kHeaderLinesLookedAt, kTimeAnswerCapacity,
                                                        timeouts_.stall, timeouts_.total);
    const common::Date greenwich = ParseHeaderTime(DateHeaderText(answer));
    return greenwich > 0 ? greenwich : common::kInvalidDate;
}

common::Date NetworkClock::NetworkTime() {
    for (std::size_t i = 0; i < time_hosts_.size(); ++i) {
        if (StopRequested(stop_)) {
            return common::kInvalidDate;
        }
        const common::Date greenwich = AskTimeHost(time_hosts_[i], i > 0);
        if (greenwich <= 0) {
            continue;
        }
        const common::Date exchange = ToExchangeTime(greenwich);
        common::Log("network time ", common::FormatDate(exchange, "%yyyy.%mm.%dd.-%hh:%ii"));
        return exchange;
    }
    const common::Date page = ExchangeTime();
    common::Log("exchange time page ", page);
    return page > 0 ? page : common::kInvalidDate;
}

common::Date NetworkClock::ExchangeTime() {
    std::string buffer;
    const FetchResult result = transport_.FetchToBuffer(ServerUrl(report_host_, kExchangeTimePath),
                                                        buffer, kExchangePageCapacity);
    if (result.count <= 0 || result.not_found) {
        return common::kInvalidDate;
    }
    return ParseExchangeTimePage(
        std::string_view(buffer.data(), static_cast<std::size_t>(result.count)));
}

}  // namespace zarvex::acquisition
