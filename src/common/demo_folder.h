#pragma once

#include <filesystem>

namespace zarvex::common {

// The program folder of the generated demo days: $XDG_DATA_HOME/zarvex-demo, by default
// ~/.local/share/zarvex-demo. It lies beside the real per-user folder and never inside it, so
// generated days never mix with downloaded ones.
std::filesystem::path DemoFolder();

// The mark that a folder was filled with generated days (a file in its root).
std::filesystem::path DemoMarker(const std::filesystem::path& folder);
bool IsDemoFolder(const std::filesystem::path& folder);

}  // namespace zarvex::common
