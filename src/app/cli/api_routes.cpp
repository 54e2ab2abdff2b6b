#include "app/cli/api_routes.h"

namespace zarvex::cli {

const std::vector<ApiRoute>& ApiRoutes() {
    // Only the options that choose what is read: none that writes a file (--png), changes the
    // form of the answer away from JSON (--csv) or runs a condition of the caller's (--level-cond).
    static const std::vector<ApiRoute> routes{
        {"indicators", {"symbol", "date", "contract"}, {}},
        {"board", {"date", "symbol", "top", "floor"}, {}},
        {"oi-map", {"symbol", "date", "change"}, {}},
        {"vol",
         {"symbol", "date", "contract", "from", "to"},
         {"term", "density", "history", "cone"}},
        {"history", {"symbol", "contract", "from", "to"}, {}},
        {"alerts", {"date"}, {}},
        {"levels", {"symbol", "date"}, {}},
        {"exposure", {"symbol", "date", "contract", "sign"}, {"all"}},
        {"scorecard", {"symbol", "from", "to", "contracts"}, {}},
    };
    return routes;
}

const ApiRoute* FindApiRoute(std::string_view path) {
    constexpr std::string_view kPrefix = "/v1/";
    if (path.substr(0, kPrefix.size()) != kPrefix) {
        return nullptr;
    }
    const std::string_view name = path.substr(kPrefix.size());
    for (const ApiRoute& route : ApiRoutes()) {
        if (route.command == name) {
            return &route;
        }
    }
    return nullptr;
}

}  // namespace zarvex::cli
