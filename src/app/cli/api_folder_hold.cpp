#include "app/cli/api_folder_hold.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <thread>

#include "storage/folder_lock.h"

namespace zarvex::cli {

ApiFolderHold::ApiFolderHold(const std::filesystem::path& db_folder, std::chrono::milliseconds wait,
                             const std::atomic<bool>& cancel)
    : fd_(::open(storage::FolderLockPath(db_folder).c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_.Get() < 0) {
        return;
    }
    const auto give_up = std::chrono::steady_clock::now() + wait;
    while (::flock(fd_.Get(), LOCK_SH | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        // A file system without locks has nothing to wait for.
        if (!busy || cancel || std::chrono::steady_clock::now() >= give_up) {
            admitted_ = !busy;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace zarvex::cli
