#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/date.h"
#include "reportserver/report_server.h"

namespace zarvex::tools {

// The stand-in server's command line.
struct ServerOptions {
    std::filesystem::path root;
    std::string bind = "127.0.0.1";
    int port = 0;
    std::optional<common::Date> fixed_time;  // Greenwich
    common::Date shift = 0;
    ServerFaults faults;
    DateHeaderStyle date_style = DateHeaderStyle::kStandard;
    std::optional<std::filesystem::path> port_file;
    bool help = false;
};

class OptionError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws OptionError naming the problem.
ServerOptions ParseServerOptions(const std::vector<std::string>& args);

extern const char* const kServerUsage;

}  // namespace zarvex::tools
