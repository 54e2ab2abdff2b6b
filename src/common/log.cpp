#include "common/log.h"

#include <memory>
#include <mutex>

#include "common/log_file.h"
#include "common/system_clock.h"
#include "common/text.h"

namespace zarvex::shell {

namespace {

// The one log of the process; made on first use so that nothing is touched while the
// switch is off. Only the branches for the switched-on log use these, which clang counts as
// unused when the switch is off.
struct ProcessLog {
    std::mutex mutex;
    common::SystemClock system_clock;
    std::unique_ptr<LogFile> file;
};

[[maybe_unused]] ProcessLog& TheLog() {
    static ProcessLog log;
    return log;
}

[[maybe_unused]] std::filesystem::path LogPath(const common::ProgramFolder& folder) {
    return folder.Root() / kLogFileName;
}

}  // namespace

void ConfigureLog(const common::ProgramFolder& folder, const common::Clock& clock) {
    if constexpr (LogEnabled()) {
        ProcessLog& log = TheLog();
        const std::lock_guard<std::mutex> guard(log.mutex);
        log.file = std::make_unique<LogFile>(LogPath(folder), clock);
    } else {
        (void)folder;
        (void)clock;
    }
}

namespace detail {

void WriteLogLine(std::string_view line) {
    if constexpr (LogEnabled()) {
        ProcessLog& log = TheLog();
        const std::lock_guard<std::mutex> guard(log.mutex);
        if (!log.file) {
            log.file = std::make_unique<LogFile>(LogPath(common::ProgramFolder::FromEnvironment()),
                                                 log.system_clock);
        }
        log.file->Append(line);
    } else {
        (void)line;
    }
}

void AppendLogNumber(std::string& line, double value) {
    line.append(common::FormatShort(value));
}

}  // namespace detail

}  // namespace zarvex::shell
