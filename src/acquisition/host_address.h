#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/data_source.h"

namespace zarvex::acquisition {

// A server named as "host" or "host:port" (an IPv6 literal in brackets: "[::1]:8080").
struct HostAddress {
    std::string host;
    int port = 80;
};

// nullopt for an empty host, a port that is not a number from 1 to 65535, or stray brackets.
std::optional<HostAddress> ParseHostAddress(std::string_view text, int default_port = 80);

// The report host: the given text when not empty (the command line's --host), else
// $ZARVEX_REPORT_HOST when set and not empty, else the saved data source, else the build
// setting (empty in a delivered build: a fresh install has no report server).
std::string ResolveReportHost(std::string_view given, const DataSource& saved);
// The same with the data source saved in the user's configuration folder.
std::string ResolveReportHost(std::string_view given = {});

// The public time hosts of the build setting, in their order.
std::vector<std::string> BuildTimeHosts();

// The report host first, then the saved time hosts (the build's public ones when none are
// saved): the order in which the network clock asks.
std::vector<std::string> TimeHostsFor(std::string_view report_host, const DataSource& saved);
std::vector<std::string> TimeHostsFor(std::string_view report_host);

}  // namespace zarvex::acquisition
