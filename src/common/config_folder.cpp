#include "common/config_folder.h"

#include <system_error>

#include "common/user_environment.h"

namespace zarvex::common {

std::filesystem::path UserConfigFolder() {
    return UserConfigFolder(EnvironmentVariable("XDG_CONFIG_HOME"), UserHome());
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
