// The network time has bounds of its own, whatever the hosts do: silent hosts cannot hold it,
// and the bound that ended the wait is named.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "acquisition/curl_transport.h"
#include "acquisition/network_clock.h"
#include "common/system_clock.h"
#include "server_fixture.h"

namespace zarvex::acquisition {
namespace {

using std::chrono::milliseconds;

// A loopback port that takes connections (the kernel's backlog) and never says a word.
class SilentListener final {
public:
    SilentListener() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (fd_ < 0 || bind(fd_, generic, size) != 0 || listen(fd_, 128) != 0 ||
            getsockname(fd_, generic, &size) != 0) {
            throw std::runtime_error("no silent listener");
        }
        port_ = ntohs(address.sin_port);
    }
    ~SilentListener() { close(fd_); }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int fd_;
    int port_ = 0;
};

NetworkTimeouts ShortBounds() {
    NetworkTimeouts timeouts;
    timeouts.connect = milliseconds(400);
    timeouts.stall = milliseconds(300);
    timeouts.total = milliseconds(5000);
    timeouts.time_hosts_bound = milliseconds(1000);
    timeouts.network_time_bound = milliseconds(1800);
    return timeouts;
}

struct BoundCase {
    const char* name;
    bool silent_report_host;  // else its port is closed: the page fails at once
    const char* why;
    milliseconds longest;
};

class NetworkBoundTest : public testing::TestWithParam<BoundCase> {};

TEST_P(NetworkBoundTest, ManySilentHostsEndAtTheBoundThatIsNamed) {
    const SilentListener silent;
    const std::string report_host = GetParam().silent_report_host
                                        ? silent.Host()
                                        : "127.0.0.1:" + std::to_string(test::ClosedPort());
    // A transport that would wait on a silent page far longer than the bound allows.
    NetworkTimeouts patient = ShortBounds();
    patient.stall = milliseconds(20'000);
    CurlTransport transport(patient);
    common::SystemClock clock;
    NetworkClock network(transport, report_host, std::vector<std::string>(200, silent.Host()),
                         clock, ShortBounds());
    const auto start = std::chrono::steady_clock::now();
    std::string why;
    EXPECT_EQ(network.NetworkTime(&why), common::kInvalidDate);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(why, GetParam().why);
    EXPECT_LT(took, GetParam().longest);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, NetworkBoundTest,
    testing::Values(BoundCase{"TimeHosts", false,
                              "the time hosts gave no time within their bound of 1 s",
                              milliseconds(1700)},
                    BoundCase{"Whole", true, "network-time gave up at its bound of 1800 ms",
                              milliseconds(2600)}),
    [](const auto& one_case) { return std::string(one_case.param.name); });

TEST(NetworkBoundDefaultsTest, TimeHostsTogetherAMinuteTheWholeNinetySeconds) {
    const NetworkTimeouts defaults;
    EXPECT_EQ(defaults.time_hosts_bound, std::chrono::seconds(60));
    EXPECT_EQ(defaults.network_time_bound, std::chrono::seconds(90));
}

}  // namespace
}  // namespace zarvex::acquisition
