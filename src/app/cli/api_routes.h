#pragma once

#include <string_view>
#include <vector>

namespace zarvex::cli {

// An endpoint /v1/<command> of the local API: the command it runs and which of the command's
// options a request may give as query parameters. A command joins the API by one entry here.
struct ApiRoute {
    std::string_view command;
    // Options with a value: ?symbol=EUR is --symbol EUR.
    std::vector<std::string_view> parameters;
    // Options without one: ?term=1 gives --term, ?term=0 leaves it out.
    std::vector<std::string_view> flags;
};

// Every endpoint that runs a command; /v1/health is the server's own.
const std::vector<ApiRoute>& ApiRoutes();

// The route of a path ("/v1/board"), or nullptr.
const ApiRoute* FindApiRoute(std::string_view path);

inline constexpr std::string_view kApiHealthPath = "/v1/health";

}  // namespace zarvex::cli
