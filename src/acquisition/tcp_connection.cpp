#include "acquisition/tcp_connection.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace zarvex::acquisition {

namespace {

struct AddrInfoDeleter {
    void operator()(addrinfo* info) const { freeaddrinfo(info); }
};

int PollMs(std::chrono::milliseconds timeout) {
    return static_cast<int>(
        std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 24 * 3600 * 1000));
}

// poll() of one descriptor in short slices, so that a stop is seen within one slice. 1 when
// ready, 0 on time-out or stop, -1 on error.
int PollStoppable(pollfd& pfd, std::chrono::milliseconds timeout, const StopFlag* stop) {
    using std::chrono::steady_clock;
    constexpr auto kSlice = std::chrono::milliseconds(50);
    const auto deadline = steady_clock::now() + timeout;
    while (true) {
        if (StopRequested(stop)) {
            return 0;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
        const auto wait = stop != nullptr ? std::min(left, kSlice) : left;
        const int ready = poll(&pfd, 1, PollMs(wait));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready != 0 || left <= wait) {
            return ready;
        }
    }
}

// Non-blocking connect bounded by the time-out; the socket is left non-blocking.
int ConnectOne(const addrinfo& info, std::chrono::milliseconds timeout, const StopFlag* stop) {
    const int fd =
        socket(info.ai_family, info.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, info.ai_protocol);
    if (fd < 0) {
        return -1;
    }
    if (connect(fd, info.ai_addr, info.ai_addrlen) == 0) {
        return fd;
    }
    if (errno != EINPROGRESS) {
        close(fd);
        return -1;
    }
    pollfd pfd{fd, POLLOUT, 0};
    const int ready = PollStoppable(pfd, timeout, stop);
    int error = 0;
    socklen_t length = sizeof error;
    if (ready != 1 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TcpConnection::~TcpConnection() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

TcpConnection::TcpConnection(TcpConnection&& other) noexcept : fd_(other.fd_), stop_(other.stop_) {
    other.fd_ = -1;
}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = other.fd_;
        stop_ = other.stop_;
        other.fd_ = -1;
    }
    return *this;
}

std::optional<TcpConnection> TcpConnection::Connect(const HostAddress& address,
                                                    std::chrono::milliseconds timeout,
                                                    const StopFlag* stop) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0) {
        return std::nullopt;
    }
    std::unique_ptr<addrinfo, AddrInfoDeleter> list(found);
    for (const addrinfo* info = list.get(); info != nullptr; info = info->ai_next) {
        if (StopRequested(stop)) {
            break;
        }
        const int fd = ConnectOne(*info, timeout, stop);
        if (fd >= 0) {
            return TcpConnection(fd, stop);
        }
    }
    return std::nullopt;
}

bool TcpConnection::SendAll(std::string_view data, std::chrono::milliseconds timeout) {
    while (!data.empty()) {
        const ssize_t sent = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        pollfd pfd{fd_, POLLOUT, 0};
        if (PollStoppable(pfd, timeout, stop_) != 1) {
            return false;
        }
    }
    return true;
}

std::string TcpConnection::ReceiveLines(int line_feeds, std::size_t max_bytes,
                                        std::chrono::milliseconds stall,
                                        std::chrono::milliseconds total) {
    using std::chrono::steady_clock;
    const auto deadline = steady_clock::now() + total;
    std::string received;
    int seen = 0;
    char chunk[4096];
    while (received.size() < max_bytes && seen < line_feeds) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = PollStoppable(pfd, std::min(stall, left), stop_);
        if (ready != 1) {
            break;  // nothing for too long
        }
        const std::size_t want = std::min(sizeof chunk, max_bytes - received.size());
        const ssize_t got = recv(fd_, chunk, want, 0);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            continue;
        }
        if (got <= 0) {
            break;  // closed or failed
        }
        const std::string_view piece(chunk, static_cast<std::size_t>(got));
        seen += static_cast<int>(std::count(piece.begin(), piece.end(), '\n'));
        received.append(piece);
    }
    return received;
}

}  // namespace zarvex::acquisition
