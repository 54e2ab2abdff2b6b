#include "app/gui/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace zarvex::gui {

namespace {

constexpr int kOtherNames = 9;

class Descriptor final {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Whether the folder is the user's alone. Opened without following a link, and checked on
// the opened folder itself, so that nothing can be swapped in between the look and the use.
// repair: a folder of the user's with a wider mode is set to 0700 (its own fallback folder).
bool Fit(const std::filesystem::path& folder, uid_t user, bool repair) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != user) {
        return false;
    }
    if ((info.st_mode & 077) == 0) {
        return true;
    }
    return repair && ::fchmod(fd.Get(), 0700) == 0;
}

}  // namespace

std::filesystem::path PrivateFolder(uid_t user, std::string_view runtime_dir,
                                    const std::filesystem::path& temp) {
    const std::filesystem::path runtime(runtime_dir);
    if (runtime.is_absolute() && Fit(runtime, user, false)) {
        return runtime;
    }
    if (!temp.is_absolute()) {
        return {};
    }
    const std::string base = "zarvex-" + std::to_string(user);
    for (int k = 0; k <= kOtherNames; ++k) {
        const std::filesystem::path folder =
            temp / (k == 0 ? base : base + "-" + std::to_string(k));
        // mkdir makes a new folder or fails on whatever is there, a link included; either way
        // what is there is looked at before it is used.
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            continue;
        }
        if (Fit(folder, user, true)) {
            return folder;
        }
    }
    return {};
}

std::filesystem::path TemporaryFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && std::filesystem::path(tmpdir).is_absolute()) {
        return tmpdir;
    }
    return "/tmp";
}

}  // namespace zarvex::gui
