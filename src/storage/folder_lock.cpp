#include "storage/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>
#include <thread>

#include "common/log.h"

namespace zarvex::storage {

namespace {

constexpr std::chrono::milliseconds kRetry{20};

// The lock files this thread holds, each with the number of runs on this thread that hold
// it. A run started inside another on the same thread (a notification handled while the
// first one pumps events) shares the first one's hold: a flock of its own would wait for a
// run that cannot go on until it returns.
std::map<std::string, int>& HeldOnThisThread() {
    thread_local std::map<std::string, int> held;
    return held;
}

}  // namespace

std::filesystem::path FolderLockPath(const std::filesystem::path& db_folder) {
    return db_folder / "run.lock";
}

FolderLock::FolderLock(const std::filesystem::path& db_folder, const std::function<void()>& waiting,
                       std::chrono::milliseconds wait, const std::function<bool()>& give_up)
    : path_(FolderLockPath(db_folder)) {
    if (const auto held = HeldOnThisThread().find(path_.string());
        held != HeldOnThisThread().end()) {
        ++held->second;
        state_ = State::kHeld;
        return;
    }
    // Never O_TRUNC or O_CREAT on a folder: O_CREAT makes only the file, and without DB/ the
    // open fails and the run goes on with nothing stored, as it would anyway.
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd_ < 0) {
        common::Log("folder lock: cannot open ", path_.string(), "; running without it");
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            state_ = State::kHeld;
            HeldOnThisThread()[path_.string()] = 1;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // A file system without flock: the databases' own locks still keep the files whole.
            common::Log("folder lock: flock failed on ", path_.string(), "; running without it");
            ::close(fd_);
            fd_ = -1;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline || (give_up && give_up())) {
            state_ = State::kTimedOut;
            ::close(fd_);
            fd_ = -1;
            return;
        }
        if (waiting) {
            waiting();
        }
        std::this_thread::sleep_for(kRetry);
    }
}

FolderLock::~FolderLock() {
    if (state_ == State::kHeld) {
        const auto held = HeldOnThisThread().find(path_.string());
        if (held != HeldOnThisThread().end() && --held->second == 0) {
            HeldOnThisThread().erase(held);
        }
    }
    if (fd_ >= 0) {
        ::close(fd_);  // closing the only descriptor releases the flock
    }
}

}  // namespace zarvex::storage
