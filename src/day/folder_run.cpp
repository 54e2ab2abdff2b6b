#include "day/folder_run.h"

#include "common/log.h"
#include "common/text_id.h"

namespace zarvex::day {

FolderRun::FolderRun(const common::ProgramFolder& folder, const common::Host& host,
                     std::chrono::milliseconds wait)
    : lock_(
          folder.Db(),
          [&host, shown = false]() mutable {
              if (!shown) {
                  host.ShowStatus(host.Text(common::text::kWaitingForFolder));
                  shown = true;
              }
              host.PumpEvents();
          },
          wait) {
    if (lock_.GetState() == storage::FolderLock::State::kTimedOut) {
        admission_ = common::Outcome::Failed("another run kept " + lock_.Path().string() +
                                             " locked; the day was not run");
        common::Log("day run: ", admission_.Reason());
    }
}

}  // namespace zarvex::day
