#pragma once

#include <chrono>
#include <string>

#include "common/host.h"
#include "common/program_folder.h"
#include "storage/folder_lock.h"

namespace zarvex::day {

// A day run's hold on its program folder: the desktop program and the command line may both
// start one, and the second waits (showing why, with the window kept painted) until the
// first is done, then finds its days marked. Held from construction to destruction.
class FolderRun final {
public:
    FolderRun(const common::ProgramFolder& folder, const common::Host& host,
              std::chrono::milliseconds wait = storage::FolderLock::kDefaultWait);

    // "" when the run may go on; otherwise why not, naming the lock file.
    const std::string& Refusal() const { return refusal_; }

private:
    storage::FolderLock lock_;
    std::string refusal_;
};

}  // namespace zarvex::day
