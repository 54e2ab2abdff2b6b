#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/api_server.h"
#include "common/program_folder.h"

namespace zarvex::cli {

// Whether the desktop program serves the local API too: the lines "serve = on" and
// "port = N" of api.conf in the user's configuration folder. Off without the file.
struct ApiSetting {
    bool serve = false;
    std::uint16_t port = 8617;
    std::vector<std::string> problems;  // a sentence per line not understood, with its number
};

std::filesystem::path ApiSettingPath(const std::filesystem::path& config_folder);
ApiSetting ParseApiSetting(std::string_view text);

// The API of the desktop program over its folder when the setting asks for it, on both
// loopback addresses; null when it does not or the server cannot start (then `problems` says
// why, naming the file or the port).
std::unique_ptr<ApiServer> ServeFromSetting(const common::ProgramFolder& folder,
                                            std::vector<std::string>& problems);

}  // namespace zarvex::cli
