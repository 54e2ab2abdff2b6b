#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/api_rate_limit.h"
#include "app/cli/api_request.h"
#include "common/date.h"
#include "common/program_folder.h"

namespace zarvex::cli {

struct ApiAnswer {
    int status = 200;
    std::string content_type;  // empty without a body
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

struct ApiAnswererOptions {
    common::ProgramFolder home{"."};
    std::string token;
    std::size_t rate_limit = 20;  // requests a second per client
    // How long an answer waits for a day run to finish before it is refused (503).
    std::chrono::milliseconds day_run_wait{30000};
    // The day that counts as today; the computer's date when not given.
    std::optional<common::Date> today;
};

// The local API without the HTTP library: a request in, an answer out. An endpoint runs the
// command it names, as the command line runs it, into a string, so that the body is the
// command's stdout byte for byte. One answer is computed at a time.
class ApiAnswerer final {
public:
    explicit ApiAnswerer(ApiAnswererOptions options);

    ApiAnswer Answer(const ApiRequest& request, const std::string& client);
    // Ends the wait of an answer for a day run (it is refused), so that a stopping server
    // does not wait with it.
    void Cancel() { cancelled_ = true; }

private:
    ApiAnswer Run(const ApiDecision& decision);
    ApiAnswer Health();
    common::Date Today() const;

    ApiAnswererOptions options_;
    ApiRateLimit rate_;
    std::mutex run_mutex_;
    std::atomic<bool> cancelled_{false};
};

// An answer of problem details for a refusal.
ApiAnswer ProblemAnswer(int status, const std::string& title, const std::string& detail,
                        const std::string& parameter = {});

}  // namespace zarvex::cli
