#pragma once

#include <span>

namespace zarvex::ui {

// The PNG file of the start-up window's picture, built into the program.
std::span<const unsigned char> StartupPictureBytes();

}  // namespace zarvex::ui
