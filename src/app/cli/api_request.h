#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cli/api_routes.h"

namespace zarvex::cli {

// A request as the HTTP library hands it over: the path and query already decoded.
struct ApiRequest {
    std::string method;
    std::string path;
    std::string version;
    std::vector<std::pair<std::string, std::string>> query;
    std::vector<std::pair<std::string, std::string>> headers;  // names as sent
    bool query_has_key_without_value = false;
};

// The request line and headers may take this much; more is refused with 431.
inline constexpr std::size_t kApiMaxHeaderBytes = 8 * 1024;

// What to answer a request before anything is read: a refusal (status, the problem's detail,
// the parameter it names) or the words of the command to run. The token is the server's.
struct ApiDecision {
    int status = 200;
    std::string title;
    std::string detail;
    std::string parameter;  // the query parameter or header at fault, when one is
    bool health = false;
    const ApiRoute* route = nullptr;
    std::vector<std::string> words;  // the command's options, e.g. {"--symbol", "EUR"}
};

// The size of the request line and headers as they came on the wire.
std::size_t HeaderBytes(const ApiRequest& request);

// Checks a request in this order: size (431), an Origin header (403), the method (405),
// /v1/health (answered without a token), the token (401), the path (404), the parameters
// (400). The token is compared in constant time.
ApiDecision DecideApiRequest(const ApiRequest& request, std::string_view token);

// The body of an error: RFC 9457 problem details, one line.
std::string ProblemJson(int status, std::string_view title, std::string_view detail,
                        std::string_view parameter);

// The ETag of a body: a quoted 64-bit FNV-1a hash in hex.
std::string EntityTag(std::string_view body);

// True when an If-None-Match header's list names the tag (or is "*"); weak tags count too.
bool IfNoneMatchHits(std::string_view header, std::string_view tag);

}  // namespace zarvex::cli
