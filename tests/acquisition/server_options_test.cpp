#include "reportserver/server_options.h"

#include <gtest/gtest.h>

#include "support/case_name.h"

namespace zarvex::tools {
namespace {

TEST(ServerOptionsTest, EveryFaultIsSettableFromTheCommandLine) {
    const ServerOptions options = ParseServerOptions({"--root",
                                                      "/data",
                                                      "--port",
                                                      "8217",
                                                      "--time",
                                                      "20121203 17:30:00",
                                                      "--shift",
                                                      "-60",
                                                      "--delay-ms",
                                                      "250",
                                                      "--drop-body",
                                                      "CUR_",
                                                      "--silent",
                                                      "/fp/",
                                                      "--error-status",
                                                      "503",
                                                      "--error-on",
                                                      "/toster/",
                                                      "--hold-back",
                                                      "20121203",
                                                      "--hold-back",
                                                      "20121204",
                                                      "--date-style",
                                                      "bare-lf",
                                                      "--empty-on",
                                                      "/fp/2012",
                                                      "--cut-short",
                                                      "CUR_",
                                                      "--cut-short-bytes",
                                                      "10,600000",
                                                      "--chunked",
                                                      "/fp/",
                                                      "--drip",
                                                      "CUR_",
                                                      "--drip-rate",
                                                      "50",
                                                      "--oversize",
                                                      "CUR_",
                                                      "--oversize-bytes",
                                                      "5000000"});
    EXPECT_EQ(options.root, "/data");
    EXPECT_EQ(options.bind, "127.0.0.1");
    EXPECT_EQ(options.port, 8217);
    EXPECT_EQ(options.fixed_time, common::MakeDate(2012, 12, 3, 17, 30));
    EXPECT_EQ(options.shift, -60);
    EXPECT_EQ(options.faults.delay.count(), 250);
    EXPECT_EQ(options.faults.delay_on, "/");
    EXPECT_EQ(options.faults.drop_body_on, "CUR_");
    EXPECT_EQ(options.faults.silent_on, "/fp/");
    EXPECT_EQ(options.faults.error_status, 503);
    EXPECT_EQ(options.faults.error_on, "/toster/");
    EXPECT_EQ(options.faults.held_back, (std::set<std::string>{"20121203", "20121204"}));
    EXPECT_EQ(options.date_style, DateHeaderStyle::kBareLineFeeds);
    EXPECT_EQ(options.faults.empty_on, "/fp/2012");
    EXPECT_EQ(options.faults.cut_short_on, "CUR_");
    EXPECT_EQ(options.faults.cut_short_bytes, (std::vector<std::size_t>{10, 600'000}));
    EXPECT_EQ(options.faults.chunked_on, "/fp/");
    EXPECT_EQ(options.faults.drip_on, "CUR_");
    EXPECT_EQ(options.faults.drip_bytes_per_second, 50u);
    EXPECT_EQ(options.faults.oversize_on, "CUR_");
    EXPECT_EQ(options.faults.oversize_bytes, 5'000'000u);
}

TEST(ServerOptionsTest, DefaultsFaultNothing) {
    const ServerOptions options = ParseServerOptions({"--root", "tree"});
    EXPECT_EQ(options.port, 0);
    EXPECT_FALSE(options.faults.delay_on || options.faults.drop_body_on ||
                 options.faults.silent_on || options.faults.error_on || options.faults.empty_on ||
                 options.faults.cut_short_on || options.faults.chunked_on ||
                 options.faults.drip_on || options.faults.oversize_on);
    EXPECT_TRUE(options.faults.held_back.empty());
}

class ServerOptionsErrorTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ServerOptionsErrorTest, IsRefused) {
    EXPECT_THROW(ParseServerOptions(GetParam()), OptionError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerOptionsErrorTest,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"--root"},
                    std::vector<std::string>{"--root", "t", "--port", "70000"},
                    std::vector<std::string>{"--root", "t", "--time", "20121203"},
                    std::vector<std::string>{"--root", "t", "--hold-back", "2012-12-03"},
                    std::vector<std::string>{"--root", "t", "--error-status", "99"},
                    std::vector<std::string>{"--root", "t", "--date-style", "odd"},
                    std::vector<std::string>{"--root", "t", "--cut-short-bytes", "10,x"},
                    std::vector<std::string>{"--root", "t", "--drip-rate", "0"},
                    std::vector<std::string>{"--root", "t", "--what", "x"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param); });

}  // namespace
}  // namespace zarvex::tools
