#pragma once

#include <filesystem>
#include <string_view>

namespace zarvex::acquisition {

// Writes the bytes to a fresh temporary file beside the target (a name no other code or
// process uses) and renames it onto the target, so the target's name only ever holds a
// complete file: the old one or the new one. False, with nothing left behind, on failure.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace zarvex::acquisition
