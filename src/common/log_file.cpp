#include "common/log_file.h"

#include <cstdio>
#include <memory>
#include <string>

#include "common/date.h"

namespace zarvex::common {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

LogFile::LogFile(std::filesystem::path path, const common::Clock& clock)
    : path_(std::move(path)), clock_(clock) {}

bool LogFile::Append(std::string_view message) {
    std::string line = common::FormatDate(clock_.Now(), "%dd.%mm %hh:%ii:%ss");
    line.push_back(' ');
    line.append(message);
    line.push_back('\n');

    const std::lock_guard<std::mutex> guard(mutex_);
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_.c_str(), "ab"));
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(line.data(), 1, line.size(), file.get()) == line.size();
    return std::fflush(file.get()) == 0 && written;
}

}  // namespace zarvex::common
