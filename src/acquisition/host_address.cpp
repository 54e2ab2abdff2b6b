#include "acquisition/host_address.h"

#include <cstdlib>

#include "build_config.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::acquisition {

namespace {

constexpr std::string_view kSchemeMark = "://";

bool IsPortText(std::string_view text) {
    // Plain digits: no sign, no blanks, no exponent; at most five of them.
    if (text.empty() || text.size() > 5) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Characters that never stand in the part of a URL naming a server: they would make it a path,
// a query or another URL, or split a line.
bool HasForeignCharacter(std::string_view text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x21 || b == 0x7f || c == '/' || c == '?' || c == '#' || c == '\\') {
            return true;
        }
    }
    return false;
}

// host or host:port, or [v6] and [v6]:port.
HostFault ReadHostPort(std::string_view text, HostAddress& address) {
    std::string_view port_text;
    bool has_port = false;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close == 1) {
            return HostFault::kBrackets;
        }
        address.host = std::string(text.substr(1, close - 1));
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return HostFault::kBrackets;
            }
            port_text = rest.substr(1);
            has_port = true;
        }
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon != std::string_view::npos) {
            if (text.find(':') != colon) {
                return HostFault::kBareIpv6;  // a bare IPv6 literal needs brackets
            }
            port_text = text.substr(colon + 1);
            has_port = true;
            text = text.substr(0, colon);
        }
        address.host = std::string(text);
    }
    if (address.host.empty()) {
        return HostFault::kEmpty;
    }
    if (address.host.find_first_of("[]") != std::string::npos) {
        return HostFault::kBrackets;
    }
    if (has_port) {
        const int port = IsPortText(port_text) ? std::atoi(std::string(port_text).c_str()) : 0;
        if (port < 1 || port > 65535) {
            return HostFault::kPort;
        }
        address.port = port;
    }
    return HostFault::kNone;
}

}  // namespace

HostFault ReadHostAddress(std::string_view text, int default_port, HostAddress& out) {
    text = common::Trim(text);
    if (text.empty()) {
        return HostFault::kEmpty;
    }
    HostAddress address;
    address.port = default_port;
    if (const std::size_t mark = text.find(kSchemeMark); mark != std::string_view::npos) {
        const std::string scheme = common::ToLowerAscii(text.substr(0, mark));
        if (scheme == "https") {
            address.https = true;
            address.port = 443;
        } else if (scheme != "http") {
            return HostFault::kScheme;
        }
        text = text.substr(mark + kSchemeMark.size());
        // "https://host/" as a browser shows it: the server, without a path.
        if (!text.empty() && text.back() == '/') {
            text.remove_suffix(1);
        }
    }
    if (HasForeignCharacter(text)) {
        return HostFault::kNotAHost;
    }
    address.authority = std::string(text);
    if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
        // Basic authorisation sends the password as it stands: only inside TLS.
        if (!address.https) {
            return HostFault::kCredentialsNeedHttps;
        }
        address.user_info = std::string(text.substr(0, at));
        if (address.user_info.empty() ||
            address.user_info.find_first_of("[]@") != std::string::npos) {
            return HostFault::kNotAHost;
        }
        text = text.substr(at + 1);
    }
    if (const HostFault fault = ReadHostPort(text, address); fault != HostFault::kNone) {
        return fault;
    }
    out = std::move(address);
    return HostFault::kNone;
}

std::optional<HostAddress> ParseHostAddress(std::string_view text, int default_port) {
    HostAddress address;
    if (ReadHostAddress(text, default_port, address) != HostFault::kNone) {
        return std::nullopt;
    }
    return address;
}

HostFault HostFaultOf(std::string_view text) {
    HostAddress address;
    return ReadHostAddress(text, 80, address);
}

HostFault TimeHostFaultOf(std::string_view text) {
    HostAddress address;
    const HostFault fault = ReadHostAddress(text, 80, address);
    return fault == HostFault::kNone && address.https ? HostFault::kTimeHostHttps : fault;
}

std::string HostFaultText(HostFault fault, const common::TextTable& texts) {
    namespace text = common::text;
    switch (fault) {
        case HostFault::kNone:
            return {};
        case HostFault::kEmpty:
            return texts.Get(text::kHostFaultEmpty);
        case HostFault::kScheme:
            return texts.Get(text::kHostFaultScheme);
        case HostFault::kNotAHost:
            return texts.Get(text::kHostFaultNotAHost);
        case HostFault::kCredentialsNeedHttps:
            return texts.Get(text::kHostFaultCredentials);
        case HostFault::kPort:
            return texts.Get(text::kHostFaultPort);
        case HostFault::kBareIpv6:
            return texts.Get(text::kHostFaultBareIpv6);
        case HostFault::kBrackets:
            return texts.Get(text::kHostFaultBrackets);
        case HostFault::kTimeHostHttps:
            return texts.Get(text::kHostFaultTimeHostHttps);
    }
    return {};
}

std::string ResolveReportHost(std::string_view given, const DataSource& saved) {
    if (!common::Trim(given).empty()) {
        return std::string(common::Trim(given));
    }
    const char* env = std::getenv("ZARVEX_REPORT_HOST");
    if (env != nullptr && *env != '\0') {
        return env;
    }
    if (!saved.report_host.empty()) {
        return saved.report_host;
    }
    return build::kReportHost;
}

std::string ResolveReportHost(std::string_view given) {
    if (!common::Trim(given).empty()) {
        return std::string(common::Trim(given));
    }
    return ResolveReportHost(given, SavedDataSource());
}

std::string ResolveCaFile(std::string_view given, const DataSource& saved) {
    if (!given.empty()) {
        return std::string(given);
    }
    const char* env = std::getenv("ZARVEX_CA_FILE");
    if (env != nullptr && *env != '\0') {
        return env;
    }
    return saved.ca_file;
}

std::vector<std::string> BuildTimeHosts() {
    std::vector<std::string> hosts;
    for (std::string_view part : common::Split(build::kTimeHosts, ';')) {
        part = common::Trim(part);
        if (!part.empty()) {
            hosts.emplace_back(part);
        }
    }
    return hosts;
}

std::vector<std::string> TimeHostsFor(std::string_view report_host, const DataSource& saved) {
    std::vector<std::string> hosts;
    if (!report_host.empty()) {
        hosts.emplace_back(report_host);
    }
    for (auto& host : saved.time_hosts.empty() ? BuildTimeHosts() : saved.time_hosts) {
        hosts.push_back(std::move(host));
    }
    return hosts;
}

std::vector<std::string> TimeHostsFor(std::string_view report_host) {
    return TimeHostsFor(report_host, SavedDataSource());
}

}  // namespace zarvex::acquisition
