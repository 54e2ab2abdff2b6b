#include "app/cli/commands.h"

#include <stdexcept>

namespace zarvex::cli {

// Placeholder until this group of commands is built; replaced by its owner.
int CmdProcessDay(Context&, const Words&) { throw std::runtime_error("not built yet"); }
int CmdProcessPreviousDays(Context&, const Words&) { throw std::runtime_error("not built yet"); }
int CmdUnload(Context&, const Words&) { throw std::runtime_error("not built yet"); }

}  // namespace zarvex::cli
