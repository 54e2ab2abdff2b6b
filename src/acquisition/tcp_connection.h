#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "acquisition/host_address.h"
#include "acquisition/stop_flag.h"

namespace zarvex::acquisition {

// A client TCP connection, closed by its destructor. Every wait is bounded, and ends early
// (as a time-out) once the stop flag, when given, is set.
class TcpConnection final {
public:
    ~TcpConnection();
    TcpConnection(TcpConnection&& other) noexcept;
    TcpConnection& operator=(TcpConnection&& other) noexcept;
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Tries each address of the host in turn; nullopt when none accepts within the time-out.
    static std::optional<TcpConnection> Connect(const HostAddress& address,
                                                std::chrono::milliseconds timeout,
                                                const StopFlag* stop = nullptr);

    bool SendAll(std::string_view data, std::chrono::milliseconds timeout);

    // Reads until `line_feeds` line feeds have arrived, the peer closes, max_bytes are in, or
    // nothing arrives for `stall`, or `total` has passed. Returns what arrived (possibly
    // nothing).
    std::string ReceiveLines(int line_feeds, std::size_t max_bytes, std::chrono::milliseconds stall,
                             std::chrono::milliseconds total);

private:
    TcpConnection(int fd, const StopFlag* stop) : fd_(fd), stop_(stop) {}
    int fd_ = -1;
    const StopFlag* stop_ = nullptr;
};

}  // namespace zarvex::acquisition
