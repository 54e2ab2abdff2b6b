#include "app/gui/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "app/gui/private_folder.h"

namespace zarvex::gui {

namespace {

// What a second start sends; the holder reads no more than this.
constexpr std::string_view kShowRequest = "show\n";
// A knocking process that connects but never writes must not hold the window up.
constexpr int kReadWaitMs = 200;

std::optional<sockaddr_un> AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A path must fit with its terminating NUL; a longer one is no address at all.
    if (path.empty() || path.front() != '/' || path.size() >= sizeof(address.sun_path) ||
        path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

const sockaddr* Raw(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
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
    void Reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

bool PeerIsUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           size == sizeof credentials && credentials.uid == ::getuid();
}

// A socket file of the user's own (never followed through a link).
bool OwnSocketFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == ::getuid();
}

enum class Answer { kOwnListener, kBusy, kNobody };

// Who answers on the socket: a listener of the user's, one too busy to take a connection
// (its queue is full), or nobody (no socket of the user's, a file left by a killed process,
// another user's listener). The connection does not wait: a full queue must not hang a start.
Answer Probe(const std::string& path, const sockaddr_un& address, Descriptor& connected) {
    if (!OwnSocketFile(path)) {
        return Answer::kNobody;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return Answer::kNobody;
    }
    connected.Reset(fd);
    if (::connect(fd, Raw(address), sizeof address) != 0) {
        return errno == EAGAIN ? Answer::kBusy : Answer::kNobody;
    }
    return PeerIsUser(fd) ? Answer::kOwnListener : Answer::kNobody;
}

}  // namespace

std::string SingleInstance::SocketFor(uid_t user, const std::filesystem::path& folder) {
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
    char name[64];
    std::snprintf(name, sizeof name, "zarvex-217.%016llx.sock",
                  static_cast<unsigned long long>(hash));
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path socket =
        PrivateFolder(user, runtime != nullptr ? runtime : "", TemporaryFolder()) / name;
    if (!AddressOf(socket.string())) {
        // A runtime folder too deep for a socket's address: the one under the temporary folder.
        socket = PrivateFolder(user, "", TemporaryFolder()) / name;
    }
    return AddressOf(socket.string()) ? socket.string() : std::string();
}

SingleInstance::SingleInstance(std::string socket) : socket_(std::move(socket)) {
    const auto address = AddressOf(socket_);
    if (!address) {
        return;
    }
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) {
        return;
    }
    if (::bind(fd_, Raw(*address), sizeof *address) != 0) {
        Descriptor probe(-1);
        const bool taken = errno == EADDRINUSE;
        if (taken && Probe(socket_, *address, probe) != Answer::kNobody) {
            already_running_ = true;
        }
        // What nobody of this user answers on is no running copy: a killed process's file, or
        // whatever else stands in the user's own folder. It is replaced.
        if (!taken || already_running_ || ::unlink(socket_.c_str()) != 0 ||
            ::bind(fd_, Raw(*address), sizeof *address) != 0) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
    ::listen(fd_, 8);
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
        // The file goes with its holder; a killed holder's file is taken over by the next start.
        ::unlink(socket_.c_str());
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
    // The folder keeps other users out, root excepted; only the user's own processes count.
    if (!PeerIsUser(peer.Get())) {
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

bool SingleInstance::Knock(const std::string& socket) {
    const auto address = AddressOf(socket);
    if (!address) {
        return false;
    }
    Descriptor fd(-1);
    if (Probe(socket, *address, fd) != Answer::kOwnListener) {
        return false;
    }
    return ::send(fd.Get(), kShowRequest.data(), kShowRequest.size(),
                  MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(kShowRequest.size());
}

}  // namespace zarvex::gui
