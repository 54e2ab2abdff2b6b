#include "app/cli/api_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iostream>
#include <thread>

#include "api/api_client.h"
#include "api/generated_folder.h"
#include "app/cli/api_token.h"
#include "storage/folder_lock.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

using namespace std::chrono_literals;

const std::string kToken(64, 'a');

std::filesystem::path Cli() {
    return test::BinaryDir() / "src" / "app" / "cli" / "zarvex-cli";
}

// A server on a port of the system's choice over one generated folder for the whole suite.
class ApiServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = new test::TempProgramFolder();
        test::FillFolder(home_->Path(), true);
    }
    static void TearDownTestSuite() {
        delete home_;
        home_ = nullptr;
    }

    static ApiServerOptions Options() {
        ApiServerOptions options;
        options.answerer.home = home_->Folder();
        options.answerer.token = kToken;
        options.addresses = {"127.0.0.1"};
        options.port = 0;
        return options;
    }

    void Serve(ApiServerOptions options = Options()) {
        server_ = std::make_unique<ApiServer>(options);
        std::string error;
        ASSERT_TRUE(server_->Start(error)) << error;
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(server_->Port()) + path;
    }

    test::HttpReply Get(const std::string& path, std::vector<std::string> headers = {}) const {
        headers.push_back("Authorization: Bearer " + kToken);
        return test::Fetch({Url(path), "GET", headers, ""});
    }

    static test::CliOutcome Command(std::vector<std::string> words) {
        words.insert(words.begin(), {"--home", home_->Path().string()});
        return test::RunCli(words);
    }

    static test::TempProgramFolder* home_;
    std::unique_ptr<ApiServer> server_;
};

test::TempProgramFolder* ApiServerTest::home_ = nullptr;

struct EndpointCase {
    const char* name;
    std::string path;
    std::vector<std::string> command;
};

class EndpointTest : public ApiServerTest, public ::testing::WithParamInterface<EndpointCase> {};

TEST_P(EndpointTest, AnswersTheBytesOfTheCommandsStdout) {
    Serve();
    const test::CliOutcome expected = Command(GetParam().command);
    ASSERT_TRUE(expected.status == 0 || expected.status == 3) << expected.err;
    const test::HttpReply reply = Get(GetParam().path);
    ASSERT_EQ(reply.code, CURLE_OK);
    EXPECT_EQ(reply.status, 200) << reply.body;
    EXPECT_EQ(reply.body, expected.out);
    EXPECT_EQ(reply.Header("Content-Type"), "application/json");
    const std::string tag = reply.Header("ETag");
    EXPECT_EQ(tag.size(), 18u) << tag;

    // HEAD: the same headers, no body; If-None-Match with the tag: 304.
    const test::HttpReply head =
        test::Fetch({Url(GetParam().path), "HEAD", {"Authorization: Bearer " + kToken}, ""});
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.body, "");
    EXPECT_EQ(head.Header("ETag"), tag);
    EXPECT_EQ(head.Header("Content-Length"), std::to_string(expected.out.size()));
    const test::HttpReply same = Get(GetParam().path, {"If-None-Match: W/\"x\", " + tag});
    EXPECT_EQ(same.status, 304);
    EXPECT_EQ(same.body, "");
    EXPECT_EQ(Get(GetParam().path, {"If-None-Match: \"0000000000000000\""}).status, 200);
}

