#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>

#include "app/cli/file_descriptor.h"

namespace zarvex::cli {

// A shared hold of the day runs' lock (storage::FolderLock, exclusive) while an answer is
// read: a day run waits for the answer, an answer for the day run, so that every answer gives
// the folder as it was before a run or after it, never half of one, across all the databases
// it reads.
class ApiFolderHold final {
public:
    // Waits at most `wait` for a day run to finish, or until `cancel` turns true (the server
    // stops). Without the lock file there has been no day run to wait for.
    ApiFolderHold(const std::filesystem::path& db_folder, std::chrono::milliseconds wait,
                  const std::atomic<bool>& cancel);
    ApiFolderHold(const ApiFolderHold&) = delete;
    ApiFolderHold& operator=(const ApiFolderHold&) = delete;

    // False when a day run held the folder longer than the wait, or the wait was cancelled.
    bool Admitted() const { return admitted_; }

private:
    FileDescriptor fd_;
    bool admitted_ = true;
};

}  // namespace zarvex::cli
