#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/api_server.h"
#include "app/cli/cli.h"
#include "long_history_data.h"
#include "support/cli_runner.h"

namespace {

using namespace zarvex;

const std::string kToken(64, 'c');

const std::vector<std::string>& CommandLine() {
    static const std::vector<std::string> words{
        "--home", SixSymbolHome().Root().string(), "--today", "20121210", "indicators", "--symbol",
        "EUR"};
    return words;
}

// The left panel as the command computes it, in-process: what the API's answer costs at least.
void BM_Indicators_Command(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = test::RunCli(CommandLine()).out.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Indicators_Command)->Unit(benchmark::kMillisecond);

size_t Keep(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// The server over the 250 days and one real client of it (libcurl), which keeps its
// connection alive between requests unless told to open one for each.
class ApiClient {
public:
    explicit ApiClient(bool new_connection_each_time) : server_(Options()) {
        std::string error;
        if (!server_.Start(error)) {
            error_ = error;
            return;
        }
        curl_global_init(CURL_GLOBAL_DEFAULT);
        curl_ = curl_easy_init();
        headers_ = curl_slist_append(nullptr, ("Authorization: Bearer " + kToken).c_str());
        url_ = "http://127.0.0.1:" + std::to_string(server_.Port()) + "/v1/indicators?symbol=EUR";
        curl_easy_setopt(curl_, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &Keep);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &body_);
        curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, new_connection_each_time ? 1L : 0L);
    }
    ~ApiClient() {
        curl_slist_free_all(headers_);
        if (curl_ != nullptr) {
            curl_easy_cleanup(curl_);
        }
    }
    ApiClient(const ApiClient&) = delete;
    ApiClient& operator=(const ApiClient&) = delete;

    const std::string& Error() const { return error_; }

    // The body of one answer; empty when the request failed or was refused.
    const std::string& Get() {
        body_.clear();
        long status = 0;
        if (curl_easy_perform(curl_) != CURLE_OK ||
            curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK ||
            status != 200) {
            body_.clear();
        }
        return body_;
    }
    // How many connections the last request opened (0: it went over the kept one).
    long Connects() const {
        long connects = 0;
        curl_easy_getinfo(curl_, CURLINFO_NUM_CONNECTS, &connects);
        return connects;
    }

private:
    static cli::ApiServerOptions Options() {
        cli::ApiServerOptions options;
        options.answerer.home = SixSymbolHome();
        options.answerer.token = kToken;
        options.answerer.today = common::MakeDate(2012, 12, 10);
        options.answerer.rate_limit = 1'000'000;
        options.addresses = {"127.0.0.1"};
        options.port = 0;
        return options;
    }

    cli::ApiServer server_;
    std::string error_;
    CURL* curl_ = nullptr;
    curl_slist* headers_ = nullptr;
    std::string url_;
    std::string body_;
};

// The same through /v1/indicators: a real client on one kept-alive connection, so that the
// difference to the command is the server's part (parsing, checks, the answer's trip).
void BM_Indicators_Api(benchmark::State& state) {
    ApiClient client(false);
    if (!client.Error().empty()) {
        state.SkipWithError(client.Error().c_str());
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = client.Get().size();
        if (bytes == 0) {
            state.SkipWithError("the request failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Indicators_Api)->Unit(benchmark::kMillisecond);

double Milliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Pages the process touched for the first time (or again after handing them back).
double MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt);
}

// The fastest iteration: the one the rest of the machine disturbed least.
double Least(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The command and the request one after the other in every iteration, so that whatever else
// the machine does weighs on both alike; the counters are the medians of the iterations, the
// difference taken within each. The CPU time is the whole process's: with the request it
// holds the server's threads too. Argument 1: a new connection for every request, as a client
// that runs curl once per question pays.
void BM_Indicators_ApiBesideCommand(benchmark::State& state) {
    ApiClient client(state.range(0) == 1);
    if (!client.Error().empty()) {
        state.SkipWithError(client.Error().c_str());
        return;
    }
    std::vector<double> command_ms;
    std::vector<double> api_ms;
    std::vector<double> over_ms;
    std::vector<double> command_cpu_ms;
    std::vector<double> api_cpu_ms;
    std::vector<double> command_faults;
    std::vector<double> api_faults;
    long connects = 0;
    for (auto _ : state) {
        const double wall_0 = Milliseconds(CLOCK_MONOTONIC);
        const double cpu_0 = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
        const double faults_0 = MinorFaults();
        const std::string expected = test::RunCli(CommandLine()).out;
        const double wall_1 = Milliseconds(CLOCK_MONOTONIC);
        const double cpu_1 = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
        const double faults_1 = MinorFaults();
        const bool same = client.Get() == expected;
        const double wall_2 = Milliseconds(CLOCK_MONOTONIC);
        const double cpu_2 = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
        const double faults_2 = MinorFaults();
        if (!same) {
            state.SkipWithError("the answer is not the command's stdout");
            break;
        }
        connects += client.Connects();
        command_ms.push_back(wall_1 - wall_0);
        api_ms.push_back(wall_2 - wall_1);
        over_ms.push_back((wall_2 - wall_1) - (wall_1 - wall_0));
        command_cpu_ms.push_back(cpu_1 - cpu_0);
        api_cpu_ms.push_back(cpu_2 - cpu_1);
        command_faults.push_back(faults_1 - faults_0);
        api_faults.push_back(faults_2 - faults_1);
        state.SetIterationTime((wall_2 - wall_1) / 1e3);
    }
    state.counters["command_min_ms"] = Least(command_ms);
    state.counters["api_min_ms"] = Least(api_ms);
    state.counters["command_ms"] = Median(command_ms);
    state.counters["api_ms"] = Median(api_ms);
    state.counters["over_ms"] = Median(over_ms);
    state.counters["command_cpu_ms"] = Median(command_cpu_ms);
    state.counters["api_cpu_ms"] = Median(api_cpu_ms);
    state.counters["command_faults"] = Median(command_faults);
    state.counters["api_faults"] = Median(api_faults);
    state.counters["connects"] = static_cast<double>(connects);
}
BENCHMARK(BM_Indicators_ApiBesideCommand)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// 200 requests in a row after 20 that fill what stays (the server's threads and their heaps):
// the resident memory before and after them.
void BM_Indicators_TwoHundredRequests(benchmark::State& state) {
    ApiClient client(false);
    if (!client.Error().empty()) {
        state.SkipWithError(client.Error().c_str());
        return;
    }
    for (auto _ : state) {
        for (int i = 0; i < 20; ++i) {
            benchmark::DoNotOptimize(client.Get().size());
        }
        const long before = ResidentKb();
        const auto start = std::chrono::steady_clock::now();
        std::size_t answered = 0;
        for (int i = 0; i < 200; ++i) {
            answered += client.Get().empty() ? 0 : 1;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const long after = ResidentKb();
        state.SetIterationTime(took.count());
        state.counters["answered"] = static_cast<double>(answered);
        state.counters["rss_before_kb"] = static_cast<double>(before);
        state.counters["rss_after_kb"] = static_cast<double>(after);
    }
}
BENCHMARK(BM_Indicators_TwoHundredRequests)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
