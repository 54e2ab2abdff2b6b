#include "app/cli/api_request.h"

#include <algorithm>
#include <cstdint>

#include "app/cli/json_writer.h"

namespace zarvex::cli {

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

const std::string* Header(const ApiRequest& request, std::string_view name) {
    for (const auto& [key, value] : request.headers) {
        if (SameLetters(key, name)) {
            return &value;
        }
    }
    return nullptr;
}

// Compares every byte whatever the first difference, so that the time taken tells nothing of
// how much of a guess was right.
bool SameSecret(std::string_view given, std::string_view secret) {
    if (secret.empty()) {
        return false;
    }
    unsigned char difference = given.size() == secret.size() ? 0 : 1;
    for (std::size_t i = 0; i < given.size(); ++i) {
        difference |= static_cast<unsigned char>(given[i] ^ secret[i % secret.size()]);
    }
    return difference == 0;
}

ApiDecision Refusal(int status, std::string title, std::string detail, std::string parameter = {}) {
    ApiDecision decision;
    decision.status = status;
    decision.title = std::move(title);
    decision.detail = std::move(detail);
    decision.parameter = std::move(parameter);
    return decision;
}

bool Listed(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A value that could pass for an option or break a line is no value of any command.
bool PlainValue(std::string_view value) {
    if (value.empty() || value.front() == '-') {
        return false;
    }
    return std::none_of(value.begin(), value.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

ApiDecision Parameters(const ApiRequest& request, const ApiRoute& route) {
    ApiDecision decision;
    decision.route = &route;
    std::vector<std::string_view> seen;
    for (const auto& [key, value] : request.query) {
        if (Listed(seen, key)) {
            return Refusal(400, "Bad Request", "parameter " + key + " given twice", key);
        }
        seen.push_back(key);
        if (Listed(route.flags, key)) {
            if (value != "0" && value != "1") {
                return Refusal(400, "Bad Request", "parameter " + key + " must be 0 or 1", key);
            }
            if (value == "1") {
                decision.words.push_back("--" + key);
            }
            continue;
        }
        if (!Listed(route.parameters, key)) {
            return Refusal(400, "Bad Request",
                           "unknown parameter " + key + " of /v1/" + std::string(route.command),
                           key);
        }
        if (!PlainValue(value)) {
            return Refusal(400, "Bad Request", "parameter " + key + " has no usable value", key);
        }
        decision.words.push_back("--" + key);
        decision.words.push_back(value);
    }
    if (request.query_has_key_without_value) {
        return Refusal(400, "Bad Request", "a query parameter has no value");
    }
    return decision;
}

}  // namespace

std::size_t HeaderBytes(const ApiRequest& request) {
    std::size_t bytes =
        request.method.size() + 1 + request.path.size() + 1 + request.version.size() + 2;
    for (const auto& [key, value] : request.query) {
        bytes += key.size() + value.size() + 2;  // "?"/"&" and "="
    }
    for (const auto& [key, value] : request.headers) {
        bytes += key.size() + 2 + value.size() + 2;
    }
    return bytes + 2;
}

ApiDecision DecideApiRequest(const ApiRequest& request, std::string_view token) {
    if (HeaderBytes(request) > kApiMaxHeaderBytes) {
        return Refusal(
            431, "Request Header Fields Too Large",
            "the request line and headers exceed " + std::to_string(kApiMaxHeaderBytes) + " bytes");
    }
    if (Header(request, "Origin") != nullptr) {
        return Refusal(403, "Forbidden",
                       "requests from web pages (with an Origin header) are not answered",
                       "Origin");
    }
    if (request.method != "GET" && request.method != "HEAD") {
        return Refusal(405, "Method Not Allowed",
                       "only GET and HEAD are answered, not " + request.method);
    }
    if (request.path == kApiHealthPath) {
        ApiDecision decision;
        decision.health = true;
        if (!request.query.empty() || request.query_has_key_without_value) {
            return Refusal(400, "Bad Request", "/v1/health takes no parameters",
                           request.query.empty() ? "" : request.query.front().first);
        }
        return decision;
    }
    const std::string* authorization = Header(request, "Authorization");
    constexpr std::string_view kBearer = "Bearer ";
    if (authorization == nullptr) {
        return Refusal(401, "Unauthorized", "the Authorization header is missing", "Authorization");
    }
    const std::string_view given(*authorization);
    if (given.size() <= kBearer.size() || !SameLetters(given.substr(0, kBearer.size()), kBearer) ||
        !SameSecret(given.substr(kBearer.size()), token)) {
        return Refusal(401, "Unauthorized", "the bearer token is wrong", "Authorization");
    }
    const ApiRoute* route = FindApiRoute(request.path);
    if (route == nullptr) {
        return Refusal(404, "Not Found", "no endpoint " + request.path);
    }
    return Parameters(request, *route);
}

std::string ProblemJson(int status, std::string_view title, std::string_view detail,
                        std::string_view parameter) {
    JsonWriter json;
    json.BeginObject();
    json.Key("type").String("about:blank");
    json.Key("title").String(title);
    json.Key("status").Int(status);
    json.Key("detail").String(detail);
    if (!parameter.empty()) {
        json.Key("parameter").String(parameter);
    }
    json.EndObject();
    return json.Text() + '\n';
}

std::string EntityTag(std::string_view body) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : body) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string tag = "\"";
    for (int shift = 60; shift >= 0; shift -= 4) {
        tag += kHex[(hash >> shift) & 15];
    }
    return tag + '"';
}

bool IfNoneMatchHits(std::string_view header, std::string_view tag) {
    std::size_t start = 0;
    while (start <= header.size()) {
        std::size_t end = header.find(',', start);
        if (end == std::string_view::npos) {
            end = header.size();
        }
        std::string_view item = header.substr(start, end - start);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
            item.remove_prefix(1);
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.remove_suffix(1);
        }
        if (item.substr(0, 2) == "W/") {
            item.remove_prefix(2);
        }
        if (item == "*" || item == tag) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace zarvex::cli
