#pragma once

#include <string>

namespace zarvex::common {

// The value of an environment variable, empty when it is not set.
std::string EnvironmentVariable(const char* name);

// $HOME, or the account's home from the user database when a service manager left it unset.
std::string UserHome();

}  // namespace zarvex::common
