#include "app/cli/api_token.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/cli/file_descriptor.h"
#include "common/config_folder.h"

namespace zarvex::cli {

namespace {

constexpr std::size_t kTokenBytes = 32;

std::string Errno(const std::filesystem::path& path, const char* what) {
    return path.string() + ": " + what + ": " + std::strerror(errno);
}

bool IsHexToken(const std::string& text) {
    if (text.size() != 2 * kTokenBytes) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

ApiToken Make(const std::filesystem::path& path) {
    std::array<unsigned char, kTokenBytes> random{};
    std::size_t got = 0;
    while (got < random.size()) {
        const ssize_t n = ::getrandom(random.data() + got, random.size() - got, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return {"", Errno(path, "no random bytes for a token")};
        }
        got += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char b : random) {
        token += kHex[b >> 4];
        token += kHex[b & 15];
    }
    const FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.Get() < 0) {
        return {"", Errno(path, "the token file cannot be made")};
    }
    const std::string line = token + '\n';
    if (::write(fd.Get(), line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
        ::fsync(fd.Get()) != 0) {
        const std::string error = Errno(path, "the token file cannot be written");
        ::unlink(path.c_str());
        return {"", error};
    }
    return {token, ""};
}

}  // namespace

std::filesystem::path ApiTokenPath(const std::filesystem::path& config_folder) {
    return config_folder / "api-token";
}

ApiToken LoadOrMakeApiToken(const std::filesystem::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.Get() < 0 && errno == ENOENT) {
        if (!common::PrepareUserConfigFolder(path.parent_path())) {
            return {"", path.parent_path().string() + ": the configuration folder cannot be made"};
        }
        ApiToken made = Make(path);
        if (!made.token.empty() || errno != EEXIST) {
            return made;
        }
        // Another server made it first: read that one.
        return LoadOrMakeApiToken(path);
    }
    if (fd.Get() < 0) {
        return {"", Errno(path, "the token file cannot be read")};
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        return {"", Errno(path, "the token file cannot be read")};
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        return {"", path.string() + ": the token file is not a plain file of this user"};
    }
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return {"", path.string() + ": the token file has mode " + mode +
                        "; others may read it, so it is refused (chmod 600 it or remove it "
                        "for a new token)"};
    }
    std::array<char, 256> buffer{};
    const ssize_t n = ::read(fd.Get(), buffer.data(), buffer.size());
    std::string text(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    if (!IsHexToken(text)) {
        return {"", path.string() + ": the token file holds no token of 64 hex digits"};
    }
    return {text, ""};
}

}  // namespace zarvex::cli
