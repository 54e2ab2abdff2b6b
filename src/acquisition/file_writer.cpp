#include "acquisition/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

namespace zarvex::acquisition {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A temporary file that could not be removed at once is tried a few more times, then left:
// it never carries a name anyone reads.
void RemoveBounded(const std::string& path) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (unlink(path.c_str()) == 0 || errno == ENOENT) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    std::string temp =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // mkostemp makes the file readable by the owner alone; give it the usual rights.
    bool ok = fchmod(fd, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH) == 0;
    ok = WriteAll(fd, bytes) && ok;
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), target.c_str()) == 0) {
        return true;
    }
    RemoveBounded(temp);
    return false;
}

}  // namespace zarvex::acquisition
