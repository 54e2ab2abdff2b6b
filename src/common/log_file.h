#pragma once

#include <filesystem>
#include <mutex>
#include <string_view>

#include "common/clock.h"

namespace zarvex::common {

// One diagnostic text file to which lines are appended. The file is opened and closed for every
// line, so nothing is lost in a buffer when the process ends abruptly, and is never truncated.
// Safe to call from several threads: lines are written one at a time, whole.
class LogFile final {
public:
    // clock gives the time stamps and must outlive the object.
    LogFile(std::filesystem::path path, const common::Clock& clock);

    // Appends "dd.mm hh:ii:ss message" and a line end, creating the file when missing.
    // Returns false when the line could not be written; nobody is told otherwise.
    bool Append(std::string_view message);

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    const common::Clock& clock_;
    std::mutex mutex_;
};

}  // namespace zarvex::common
