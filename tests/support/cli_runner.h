#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.h"

namespace zarvex::test {

// One zarvex-cli command line run in-process (the test target links zarvex_cli_lib).
struct CliOutcome {
    int status = 0;
    std::string out;
    std::string err;
};

inline CliOutcome RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliOutcome outcome;
    outcome.status = cli::Run(args, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

}  // namespace zarvex::test
