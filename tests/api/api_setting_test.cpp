#include "app/cli/api_setting.h"

#include <gtest/gtest.h>

namespace zarvex::cli {
namespace {

struct SettingCase {
    const char* name;
    std::string text;
    bool serve;
    std::uint16_t port;
    std::size_t problems;
};

class ApiSettingTest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(ApiSettingTest, ReadsServeAndPortAndNamesOtherLines) {
    const ApiSetting setting = ParseApiSetting(GetParam().text);
    EXPECT_EQ(setting.serve, GetParam().serve);
    EXPECT_EQ(setting.port, GetParam().port);
    EXPECT_EQ(setting.problems.size(), GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ApiSettingTest,
    ::testing::Values(
        SettingCase{"EmptyIsOff", "", false, 8617, 0},
        SettingCase{"On", "# the API\nserve = on\n", true, 8617, 0},
        SettingCase{"OnWithPortAndBlanks", "  serve=on \r\nport = 9000\r\n", true, 9000, 0},
        SettingCase{"TheLastLineCounts", "serve = on\nserve = off\n", false, 8617, 0},
        SettingCase{"BadValuesAreNamedAndLeaveTheDefaults",
                    "serve = yes\nport = 70000\nport = -1\nbind = 0.0.0.0\n", false, 8617, 4}),
    [](const ::testing::TestParamInfo<SettingCase>& param_info) {
        return std::string(param_info.param.name);
    });

TEST(ApiSetting, AProblemNamesItsLine) {
    const ApiSetting setting = ParseApiSetting("serve = on\n\nport = x\n");
    ASSERT_EQ(setting.problems.size(), 1u);
    EXPECT_EQ(setting.problems[0].rfind("line 3: \"port = x\"", 0), 0u) << setting.problems[0];
}

}  // namespace
}  // namespace zarvex::cli
