#include "app/gui/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace zarvex::gui {

const std::string& SingleInstance::DefaultName() {
    static const std::string kName("\0Zarvex_217", 11);
    return kName;
}

SingleInstance::SingleInstance(std::string_view name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.empty() || name.size() > sizeof(address.sun_path)) {
        return;
    }
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return;
    }
    std::memcpy(address.sun_path, name.data(), name.size());
    // The exact length: an abstract name is all of its bytes, trailing ones included.
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        already_running_ = errno == EADDRINUSE;
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace zarvex::gui
