#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/data_source.h"
#include "acquisition/host_fault.h"

namespace zarvex::common {
class TextTable;
}

namespace zarvex::acquisition {

// A server named as "host" or "host:port" (an IPv6 literal in brackets: "[::1]:8080"), plain
// HTTP; or as "https://host[:port]", optionally with "user:password@" before the host.
struct HostAddress {
    std::string host;  // without the brackets of an IPv6 literal
    int port = 80;     // 443 for https:// unless one is given
    bool https = false;
    std::string user_info;  // "user" or "user:password"; only ever with https
    std::string authority;  // the text after the scheme, as given: what goes into the URL
};

// kNone and the address, or the fault (the address then is untouched).
HostFault ReadHostAddress(std::string_view text, int default_port, HostAddress& address);
// nullopt when the text has a fault.
std::optional<HostAddress> ParseHostAddress(std::string_view text, int default_port = 80);
HostFault HostFaultOf(std::string_view text);
// The same for a time host, which must be plain.
HostFault TimeHostFaultOf(std::string_view text);

// The fault in words, in the table's language (kNone: the empty text).
std::string HostFaultText(HostFault fault, const common::TextTable& texts);

// The report host: the given text when not empty (the command line's --host), else
// $ZARVEX_REPORT_HOST when set and not empty, else the saved data source, else the build
// setting (empty in a delivered build: a fresh install has no report server).
std::string ResolveReportHost(std::string_view given, const DataSource& saved);
// The same with the data source saved in the user's configuration folder.
std::string ResolveReportHost(std::string_view given = {});

// The bundle of CA certificates that an https server is checked against, ranked as the report
// host is: the given text (--ca-file), else $ZARVEX_CA_FILE, else the saved data source's
// ca_file; empty: the system's store.
std::string ResolveCaFile(std::string_view given, const DataSource& saved);

// The public time hosts of the build setting, in their order.
std::vector<std::string> BuildTimeHosts();

// The report host first, then the saved time hosts (the build's public ones when none are
// saved): the order in which the network clock asks.
std::vector<std::string> TimeHostsFor(std::string_view report_host, const DataSource& saved);
std::vector<std::string> TimeHostsFor(std::string_view report_host);

}  // namespace zarvex::acquisition
