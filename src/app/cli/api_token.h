#pragma once

#include <filesystem>
#include <string>

namespace zarvex::cli {

// The bearer token of the local API: 32 random bytes as 64 hex digits in a file only its owner
// may read.
struct ApiToken {
    std::string token;  // empty when there is none to be had
    std::string error;  // why, naming the file
};

// The token file of the user: api-token in the configuration folder.
std::filesystem::path ApiTokenPath(const std::filesystem::path& config_folder);

// Reads the token file, making it first (mode 0600) when there is none. A file that others may
// read or write, that is not a plain file of this user, or that holds no token is refused: a
// token others could have read guards nothing.
ApiToken LoadOrMakeApiToken(const std::filesystem::path& path);

}  // namespace zarvex::cli
