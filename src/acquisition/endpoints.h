#pragma once

#include <string>
#include <string_view>

namespace zarvex::acquisition {

// Where things live on the report server.
inline constexpr std::string_view kReportFolderPath = "/toster/";
inline constexpr std::string_view kForwardPointFolderPath = "/fp/";
inline constexpr std::string_view kExchangeTimePath = "/1/2.php";

// The text by which the server's error pages ("not found" and the like) are told from data.
inline constexpr std::string_view kErrorPageMarker = "<!DOCTYPE HTML PUBLIC";

// The request the time hosts get: two bare line feeds and no Host line.
inline constexpr std::string_view kTimeRequest = "GET /simple/ HTTP/1.0\n\n";

inline std::string ServerUrl(std::string_view host, std::string_view path) {
    std::string url = "http://";
    url += host;
    url += path;
    return url;
}

}  // namespace zarvex::acquisition
