#include "app/gui/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

namespace zarvex::gui {

namespace {

// What a second start sends; the holder reads no more than this.
constexpr std::string_view kShowRequest = "show\n";
// A knocking process that connects but never writes must not hold the window up.
constexpr int kReadWaitMs = 200;

std::optional<sockaddr_un> AddressOf(std::string_view name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.empty() || name.size() > sizeof(address.sun_path)) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, name.data(), name.size());
    // The exact length: an abstract name is all of its bytes, trailing ones included.
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    return address;
}

class Descriptor final {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string SingleInstance::NameFor(uid_t user, const std::filesystem::path& folder) {
    // The same folder reached by another spelling ("home/", "./home") is the same copy.
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        canonical = std::filesystem::absolute(folder, error).lexically_normal();
    }
    std::string text = canonical.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    // FNV-1a: short, stable across builds and runs, and enough to tell folders apart.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%u.%016llx", static_cast<unsigned>(user),
                  static_cast<unsigned long long>(hash));
    return std::string("\0Zarvex_217", 11) + tail;
}

SingleInstance::SingleInstance(std::string_view name) {
    socklen_t length = 0;
    const auto address = AddressOf(name, length);
    if (!address) {
        return;
    }
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) {
        return;
    }
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&*address), length) != 0) {
        already_running_ = errno == EADDRINUSE;
        ::close(fd_);
        fd_ = -1;
        return;
    }
    // Without listening the name still marks the copy; only the knock is lost.
    ::listen(fd_, 8);
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool SingleInstance::TakeKnock() const {
    if (fd_ < 0) {
        return false;
    }
    const Descriptor peer(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
    if (peer.Get() < 0) {
        return false;
    }
    // An abstract name has no file permissions: anyone may connect, so only the user's own
    // processes are listened to.
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(peer.Get(), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        credentials.uid != ::getuid()) {
        return false;
    }
    pollfd wait{peer.Get(), POLLIN, 0};
    if (::poll(&wait, 1, kReadWaitMs) <= 0) {
        return false;
    }
    char buffer[16] = {};
    const ssize_t got = ::recv(peer.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
    return got >= 4 && std::string_view(buffer, 4) == kShowRequest.substr(0, 4);
}

bool SingleInstance::Knock(std::string_view name) {
    socklen_t length = 0;
    const auto address = AddressOf(name, length);
    if (!address) {
        return false;
    }
    const Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0 ||
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), length) != 0) {
        return false;
    }
    return ::send(fd.Get(), kShowRequest.data(), kShowRequest.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(kShowRequest.size());
}

}  // namespace zarvex::gui
