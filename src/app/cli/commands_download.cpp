#include "app/cli/commands.h"

#include <stdexcept>

namespace zarvex::cli {

// Placeholder until this group of commands is built; replaced by its owner.
int CmdNetworkTime(Context&, const Words&) { throw std::runtime_error("not built yet"); }
int CmdExchangeTime(Context&, const Words&) { throw std::runtime_error("not built yet"); }
int CmdForwardPoints(Context&, const Words&) { throw std::runtime_error("not built yet"); }
int CmdDownloadDay(Context&, const Words&) { throw std::runtime_error("not built yet"); }
int CmdDownloadPreviousDays(Context&, const Words&) { throw std::runtime_error("not built yet"); }

}  // namespace zarvex::cli
