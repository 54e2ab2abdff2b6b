#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/api_answerer.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace zarvex::cli {

// The loopback addresses the API may listen on; any other is refused.
bool IsLoopbackAddress(const std::string& address);

struct ApiServerOptions {
    ApiAnswererOptions answerer;
    std::vector<std::string> addresses{"127.0.0.1", "::1"};
    std::uint16_t port = 8617;  // 0: one the system picks (the tests)
    // A request must be in whole this long after its connection opened (or after the previous
    // answer on it): a client that sends a byte now and then is dropped, not waited for.
    std::chrono::milliseconds request_timeout{std::chrono::seconds(10)};
};

// The local read-only API over HTTP (GNU libmicrohttpd) on the loopback addresses; answers
// come from ApiAnswerer. Stops with its destruction.
class ApiServer final {
public:
    explicit ApiServer(ApiServerOptions options);
    ~ApiServer();
    ApiServer(const ApiServer&) = delete;
    ApiServer& operator=(const ApiServer&) = delete;

    // Listens on every address; false with why when one cannot be had. An address of the
    // default pair that the system lacks (no IPv6) is skipped while the other works.
    bool Start(std::string& error);
    void Stop();
    // "http://127.0.0.1:8617/" for each address listened on.
    const std::vector<std::string>& Urls() const { return urls_; }
    std::uint16_t Port() const { return port_; }

    // The library's callbacks; not for other callers.
    ApiAnswer AnswerConnection(MHD_Connection* connection, const char* url, const char* method,
                               const char* version);
    void ConnectionStarted(MHD_Connection* connection);
    void ConnectionClosed(MHD_Connection* connection);
    void RequestStarted(MHD_Connection* connection);
    void RequestCompleted(MHD_Connection* connection);

private:
    void Watch();

    struct Watched {
        int fd = -1;
        std::chrono::steady_clock::time_point deadline;
    };

    ApiServerOptions options_;
    ApiAnswerer answerer_;
    std::vector<MHD_Daemon*> daemons_;
    std::vector<std::string> urls_;
    std::uint16_t port_ = 0;
    std::mutex watch_mutex_;
    std::condition_variable watch_wake_;
    bool stopping_ = false;
    std::map<MHD_Connection*, Watched> watched_;
    std::thread watchdog_;
};

}  // namespace zarvex::cli
