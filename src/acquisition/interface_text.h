#pragma once

#include <string>

#include "common/host.h"

namespace zarvex::acquisition {

// An entry of the host's interface text table (common/text_id.h), English when the host has
// none.
std::string InterfaceText(const common::Host& host, int id);

}  // namespace zarvex::acquisition
