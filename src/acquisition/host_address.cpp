#include "acquisition/host_address.h"

#include <cstdlib>

#include "build_config.h"
#include "common/text.h"

namespace zarvex::acquisition {

std::optional<HostAddress> ParseHostAddress(std::string_view text, int default_port) {
    text = common::Trim(text);
    HostAddress address;
    address.port = default_port;
    std::string_view port_text;
    bool has_port = false;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close == 1) {
            return std::nullopt;
        }
        address.host = std::string(text.substr(1, close - 1));
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return std::nullopt;
            }
            port_text = rest.substr(1);
            has_port = true;
        }
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon != std::string_view::npos) {
            if (text.find(':') != colon) {
                return std::nullopt;  // a bare IPv6 literal needs brackets to carry a port
            }
            port_text = text.substr(colon + 1);
            has_port = true;
            text = text.substr(0, colon);
        }
        address.host = std::string(text);
    }
    if (address.host.empty() || address.host.find_first_of(" /[]") != std::string::npos) {
        return std::nullopt;
    }
    if (has_port) {
        const auto port = common::ParseInt(port_text);
        if (!port || port_text.empty() || port_text.find(' ') != std::string_view::npos ||
            *port < 1 || *port > 65535) {
            return std::nullopt;
        }
        address.port = static_cast<int>(*port);
    }
    return address;
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
