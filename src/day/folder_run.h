#pragma once

#include <chrono>

#include "common/host.h"
#include "common/outcome.h"
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

    // Done when the run may go on; otherwise failed with why not, naming the lock file.
    const common::Outcome& Admission() const { return admission_; }

private:
    storage::FolderLock lock_;
    common::Outcome admission_ = common::Outcome::Done();
};

}  // namespace zarvex::day