INSTANTIATE_TEST_SUITE_P(
    Endpoints, EndpointTest,
    ::testing::Values(
        EndpointCase{"Indicators", "/v1/indicators?symbol=EUR", {"indicators", "--symbol", "EUR"}},
        EndpointCase{"IndicatorsOfADay",
                     "/v1/indicators?symbol=GBP&date=06.12.2012",
                     {"indicators", "--symbol", "GBP", "--date", "06.12.2012"}},
        EndpointCase{"Board", "/v1/board?date=07.12.2012", {"board", "--date", "07.12.2012"}},
        EndpointCase{"BoardOfTheLatestDay", "/v1/board", {"board"}},
        EndpointCase{"OiMap",
                     "/v1/oi-map?symbol=CHF&change=1",
                     {"oi-map", "--symbol", "CHF", "--change", "1"}},
        EndpointCase{"VolTerm",
                     "/v1/vol?symbol=EUR&date=07.12.2012&term=1",
                     {"vol", "--symbol", "EUR", "--date", "07.12.2012", "--term"}},
        EndpointCase{"Alerts", "/v1/alerts", {"alerts"}},
        EndpointCase{"Levels", "/v1/levels?symbol=JPY", {"levels", "--symbol", "JPY"}},
        EndpointCase{"VolHistory",
                     "/v1/vol?symbol=EUR&history=1&from=04.12.2012",
                     {"vol", "--symbol", "EUR", "--history", "--from", "04.12.2012"}},
        EndpointCase{"VolCone", "/v1/vol?cone=1&symbol=GBP", {"vol", "--symbol", "GBP", "--cone"}},
        EndpointCase{"Exposure", "/v1/exposure?symbol=EUR", {"exposure", "--symbol", "EUR"}},
        EndpointCase{"ExposureOfAll",
                     "/v1/exposure?symbol=JPY&all=1&sign=dealer-short-calls&date=06.12.2012",
                     {"exposure", "--symbol", "JPY", "--all", "--sign", "dealer-short-calls",
                      "--date", "06.12.2012"}},
        EndpointCase{"Scorecard",
                     "/v1/scorecard?symbol=CHF&contracts=all",
                     {"scorecard", "--symbol", "CHF", "--contracts", "all"}},
        EndpointCase{"ScorecardOfEverySymbol", "/v1/scorecard", {"scorecard"}}),
    [](const ::testing::TestParamInfo<EndpointCase>& param_info) {
        return std::string(param_info.param.name);
    });

// The contract-specific endpoints take a contract the folder has: the one indicators picks.
TEST_F(ApiServerTest, VolAndHistoryOfAContractAnswerTheCommandsBytes) {
    Serve();
    const std::string panel = Command({"indicators", "--symbol", "EUR"}).out;
    const std::string key = "\"contract\": \"";
    const std::size_t at = panel.find(key);
    ASSERT_NE(at, std::string::npos);
    const std::string contract =
        panel.substr(at + key.size(), panel.find('"', at + key.size()) - at - key.size());
    EXPECT_EQ(
        Get("/v1/vol?symbol=EUR&date=07.12.2012&contract=" + contract).body,
        Command({"vol", "--symbol", "EUR", "--date", "07.12.2012", "--contract", contract}).out);
    const test::HttpReply history = Get("/v1/history?symbol=EUR&contract=" + contract);
    EXPECT_EQ(history.status, 200);
    EXPECT_EQ(history.body, Command({"history", "--symbol", "EUR", "--contract", contract}).out);
    const test::HttpReply density = Get("/v1/vol?symbol=EUR&density=1&contract=" + contract);
    EXPECT_EQ(density.status, 200);
    EXPECT_EQ(density.body,
              Command({"vol", "--symbol", "EUR", "--contract", contract, "--density"}).out);
    const test::HttpReply exposure = Get("/v1/exposure?symbol=EUR&contract=" + contract);
    EXPECT_EQ(exposure.status, 200);
    EXPECT_EQ(exposure.body, Command({"exposure", "--symbol", "EUR", "--contract", contract}).out);
}

struct RefusalCase {
    const char* name;
    std::string method;
    std::string path;
    std::vector<std::string> headers;
    long status;
    std::string detail;  // a part of the problem's detail
};

class RefusalTest : public ApiServerTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, AnswersProblemDetailsNamingWhatIsWrong) {
    Serve();
    const RefusalCase& c = GetParam();
    const test::HttpReply reply = test::Fetch({Url(c.path), c.method, c.headers, "x=1"});
    ASSERT_EQ(reply.code, CURLE_OK);
    EXPECT_EQ(reply.status, c.status) << reply.body;
    EXPECT_EQ(reply.Header("Content-Type"), "application/problem+json");
    EXPECT_EQ(reply.body.rfind("{\"type\": \"about:blank\", \"title\": ", 0), 0u) << reply.body;
    EXPECT_NE(reply.body.find("\"status\": " + std::to_string(c.status)), std::string::npos);
    EXPECT_NE(reply.body.find(c.detail), std::string::npos) << reply.body;
}

