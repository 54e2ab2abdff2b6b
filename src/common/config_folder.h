#pragma once

#include <filesystem>
#include <string>

namespace zarvex::common {

// The user's own state (window, data source, alerts) lives apart from the program folder, so
// that a portable folder, a demo folder and the installed program's folder share it and no
// database ever holds it: $XDG_CONFIG_HOME/zarvex, or ~/.config/zarvex. A relative
// $XDG_CONFIG_HOME is invalid under the base directory rules and is ignored.
std::filesystem::path UserConfigFolder();
std::filesystem::path UserConfigFolder(const std::string& xdg_config_home,
                                       const std::string& user_home);

// Creates the folder (with its parents) when it is missing; false when it cannot be made.
bool PrepareUserConfigFolder(const std::filesystem::path& folder);

}  // namespace zarvex::common
