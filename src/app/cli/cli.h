#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "common/date.h"
#include "common/program_folder.h"

namespace zarvex::cli {

// What every command gets: the global options, already checked, and the output streams.
struct Context {
    common::ProgramFolder home{"."};
    bool home_given = false;   // --home, not the environment's choice
    std::string lang = "eng";  // "eng" or "rus"
    common::Date today = 0;    // midnight of the day that counts as today
    bool today_given = false;
    std::string host;     // report server [https://]host[:port]; empty when none is set anywhere
    std::string ca_file;  // the CA bundle for https; empty: the system's store
    bool verbose = false;
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;

    // Where the calculations' progress texts go: stderr with --verbose, else nowhere, so that
    // a script's stderr holds only what went wrong.
    std::ostream* Progress() const { return verbose ? err : nullptr; }
};

// Exit statuses of the contract.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

using Command = std::function<int(Context&, const std::vector<std::string>&)>;

// The command table: name -> handler. Handlers throw UsageError for bad usage.
const std::map<std::string, Command>& Commands();

// Runs one command line (argv[0] excluded). Returns the exit status.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zarvex::cli
