// The local API's checks of a request, on a request split from the input: the first line is
// the method, the second the path, then "key=value" query lines up to an empty line, then
// "Name: value" header lines.
// - Every request gets a decision without a crash or an exception; a refusal has a status of
//   400 to 431 and a detail, and its problem details are one line of JSON ending in a newline.
// - An accepted request carries the right token, no Origin header, GET or HEAD, a known path,
//   and words that alternate "--option" and a value not starting with '-', so that no query
//   can pass for another option of the command (--home, --png ...).
// - The ETag of any body is 18 characters and matches itself in If-None-Match.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/cli/api_request.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace cli = zarvex::cli;

const std::string kToken(64, 'f');

std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = zarvex::fuzz::AsText(data, size);
    cli::ApiRequest request;
    request.method = NextLine(text);
    request.path = NextLine(text);
    request.version = "HTTP/1.1";
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        if (line.empty()) {
            break;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            request.query_has_key_without_value = true;
        } else {
            request.query.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        const std::size_t colon = line.find(": ");
        if (colon != std::string_view::npos) {
            std::string value(line.substr(colon + 2));
            if (value == "TOKEN") {
                value = "Bearer " + kToken;
            }
            request.headers.emplace_back(line.substr(0, colon), value);
        }
    }

    const cli::ApiDecision decision = cli::DecideApiRequest(request, kToken);
    if (decision.status != 200) {
        FUZZ_CHECK(decision.status >= 400 && decision.status <= 431);
        FUZZ_CHECK(!decision.detail.empty());
        const std::string problem =
            cli::ProblemJson(decision.status, decision.title, decision.detail, decision.parameter);
        FUZZ_CHECK(problem.find('\n') == problem.size() - 1);
        FUZZ_CHECK(problem.rfind("{\"type\": \"about:blank\"", 0) == 0);
    } else {
        FUZZ_CHECK(request.method == "GET" || request.method == "HEAD");
        for (const auto& [name, value] : request.headers) {
            FUZZ_CHECK(name != "Origin");
        }
        if (!decision.health) {
            FUZZ_CHECK(decision.route != nullptr);
            FUZZ_CHECK(cli::FindApiRoute(request.path) == decision.route);
            for (std::size_t i = 0; i < decision.words.size(); ++i) {
                const std::string& word = decision.words[i];
                FUZZ_CHECK(!word.empty());
                if (word.rfind("--", 0) == 0) {
                    continue;
                }
                FUZZ_CHECK(i > 0 && decision.words[i - 1].rfind("--", 0) == 0);
                FUZZ_CHECK(word.front() != '-');
            }
        }
    }
    const std::string tag = cli::EntityTag(text);
    FUZZ_CHECK(tag.size() == 18);
    FUZZ_CHECK(cli::IfNoneMatchHits(tag, tag));
    FUZZ_CHECK(cli::IfNoneMatchHits("W/" + tag + ", \"x\"", tag));
    return 0;
}
