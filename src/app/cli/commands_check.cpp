#include "app/cli/commands.h"

#include <stdexcept>

namespace zarvex::cli {

// Placeholder until this group of commands is built; replaced by its owner.
int CmdCheck(Context&, const Words&) { throw std::runtime_error("not built yet"); }

}  // namespace zarvex::cli
