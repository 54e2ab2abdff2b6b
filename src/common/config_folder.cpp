#include "common/config_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace zarvex::common {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string UserHome() {
    std::string home = Variable("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home;
}

}  // namespace

std::filesystem::path UserConfigFolder() {
    return UserConfigFolder(Variable("XDG_CONFIG_HOME"), UserHome());
}

std::filesystem::path UserConfigFolder(const std::string& xdg_config_home,
                                       const std::string& user_home) {
    std::filesystem::path base = xdg_config_home;
    if (base.empty() || base.is_relative()) {
        base = std::filesystem::path(user_home.empty() ? "/tmp" : user_home) / ".config";
    }
    return base / "zarvex";
}

bool PrepareUserConfigFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return !error && std::filesystem::is_directory(folder, error);
}

}  // namespace zarvex::common