const std::string kBearer = "Authorization: Bearer " + kToken;

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalTest,
    ::testing::Values(
        RefusalCase{"NoToken", "GET", "/v1/board", {}, 401, "Authorization header is missing"},
        RefusalCase{"WrongToken",
                    "GET",
                    "/v1/board",
                    {"Authorization: Bearer " + std::string(64, 'b')},
                    401,
                    "token is wrong"},
        RefusalCase{"ShortToken", "GET", "/v1/board", {"Authorization: Bearer a"}, 401, "wrong"},
        RefusalCase{
            "NotBearer", "GET", "/v1/board", {"Authorization: Basic " + kToken}, 401, "wrong"},
        RefusalCase{"Origin",
                    "GET",
                    "/v1/board",
                    {kBearer, "Origin: https://example.org"},
                    403,
                    "Origin header"},
        RefusalCase{"OriginEvenOnHealth", "GET", "/v1/health", {"Origin: null"}, 403, "Origin"},
        RefusalCase{"Post", "POST", "/v1/board", {kBearer}, 405, "not POST"},
        RefusalCase{"Delete", "DELETE", "/v1/board", {kBearer}, 405, "not DELETE"},
        RefusalCase{"LongHeader",
                    "GET",
                    "/v1/board",
                    {kBearer, "X-Filler: " + std::string(8200, 'x')},
                    431,
                    "exceed 8192 bytes"},
        RefusalCase{"UnknownPath", "GET", "/v1/process-day", {kBearer}, 404, "no endpoint"},
        RefusalCase{"UnknownVersion", "GET", "/v2/board", {kBearer}, 404, "/v2/board"},
        RefusalCase{"UnknownParameter",
                    "GET",
                    "/v1/board?colour=red",
                    {kBearer},
                    400,
                    "unknown parameter colour"},
        RefusalCase{"NotAnApiOption",
                    "GET",
                    "/v1/indicators?symbol=EUR&level-cond=1",
                    {kBearer},
                    400,
                    "level-cond"},
        RefusalCase{"RepeatedParameter",
                    "GET",
                    "/v1/board?date=07.12.2012&date=06.12.2012",
                    {kBearer},
                    400,
                    "date given twice"},
        RefusalCase{"OptionAsValue",
                    "GET",
                    "/v1/indicators?symbol=--home",
                    {kBearer},
                    400,
                    "parameter symbol"},
        RefusalCase{"BadDate", "GET", "/v1/board?date=32.12.2012", {kBearer}, 400, "--date"},
        RefusalCase{"BadSymbol", "GET", "/v1/oi-map?symbol=XAU", {kBearer}, 400, "XAU"},
        RefusalCase{"MissingSymbol", "GET", "/v1/indicators", {kBearer}, 400, "--symbol"},
        RefusalCase{
            "BadFlag", "GET", "/v1/vol?symbol=EUR&term=yes", {kBearer}, 400, "term must be 0 or 1"},
        RefusalCase{"ParameterOfHealth", "GET", "/v1/health?x=1", {}, 400, "no parameters"},
        RefusalCase{"HistoryWithADay",
                    "GET",
                    "/v1/vol?symbol=EUR&history=1&date=07.12.2012",
                    {kBearer},
                    400,
                    "--history takes --from and --to"},
        RefusalCase{"DensityOfTheTerm",
                    "GET",
                    "/v1/vol?symbol=EUR&term=1&density=1",
                    {kBearer},
                    400,
                    "--density is of one contract"},
        RefusalCase{"ExposureAsCsv",
                    "GET",
                    "/v1/exposure?symbol=EUR&csv=1",
                    {kBearer},
                    400,
                    "unknown parameter csv"},
        RefusalCase{
            "BadSign", "GET", "/v1/exposure?symbol=EUR&sign=up", {kBearer}, 400, "dealer-long"},
        RefusalCase{"BadContracts",
                    "GET",
                    "/v1/scorecard?contracts=some",
                    {kBearer},
                    400,
                    "--contracts takes front or all"}),
    [](const ::testing::TestParamInfo<RefusalCase>& param_info) {
        return std::string(param_info.param.name);
    });

