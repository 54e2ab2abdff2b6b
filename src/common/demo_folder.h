#pragma once

#include <filesystem>
#include <string>

namespace zarvex::common {

// The program folder of the generated demo days: $XDG_DATA_HOME/zarvex-demo, by default
// ~/.local/share/zarvex-demo. It lies beside the real per-user folder and never inside it, so
// generated days never mix with downloaded ones.
std::filesystem::path DemoFolder();

// The mark that a folder was filled with generated days (a file in its root).
std::filesystem::path DemoMarker(const std::filesystem::path& folder);
bool IsDemoFolder(const std::filesystem::path& folder);

// Why the demo may not fill the folder, naming the entry at fault; "" when it may. It may
// fill a folder that is absent or empty, or one that it made itself: marked, and holding only
// what the demo writes (its three folders with their reports, databases and unloads, the
// stand-in server's tree and the helpers' logs). Anything else may be somebody's real data.
std::string DemoFolderRefusal(const std::filesystem::path& folder);

// Whether path lies in folder (or is it), after both are made absolute and their links
// resolved as far as they exist.
bool LiesIn(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace zarvex::common
