#include "common/demo_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace zarvex::common {

std::filesystem::path DemoFolder() {
    const char* data_home = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base = data_home != nullptr ? data_home : "";
    // A relative $XDG_DATA_HOME is invalid under the base directory rules and is ignored.
    if (base.empty() || base.is_relative()) {
        const char* home = std::getenv("HOME");
        std::string user_home = home != nullptr ? home : "";
        if (user_home.empty()) {
            if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
                user_home = entry->pw_dir;
            }
        }
        base = std::filesystem::path(user_home.empty() ? "/tmp" : user_home) / ".local" / "share";
    }
    return base / "zarvex-demo";
}

std::filesystem::path DemoMarker(const std::filesystem::path& folder) {
    return folder / ".zarvex-demo";
}

bool IsDemoFolder(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_regular_file(DemoMarker(folder), error);
}

}  // namespace zarvex::common
