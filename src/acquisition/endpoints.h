#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "acquisition/host_address.h"

namespace zarvex::acquisition {

// Where things live on the report server.
inline constexpr std::string_view kReportFolderPath = "/toster/";
inline constexpr std::string_view kForwardPointFolderPath = "/fp/";
inline constexpr std::string_view kExchangeTimePath = "/1/2.php";

// The text by which the server's error pages ("not found" and the like) are told from data.
inline constexpr std::string_view kErrorPageMarker = "<!DOCTYPE HTML PUBLIC";

// The request the time hosts get: two bare line feeds and no Host line.
inline constexpr std::string_view kTimeRequest = "GET /simple/ HTTP/1.0\n\n";

// The URL of a path on the server named "host[:port]" (plain HTTP) or "https://...".
inline std::string ServerUrl(std::string_view host, std::string_view path) {
    const auto address = ParseHostAddress(host);
    std::string url = address && address->https ? "https://" : "http://";
    url += address ? std::string_view(address->authority) : host;
    url += path;
    return url;
}

// A text as messages and the log show it: the "user:password@" of every URL in it left out,
// so that a password never reaches either.
inline std::string WithoutCredentials(std::string_view text) {
    std::string shown;
    std::size_t from = 0;
    while (true) {
        const std::size_t mark = text.find("://", from);
        if (mark == std::string_view::npos) {
            break;
        }
        const std::size_t start = mark + 3;
        const std::size_t end = std::min(text.find_first_of("/ )\"\n", start), text.size());
        const std::size_t at = text.substr(start, end - start).rfind('@');
        shown += text.substr(from, start - from);
        from = at == std::string_view::npos ? start : start + at + 1;
    }
    shown += text.substr(from);
    return shown;
}

}  // namespace zarvex::acquisition
