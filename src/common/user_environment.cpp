#include "common/user_environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace zarvex::common {

std::string EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string UserHome() {
    std::string home = EnvironmentVariable("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home;
}

}  // namespace zarvex::common
