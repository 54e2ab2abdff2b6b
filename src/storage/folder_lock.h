#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace zarvex::storage {

// One day run at a time on a program folder, whichever program runs it: an exclusive flock on
// DB/run.lock, held for the whole run. A second run waits for the first and then finds the
// day done, instead of both extracting it into the same files. The kernel drops the lock with
// the process, so a run that was killed never keeps it. A run started on a thread that holds
// the lock already (inside another run) shares that hold instead of waiting for itself.
class FolderLock final {
public:
    enum class State {
        kHeld,      // this run holds the lock
        kNoLock,    // no DB/ folder, or the lock file cannot be made there: nothing to guard
        kTimedOut,  // another run kept the lock longer than the wait allowed
    };

    static constexpr std::chrono::minutes kDefaultWait{10};

    // Takes the lock on db_folder/run.lock. While another run holds it, `waiting` is called
    // between tries (the first call tells the user why nothing moves; later ones keep the
    // window painted), for at most `wait`, or until `give_up` says so (the program closes):
    // both end as kTimedOut.
    FolderLock(const std::filesystem::path& db_folder, const std::function<void()>& waiting,
               std::chrono::milliseconds wait = kDefaultWait,
               const std::function<bool()>& give_up = {});
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State GetState() const { return state_; }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    State state_ = State::kNoLock;
};

// The file the lock is taken on.
std::filesystem::path FolderLockPath(const std::filesystem::path& db_folder);

}  // namespace zarvex::storage
