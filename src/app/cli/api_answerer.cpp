#include "app/cli/api_answerer.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "analytics/board/symbol_rows.h"
#include "app/cli/api_folder_hold.h"
#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "app/cli/json_writer.h"
#include "common/symbols.h"
#include "common/system_clock.h"
#include "storage/database.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

const std::string* FindHeader(const ApiRequest& request, const std::string& name) {
    for (const auto& [key, value] : request.headers) {
        if (key.size() == name.size() &&
            std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return &value;
        }
    }
    return nullptr;
}

// What the command wrote on stderr, as one sentence: its first line without the program name.
std::string FirstLine(const std::string& err) {
    std::string line = err.substr(0, err.find('\n'));
    constexpr std::string_view kPrefix = "zarvex-cli: ";
    if (line.rfind(kPrefix, 0) == 0) {
        line.erase(0, kPrefix.size());
    }
    return line.empty() ? "the command failed" : line;
}

// The option a usage message names ("--symbol ..."), as the parameter.
std::string NamedParameter(const std::string& message) {
    const std::size_t at = message.find("--");
    if (at == std::string::npos) {
        return {};
    }
    std::size_t end = at + 2;
    while (end < message.size() &&
           (std::isalnum(static_cast<unsigned char>(message[end])) || message[end] == '-')) {
        ++end;
    }
    return message.substr(at + 2, end - at - 2);
}

}  // namespace

ApiAnswer ProblemAnswer(int status, const std::string& title, const std::string& detail,
                        const std::string& parameter) {
    ApiAnswer answer;
    answer.status = status;
    answer.content_type = "application/problem+json";
    answer.body = ProblemJson(status, title, detail, parameter);
    return answer;
}

ApiAnswerer::ApiAnswerer(ApiAnswererOptions options)
    : options_(std::move(options)), rate_(options_.rate_limit) {}

common::Date ApiAnswerer::Today() const {
    return options_.today ? *options_.today : common::DayStart(common::SystemClock().Now());
}

ApiAnswer ApiAnswerer::Answer(const ApiRequest& request, const std::string& client) {
    if (!rate_.Admit(client)) {
        ApiAnswer answer = ProblemAnswer(429, "Too Many Requests",
                                         "more than " + std::to_string(options_.rate_limit) +
                                             " requests in a second from " + client);
        answer.headers.emplace_back("Retry-After", "1");
        return answer;
    }
    const ApiDecision decision = DecideApiRequest(request, options_.token);
    if (decision.status != 200) {
        ApiAnswer answer =
            ProblemAnswer(decision.status, decision.title, decision.detail, decision.parameter);
        if (decision.status == 405) {
            answer.headers.emplace_back("Allow", "GET, HEAD");
        } else if (decision.status == 401) {
            answer.headers.emplace_back("WWW-Authenticate", "Bearer");
        }
        return answer;
    }
    ApiAnswer answer;
    {
        const std::lock_guard lock(run_mutex_);
        const ApiFolderHold hold(options_.home.Db(), options_.day_run_wait, cancelled_);
        if (!hold.Admitted()) {
            answer = ProblemAnswer(503, "Service Unavailable",
                                   "a day run is working on " + options_.home.Db().string());
            answer.headers.emplace_back("Retry-After", "5");
            return answer;
        }
        answer = decision.health ? Health() : Run(decision);
    }
    if (answer.status != 200) {
        return answer;
    }
    const std::string tag = EntityTag(answer.body);
    answer.headers.emplace_back("ETag", tag);
    answer.headers.emplace_back("Cache-Control", "no-cache");
    const std::string* match = FindHeader(request, "If-None-Match");
    if (match != nullptr && IfNoneMatchHits(*match, tag)) {
        answer.status = 304;
        answer.body.clear();
        answer.content_type.clear();
    }
    return answer;
}

ApiAnswer ApiAnswerer::Run(const ApiDecision& decision) {
    const std::string command(decision.route->command);
    const auto handler = Commands().find(command);
    if (handler == Commands().end()) {
        return ProblemAnswer(500, "Internal Server Error", "no command " + command);
    }
    std::ostringstream out;
    std::ostringstream err;
    Context ctx;
    ctx.home = options_.home;
    ctx.home_given = true;
    ctx.today = Today();
    ctx.out = &out;
    ctx.err = &err;
    int status = kExitFailed;
    try {
        status = handler->second(ctx, decision.words);
    } catch (const UsageError& e) {
        return ProblemAnswer(400, "Bad Request", e.what(), NamedParameter(e.what()));
    } catch (const std::exception& e) {
        return ProblemAnswer(500, "Internal Server Error", e.what());
    }
    // `alerts` says with 3 that some rule fired: an answer like any other.
    if (status != kExitDone && !(command == "alerts" && status == 3)) {
        return ProblemAnswer(status == kExitUsage ? 400 : 500,
                             status == kExitUsage ? "Bad Request" : "Internal Server Error",
                             FirstLine(err.str()));
    }
    ApiAnswer answer;
    answer.content_type = "application/json";
    answer.body = out.str();
    return answer;
}

ApiAnswer ApiAnswerer::Health() {
    const common::Date today = Today();
    JsonWriter json;
    json.BeginObject();
    json.Key("symbols").BeginArray();
    for (const std::string_view symbol : common::kSymbols) {
        const storage::Database db = storage::Database::OpenReadOnlyForScan(
            storage::QuotePath(options_.home, std::string(symbol)));
        analytics::SymbolRows rows;
        const common::Date latest =
            db.IsOpen() && rows.Scan(db) ? rows.LatestUpTo(today) : common::kInvalidDate;
        json.BeginObject();
        json.Key("symbol").String(symbol);
        json.Key("latest_day");
        if (latest == common::kInvalidDate) {
            json.Null();
        } else {
            json.String(common::DayText(latest));
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    ApiAnswer answer;
    answer.content_type = "application/json";
    answer.body = json.Text() + '\n';
    return answer;
}

}  // namespace zarvex::cli