// A client that keeps its connection sends request after request over it, answers and
// refusals alike: a connection per request costs a new connect and accept each time.
TEST_F(ApiServerTest, OneConnectionCarriesRequestAfterRequest) {
    Serve();
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   &curl_easy_cleanup);
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(nullptr, kBearer.c_str()), &curl_slist_free_all);
    std::string received;
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, 20000L);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(
        curl.get(), CURLOPT_WRITEFUNCTION,
        +[](char*, size_t size, size_t n, void*) { return size * n; });
    curl_easy_setopt(
        curl.get(), CURLOPT_HEADERFUNCTION, +[](char* data, size_t size, size_t n, void* target) {
            static_cast<std::string*>(target)->append(data, size * n);
            return size * n;
        });
    curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &received);
    const std::vector<std::pair<std::string, long>> requests{{"/v1/indicators?symbol=EUR", 200},
                                                             {"/v1/nothing", 404},
                                                             {"/v1/board?colour=red", 400},
                                                             {"/v1/health", 200}};
    for (std::size_t i = 0; i < requests.size(); ++i) {
        received.clear();
        const std::string url = Url(requests[i].first);
        curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
        ASSERT_EQ(curl_easy_perform(curl.get()), CURLE_OK);
        long status = 0;
        long connects = 0;
        curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(curl.get(), CURLINFO_NUM_CONNECTS, &connects);
        EXPECT_EQ(status, requests[i].second) << requests[i].first;
        EXPECT_EQ(connects, i == 0 ? 1 : 0) << requests[i].first;
        EXPECT_EQ(received.find("Connection: close"), std::string::npos) << received;
    }
}

TEST_F(ApiServerTest, AHugeHeaderIsRefusedByTheLibraryItself) {
    Serve();
    const test::HttpReply reply =
        test::Fetch(Url("/v1/board"), {kBearer, "X-Filler: " + std::string(40000, 'x')});
    EXPECT_EQ(reply.status, 431);
}

TEST_F(ApiServerTest, HealthNeedsNoTokenAndNamesTheLatestDayOfEachSymbol) {
    Serve();
    const test::HttpReply reply = test::Fetch(Url("/v1/health"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.rfind("{\"symbols\": [{\"symbol\": \"EUR\", \"latest_day\": "
                               "\"07.12.2012\"}, {\"symbol\": \"GBP\"",
                               0),
              0u)
        << reply.body;
}

TEST_F(ApiServerTest, MoreThanTwentyRequestsInASecondAreRefused) {
    Serve();
    // Refusals for a missing token cost next to nothing, so the 25 fit in one second.
    std::vector<long> statuses;
    for (int i = 0; i < 25; ++i) {
        statuses.push_back(test::Fetch(Url("/v1/board")).status);
    }
    // The first twenty are looked at; some later ones (those still within the second) are not.
    EXPECT_EQ(std::count(statuses.begin(), statuses.begin() + 20, 401), 20);
    EXPECT_GE(std::count(statuses.begin(), statuses.end(), 429), 1);
    const test::HttpReply refused = test::Fetch(Url("/v1/health"));
    if (refused.status == 429) {
        EXPECT_EQ(refused.Header("Retry-After"), "1");
        EXPECT_EQ(refused.Header("Content-Type"), "application/problem+json");
    }
    std::this_thread::sleep_for(1100ms);
    EXPECT_EQ(test::Fetch(Url("/v1/health")).status, 200);
}

TEST_F(ApiServerTest, TwoClientsAtOnceGetTheSameAnswers) {
    ApiServerOptions options = Options();
    options.answerer.rate_limit = 1000;
    Serve(options);
    const std::string expected = Command({"board"}).out;
    const auto client = [&] {
        int same = 0;
        for (int i = 0; i < 10; ++i) {
            const test::HttpReply reply = Get("/v1/board");
            same += reply.status == 200 && reply.body == expected ? 1 : 0;
        }
        return same;
    };
    std::future<int> first = std::async(std::launch::async, client);
    std::future<int> second = std::async(std::launch::async, client);
    EXPECT_EQ(first.get(), 10);
    EXPECT_EQ(second.get(), 10);
}

// Sends a request one byte every `pause`; returns the seconds until the server dropped the
// connection (or -1 when it answered or the whole request went).
double SecondsUntilDropped(std::uint16_t port, std::chrono::milliseconds pause) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const std::string request =
        "GET /v1/health HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(200, 's') + "\r\n\r\n";
    const auto start = std::chrono::steady_clock::now();
    double dropped = -1;
    for (const char c : request) {
        if (::send(fd, &c, 1, MSG_NOSIGNAL) != 1) {
            dropped =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
        char byte = 0;
        if (::recv(fd, &byte, 1, MSG_DONTWAIT) == 0) {
            dropped =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(pause);
    }
    ::close(fd);
    return dropped;
}

TEST_F(ApiServerTest, ASlowClientIsDroppedWhileOthersAreServed) {
    ApiServerOptions options = Options();
    options.request_timeout = 1s;
    options.answerer.rate_limit = 1000;
    Serve(options);
    std::future<double> slow =
        std::async(std::launch::async, SecondsUntilDropped, server_->Port(), 100ms);
    int served = 0;
    for (int i = 0; i < 10; ++i) {
        served += Get("/v1/health").status == 200 ? 1 : 0;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(served, 10);
    const double seconds = slow.get();
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 2.5);
}

TEST_F(ApiServerTest, ByDefaultASlowClientIsDroppedAfterTenSeconds) {
    EXPECT_EQ(ApiServerOptions{}.request_timeout, 10s);
    Serve();
    const double seconds = SecondsUntilDropped(server_->Port(), 1000ms);
    EXPECT_GE(seconds, 9.5);
    EXPECT_LT(seconds, 12.5);
}

TEST_F(ApiServerTest, TwoHundredRequestsLeaveTheMemoryAsItWas) {
    ApiServerOptions options = Options();
    options.answerer.rate_limit = 1000;
    Serve(options);
    // The first answers fill the caches that stay (the settings, SQLite's page cache).
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Get("/v1/indicators?symbol=EUR").status, 200);
    }
    const long before = test::ResidentKb();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(Get("/v1/indicators?symbol=EUR").status, 200);
    }
    const long after = test::ResidentKb();
    std::cout << "RSS before 200 requests: " << before << " kB, after: " << after << " kB\n";
    RecordProperty("rss_before_kb", static_cast<int>(before));
    RecordProperty("rss_after_kb", static_cast<int>(after));
    EXPECT_LT(after - before, 1024);
}

