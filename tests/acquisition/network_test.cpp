#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "acquisition/curl_transport.h"
#include "acquisition/endpoints.h"
#include "acquisition/network_clock.h"
#include "acquisition/network_status.h"
#include "common/system_clock.h"
#include "server_fixture.h"

namespace zarvex::acquisition {
namespace {

using common::MakeDate;
using test::ServedTree;

class FetchTest : public testing::Test {
protected:
    std::string Url(std::string_view path) { return ServerUrl(tree_.Host(), path); }

    ServedTree tree_;
    CurlTransport transport_{test::QuickTimeouts()};
    std::string buffer_;
};

TEST_F(FetchTest, ListingNamesEveryFileExceptHeldBackDays) {
    tree_.PutReport("CUR_20121203.TXT", "a");
    tree_.PutReport("CUR_20121204.TXT", "b");
    tools::ServerFaults faults;
    faults.held_back = {"20121204"};
    tree_.Server().SetFaults(faults);
    const std::string listing = transport_.FetchText(Url(kReportFolderPath));
    EXPECT_NE(listing.find("CUR_20121203.TXT"), std::string::npos);
    EXPECT_EQ(listing.find("CUR_20121204.TXT"), std::string::npos);
    buffer_ = "old";
    const FetchResult held =
        transport_.FetchToBuffer(Url("/toster/CUR_20121204.TXT"), buffer_, 100);
    EXPECT_TRUE(IsErrorPage(held, buffer_));
}

TEST_F(FetchTest, FileArrivesWholeAndZeroTerminated) {
    std::string body(300'000, 'x');
    body[123'456] = '\n';
    tree_.PutReport("CUR_20121203.TXT", body);
    const FetchResult result =
        transport_.FetchToBuffer(Url("/toster/CUR_20121203.TXT"), buffer_, 4'000'000);
    ASSERT_EQ(result.count, 300'000);
    EXPECT_FALSE(result.cut);
    EXPECT_TRUE(result.length_proven);
    EXPECT_FALSE(IsErrorPage(result, buffer_));
    EXPECT_EQ(buffer_.size(), 300'001u);
    EXPECT_EQ(buffer_.substr(0, 300'000), body);
    EXPECT_EQ(buffer_[300'000], '\0');
}

TEST_F(FetchTest, LongerBodyIsCutAtTheCapacity) {
    tree_.PutForwardPoints("20121203.txt", std::string(6000, 'f'));
    const FetchResult result = transport_.FetchToBuffer(Url("/fp/20121203.txt"), buffer_, 4000);
    EXPECT_EQ(result.count, 4000);
    EXPECT_TRUE(result.cut);
    EXPECT_EQ(buffer_.size(), 4001u);
    EXPECT_EQ(buffer_.back(), '\0');
}

TEST_F(FetchTest, MissingFileGivesTheErrorPage) {
    const FetchResult result = transport_.FetchToBuffer(Url("/fp/20121203.txt"), buffer_, 4000);
    EXPECT_TRUE(result.not_found);
    EXPECT_GT(result.count, 0);
    EXPECT_TRUE(IsErrorPage(result, buffer_));
    EXPECT_NE(buffer_.find(kErrorPageMarker), std::string::npos);
}

TEST_F(FetchTest, EmptyFileGivesZeroBytes) {
    tree_.PutForwardPoints("20121203.txt", "");
    const FetchResult result = transport_.FetchToBuffer(Url("/fp/20121203.txt"), buffer_, 4000);
    EXPECT_EQ(result.count, 0);
    EXPECT_FALSE(IsErrorPage(result, buffer_));
}

TEST_F(FetchTest, MarkerAnywhereInADataBodyMakesItAnErrorPage) {
    tree_.PutForwardPoints("20121203.txt", "EUR 1.0\n<!DOCTYPE HTML PUBLIC junk");
    const FetchResult result = transport_.FetchToBuffer(Url("/fp/20121203.txt"), buffer_, 4000);
    EXPECT_FALSE(result.not_found);
    EXPECT_TRUE(IsErrorPage(result, buffer_));
}

// Every fault leaves -1 (or the empty text) and nothing that could pass for data.
struct FaultCase {
    const char* name;
    tools::ServerFaults faults;
};

class FetchFaultTest : public testing::TestWithParam<FaultCase> {};

tools::ServerFaults Drop() {
    tools::ServerFaults f;
    f.drop_body_on = "/toster/";
    return f;
}
tools::ServerFaults Silent() {
    tools::ServerFaults f;
    f.silent_on = "/toster/";
    return f;
}
tools::ServerFaults Error(int status) {
    tools::ServerFaults f;
    f.error_on = "/toster/";
    f.error_status = status;
    return f;
}

TEST_P(FetchFaultTest, FailsCleanly) {
    ServedTree tree;
    tree.PutReport("CUR_20121203.TXT", std::string(200'000, 'r'));
    tree.Server().SetFaults(GetParam().faults);
    CurlTransport transport(test::QuickTimeouts());
    std::string buffer;
    const FetchResult result = transport.FetchToBuffer(
        ServerUrl(tree.Host(), "/toster/CUR_20121203.TXT"), buffer, 4'000'000);
    EXPECT_EQ(result.count, -1);
    EXPECT_EQ(buffer.find('r'), std::string::npos);
    EXPECT_EQ(transport.FetchText(ServerUrl(tree.Host(), kReportFolderPath)), "");
}

INSTANTIATE_TEST_SUITE_P(Faults, FetchFaultTest,
                         testing::Values(FaultCase{"dropped", Drop()},
                                         FaultCase{"silent", Silent()},
                                         FaultCase{"status500", Error(500)},
                                         FaultCase{"status503", Error(503)}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(FetchTest, DelayWithinTheLimitsStillDelivers) {
    tree_.PutReport("CUR_20121203.TXT", "data");
    tools::ServerFaults faults;
    faults.delay = std::chrono::milliseconds(300);
    faults.delay_on = "/";
    tree_.Server().SetFaults(faults);
    EXPECT_EQ(transport_.FetchToBuffer(Url("/toster/CUR_20121203.TXT"), buffer_, 100).count, 4);
}

// Only a Content-Length or chunks with their closing chunk prove that the body is whole; a
// body that only the closing connection ends is taken as it came, unproven.
TEST_F(FetchTest, LengthIsProvenByContentLengthOrChunksAlone) {
    const std::string body(70'000, 'b');
    tree_.PutReport("CUR_20121203.TXT", body);
    struct Framing {
        const char* name;
        bool chunked;
        std::optional<std::size_t> cut;
        std::int64_t count;
        bool proven;
    };
    for (const Framing& framing : {Framing{"length", false, std::nullopt, 70'000, true},
                                   Framing{"chunks", true, std::nullopt, 70'000, true},
                                   Framing{"close", false, 1'000'000, 70'000, false},
                                   Framing{"close_cut", false, 40'000, 40'000, false},
                                   Framing{"chunks_cut", true, 40'000, -1, false}}) {
        tools::ServerFaults faults;
        if (framing.chunked) {
            faults.chunked_on = "CUR_";
        }
        if (framing.cut) {
            faults.cut_short_on = "CUR_";
            faults.cut_short_bytes = {*framing.cut};
        }
        tree_.Server().SetFaults(faults);
        const FetchResult result =
            transport_.FetchToBuffer(Url("/toster/CUR_20121203.TXT"), buffer_, 4'000'000);
        EXPECT_EQ(result.count, framing.count) << framing.name;
        EXPECT_EQ(result.length_proven, framing.proven) << framing.name;
    }
}

// A server that keeps sending, only slowly: below the low speed for the stall time the
// transfer is given up; a deadline ends it wherever it is, and one already past asks nothing.
TEST_F(FetchTest, CrawlingTransferEndsAtTheLowSpeedOrTheDeadline) {
    tree_.PutReport("CUR_20121203.TXT", std::string(20'000, 'c'));
    tools::ServerFaults faults;
    faults.drip_on = "CUR_";
    faults.drip_bytes_per_second = 200;
    tree_.Server().SetFaults(faults);
    NetworkTimeouts timeouts = test::QuickTimeouts();
    timeouts.low_speed = 1000;
    CurlTransport slow_limit(timeouts);
    const std::string url = Url("/toster/CUR_20121203.TXT");
    FetchResult result = slow_limit.FetchToBuffer(url, buffer_, 100'000);
    EXPECT_EQ(result.count, -1);
    EXPECT_NE(result.failure.find("too slow"), std::string::npos) << result.failure;

    timeouts.low_speed = 10;  // the drip is fast enough now
    timeouts.total = std::chrono::milliseconds(120'000);
    CurlTransport patient(timeouts);
    result = patient.FetchToBuffer(url, buffer_, 100'000,
                                   std::chrono::steady_clock::now() + std::chrono::seconds(1));
    EXPECT_EQ(result.count, -1);
    EXPECT_EQ(buffer_, std::string(1, '\0'));

    tree_.Server().ClearRequests();
    result = patient.FetchToBuffer(url, buffer_, 100'000, std::chrono::steady_clock::now());
    EXPECT_EQ(result.count, -1);
    EXPECT_TRUE(tree_.Server().Requests().empty());
}

TEST(FetchUnreachableTest, NobodyListening) {
    CurlTransport transport(test::QuickTimeouts());
    std::string buffer;
    const std::string host = "127.0.0.1:" + std::to_string(test::ClosedPort());
    EXPECT_EQ(transport.FetchToBuffer(ServerUrl(host, "/fp/x.txt"), buffer, 10).count, -1);
    EXPECT_EQ(transport.FetchText(ServerUrl(host, "/fp/")), "");
}

class NetworkClockTest : public testing::Test {
protected:
    NetworkClock MakeClock(std::vector<std::string> hosts) {
        return NetworkClock(transport_, report_.Host(), std::move(hosts), clock_,
                            test::QuickTimeouts());
    }

    ServedTree report_;
    ServedTree second_;
    CurlTransport transport_{test::QuickTimeouts()};
    common::SystemClock clock_;
};

TEST_F(NetworkClockTest, ReportHostAnswersFirst) {
    report_.Server().SetFixedTime(MakeDate(2012, 12, 3, 17, 30));
    second_.Server().SetFixedTime(MakeDate(2012, 12, 4, 17, 30));
    auto clock = MakeClock({report_.Host(), second_.Host()});
    EXPECT_EQ(clock.NetworkTime(), MakeDate(2012, 12, 3, 11, 30));
    EXPECT_EQ(second_.Server().Requests().size(), 0u);
}

TEST_F(NetworkClockTest, HostsWithoutAReadableDateAreSkipped) {
    second_.Server().SetFixedTime(MakeDate(2013, 7, 15, 12, 0));
    for (const auto style : {tools::DateHeaderStyle::kNone, tools::DateHeaderStyle::kBareLineFeeds,
                             tools::DateHeaderStyle::kLowerCaseName}) {
        report_.Server().SetDateHeaderStyle(style);
        auto clock = MakeClock({report_.Host(), second_.Host()});
        EXPECT_EQ(clock.NetworkTime(), MakeDate(2013, 7, 15, 7, 0));
    }
}

TEST_F(NetworkClockTest, SilentAndClosedHostsAreSkipped) {
    tools::ServerFaults silent;
    silent.silent_on = "/";
    report_.Server().SetFaults(silent);
    second_.Server().SetFixedTime(MakeDate(2012, 12, 3, 5, 30));
    auto clock = MakeClock(
        {"127.0.0.1:" + std::to_string(test::ClosedPort()), report_.Host(), second_.Host()});
    EXPECT_EQ(clock.NetworkTime(), MakeDate(2012, 12, 2, 23, 30));
}

TEST_F(NetworkClockTest, ExchangePageIsTheLastResort) {
    report_.Server().SetFixedTime(MakeDate(2012, 12, 3, 17, 30));
    report_.Server().SetDateHeaderStyle(tools::DateHeaderStyle::kNone);
    auto clock = MakeClock({report_.Host()});
    EXPECT_EQ(clock.ExchangeTime(), MakeDate(2012, 12, 3, 11, 30));
    EXPECT_EQ(clock.NetworkTime(), MakeDate(2012, 12, 3, 11, 30));
}

TEST_F(NetworkClockTest, NothingAnsweringGivesMinusOne) {
    const std::string closed = "127.0.0.1:" + std::to_string(test::ClosedPort());
    NetworkClock clock(transport_, closed, {closed, "bad:host:name"}, clock_,
                       test::QuickTimeouts());
    EXPECT_EQ(clock.NetworkTime(), -1);
    EXPECT_LE(clock.ExchangeTime(), 0);
}

TEST_F(NetworkClockTest, BrokenExchangePageGivesNoTime) {
    tools::ServerFaults faults;
    faults.error_on = "/1/2.php";
    report_.Server().SetFaults(faults);
    report_.Server().SetDateHeaderStyle(tools::DateHeaderStyle::kNone);
    auto clock = MakeClock({report_.Host()});
    EXPECT_LE(clock.ExchangeTime(), 0);
    EXPECT_EQ(clock.NetworkTime(), -1);
}

TEST(NetworkStatusTest, LoopbackReportHostNeedsNoNetwork) {
    for (const char* host : {"127.0.0.1:8217", "localhost", "[::1]:80", "127.1.2.3"}) {
        EXPECT_TRUE(IsLoopbackHost(host)) << host;
        EXPECT_TRUE(IsNetworkUpFor(host)) << host;
    }
    for (const char* host :
         {"example.org", "10.0.0.1:80", "128.0.0.1", "localhost.example.org", ""}) {
        EXPECT_FALSE(IsLoopbackHost(host)) << host;
    }
    EXPECT_EQ(IsNetworkUpFor("example.org"), IsNetworkUp());
}

}  // namespace
}  // namespace zarvex::acquisition
