#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <memory>
#include <string>

#include "app/cli/api_server.h"
#include "app/cli/cli.h"
#include "long_history_data.h"
#include "support/cli_runner.h"

namespace {

using namespace zarvex;

const std::string kToken(64, 'c');

// The left panel as the command computes it, in-process: what the API's answer costs at least.
void BM_Indicators_Command(benchmark::State& state) {
    const std::string home = SixSymbolHome().Root().string();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes =
            test::RunCli({"--home", home, "--today", "20121210", "indicators", "--symbol", "EUR"})
                .out.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Indicators_Command)->Unit(benchmark::kMillisecond);

size_t Count(char*, size_t size, size_t count, void* total) {
    *static_cast<std::size_t*>(total) += size * count;
    return size * count;
}

// The same through /v1/indicators: a real client on one kept-alive connection, so that the
// difference to the command is the server's part (parsing, checks, the answer's trip).
void BM_Indicators_Api(benchmark::State& state) {
    cli::ApiServerOptions options;
    options.answerer.home = SixSymbolHome();
    options.answerer.token = kToken;
    options.answerer.today = common::MakeDate(2012, 12, 10);
    options.answerer.rate_limit = 1'000'000;
    options.addresses = {"127.0.0.1"};
    options.port = 0;
    cli::ApiServer server(options);
    std::string error;
    if (!server.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   &curl_easy_cleanup);
    const std::string url =
        "http://127.0.0.1:" + std::to_string(server.Port()) + "/v1/indicators?symbol=EUR";
    curl_slist* headers = curl_slist_append(nullptr, ("Authorization: Bearer " + kToken).c_str());
    std::size_t bytes = 0;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &Count);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &bytes);
    for (auto _ : state) {
        bytes = 0;
        if (curl_easy_perform(curl.get()) != CURLE_OK) {
            state.SkipWithError("the request failed");
            break;
        }
    }
    curl_slist_free_all(headers);
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Indicators_Api)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