// While a day run writes the last day, every answer is the board before it or after it.
TEST(ApiDayRun, ARequestDuringADayRunGivesTheFolderBeforeOrAfterIt) {
    test::TempProgramFolder home;
    test::FillFolder(home.Path(), false);
    const std::string h = home.Path().string();
    const std::string before = test::RunCli({"--home", h, "board", "--symbol", "EUR"}).out;
    ApiServerOptions options;
    options.answerer.home = home.Folder();
    options.answerer.token = kToken;
    options.answerer.rate_limit = 1000;
    options.addresses = {"127.0.0.1"};
    options.port = 0;
    ApiServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    const std::string url =
        "http://127.0.0.1:" + std::to_string(server.Port()) + "/v1/board?symbol=EUR";

    const pid_t pid = fork();
    if (pid == 0) {
        [[maybe_unused]] FILE* quiet = freopen("/dev/null", "w", stderr);
        execl(Cli().c_str(), Cli().c_str(), "--home", h.c_str(), "process-day", "--date",
              "20121207", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::vector<std::string> bodies;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        bodies.push_back(test::Fetch(url, {kBearer}).body);
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string after = test::RunCli({"--home", h, "board", "--symbol", "EUR"}).out;
    ASSERT_NE(before, after);
    ASSERT_FALSE(bodies.empty());
    for (const std::string& body : bodies) {
        EXPECT_TRUE(body == before || body == after) << body.substr(0, 200);
    }
    EXPECT_EQ(test::Fetch(url, {kBearer}).body, after);
}

// A day run holding the folder: an answer waits for it, is refused with 503 after the wait,
// and a server stopping meanwhile does not wait with it.
TEST_F(ApiServerTest, AnAnswerWaitsForADayRunButAStopDoesNot) {
    const std::filesystem::path lock = storage::FolderLockPath(home_->Folder().Db());
    test::WriteFile(lock, "");
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    ApiServerOptions options = Options();
    options.answerer.day_run_wait = 300ms;
    Serve(options);
    const test::HttpReply refused = Get("/v1/board");
    EXPECT_EQ(refused.status, 503);
    EXPECT_EQ(refused.Header("Retry-After"), "5");
    EXPECT_NE(refused.body.find("a day run is working on"), std::string::npos);

    options.answerer.day_run_wait = 60s;
    Serve(options);
    std::future<test::HttpReply> waiting =
        std::async(std::launch::async, [this] { return Get("/v1/board"); });
    std::this_thread::sleep_for(300ms);
    const auto start = std::chrono::steady_clock::now();
    server_->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    waiting.get();
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

// --- The token file ---

TEST(ApiToken, IsMadeOnceWithModeSixHundredAndRefusedWhenOthersMayReadIt) {
    test::TempFolder config;
    const std::filesystem::path path = ApiTokenPath(config.Path() / "zarvex");
    const ApiToken made = LoadOrMakeApiToken(path);
    ASSERT_EQ(made.token.size(), 64u) << made.error;
    EXPECT_EQ(made.token.find_first_not_of("0123456789abcdef"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(LoadOrMakeApiToken(path).token, made.token);

    ::chmod(path.c_str(), 0644);
    const ApiToken refused = LoadOrMakeApiToken(path);
    EXPECT_EQ(refused.token, "");
    EXPECT_NE(refused.error.find(path.string()), std::string::npos) << refused.error;
    EXPECT_NE(refused.error.find("mode 0644"), std::string::npos) << refused.error;

    ::chmod(path.c_str(), 0600);
    test::WriteFile(path, "not a token\n");
    EXPECT_NE(LoadOrMakeApiToken(path).error.find("no token"), std::string::npos);
}

// --- zarvex-cli serve itself ---

std::uint16_t FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST(ServeCommand, RefusesAnAddressOffThisComputerAndAWronglyReadableToken) {
    for (const char* address : {"0.0.0.0", "192.168.1.10", "::", "localhost"}) {
        const test::CliOutcome refused = test::RunCli({"serve", "--bind", address});
        EXPECT_EQ(refused.status, 2) << address;
        EXPECT_NE(refused.err.find("--bind must be 127.0.0.1 or ::1"), std::string::npos);
    }
    EXPECT_EQ(test::RunCli({"serve", "--port", "0"}).status, 2);
    const std::filesystem::path token =
        ApiTokenPath(std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "zarvex");
    const test::CliOutcome shown = test::RunCli({"serve", "--show-token"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, LoadOrMakeApiToken(token).token + "\n");
    ::chmod(token.c_str(), 0640);
    const test::CliOutcome wrong = test::RunCli({"serve", "--show-token"});
    ::chmod(token.c_str(), 0600);
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find(token.string() + ": the token file has mode 0640"), std::string::npos)
        << wrong.err;
}

class ServeSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(ServeSignalTest, StopsWithinASecond) {
    test::TempProgramFolder home;
    const std::string port = std::to_string(FreePort());
    const pid_t pid = fork();
    if (pid == 0) {
        [[maybe_unused]] FILE* quiet = freopen("/dev/null", "w", stderr);
        execl(Cli().c_str(), Cli().c_str(), "--home", home.Path().c_str(), "serve", "--port",
              port.c_str(), "--bind", "127.0.0.1", static_cast<char*>(nullptr));
        _exit(127);
    }
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        up = test::Fetch("http://127.0.0.1:" + port + "/v1/health").status == 200;
        if (!up) {
            std::this_thread::sleep_for(50ms);
        }
    }
    EXPECT_TRUE(up);
    const auto sent = std::chrono::steady_clock::now();
    ::kill(pid, GetParam());
    int status = -1;
    while (waitpid(pid, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() - sent < 3s) {
        std::this_thread::sleep_for(10ms);
    }
    const auto took = std::chrono::steady_clock::now() - sent;
    if (!WIFEXITED(status)) {
        ::kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, ServeSignalTest, ::testing::Values(SIGTERM, SIGINT),
                         [](const ::testing::TestParamInfo<int>& param_info) {
                             return param_info.param == SIGTERM ? "Term" : "Int";
                         });

}  // namespace
}  // namespace zarvex::cli
