// The data source file in the user's configuration folder, and the order in which the report
// host is chosen.
#include "acquisition/data_source.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "acquisition/host_address.h"
#include "support/case_name.h"
#include "support/temp_folder.h"

namespace zarvex::acquisition {
namespace {

TEST(DataSourceFileTest, WrittenSourceReadsBackAndAFreshFolderHasNone) {
    test::TempFolder config;
    const auto file = config / "zarvex" / "data-source.conf";
    EXPECT_EQ(ReadDataSource(file), DataSource{});
    const DataSource source{"reports.example:8080", {"time.example", "[::1]:81"}};
    ASSERT_TRUE(WriteDataSource(file, source));
    EXPECT_EQ(ReadDataSource(file), source);
    // Cleared again: an empty report host is "none", not a bad file.
    ASSERT_TRUE(WriteDataSource(file, DataSource{}));
    EXPECT_EQ(ReadDataSource(file), DataSource{});
}

TEST(DataSourceFileTest, UnwritableFolderIsReported) {
    test::TempFolder config;
    test::WriteFile(config / "zarvex", "a file where the folder should be");
    EXPECT_FALSE(WriteDataSource(config / "zarvex" / "data-source.conf", DataSource{"h", {}}));
}

struct FileCase {
    std::string name;
    std::string text;
    DataSource expected;
};

class DataSourceParseTest : public testing::TestWithParam<FileCase> {};

TEST_P(DataSourceParseTest, DamagedFilesLeaveOnlyWhatParses) {
    test::TempFolder config;
    test::WriteFile(config / "data-source.conf", GetParam().text);
    EXPECT_EQ(ReadDataSource(config / "data-source.conf"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DataSourceParseTest,
    testing::Values(FileCase{"CrlfAndComments",
                             "# mine\r\nreport_host = 10.0.0.1:81\r\n\r\n",
                             {"10.0.0.1:81", {}}},
                    FileCase{"BadReportHostIsNone", "report_host = a b:99999\n", {}},
                    FileCase{"BadTimeHostsAreDropped",
                             "time_hosts = good.example, :80; [::1]:8, x:0\n",
                             {"", {"good.example", "[::1]:8"}}},
                    FileCase{"UnknownKeysAndLinesWithoutEquals",
                             "colour = red\nreport_host\nreport_host=h\n",
                             {"h", {}}},
                    FileCase{"LastLineWins", "report_host = a\nreport_host = b\n", {"b", {}}},
                    FileCase{"Binary", std::string("\0\xff\xfe=\n=\n", 7), {}}),
    [](const auto& one_case) { return one_case.param.name; });

// Sets or clears ZARVEX_REPORT_HOST for one test.
class ReportHostVariable final {
public:
    explicit ReportHostVariable(const char* value) {
        if (value != nullptr) {
            setenv("ZARVEX_REPORT_HOST", value, 1);
        } else {
            unsetenv("ZARVEX_REPORT_HOST");
        }
    }
    ~ReportHostVariable() { unsetenv("ZARVEX_REPORT_HOST"); }
    ReportHostVariable(const ReportHostVariable&) = delete;
    ReportHostVariable& operator=(const ReportHostVariable&) = delete;
};

TEST(ReportHostTest, GivenThenEnvironmentThenSavedSource) {
    const DataSource saved{"saved.example:82", {"clock.example"}};
    {
        const ReportHostVariable env("10.0.0.1:81");
        EXPECT_EQ(ResolveReportHost("127.0.0.1:9000", saved), "127.0.0.1:9000");
        EXPECT_EQ(ResolveReportHost("  ", saved), "10.0.0.1:81");
    }
    const ReportHostVariable none(nullptr);
    EXPECT_EQ(ResolveReportHost("", saved), "saved.example:82");
    // A delivered build names no server of its own: nothing set is nothing.
    EXPECT_EQ(ResolveReportHost("", DataSource{}), "");
}

TEST(ReportHostTest, SavedTimeHostsFollowTheReportHost) {
    EXPECT_EQ(TimeHostsFor("r:1", DataSource{"", {"a", "b"}}),
              (std::vector<std::string>{"r:1", "a", "b"}));
    const auto built = TimeHostsFor("r:1", DataSource{});
    EXPECT_EQ(built.size(), BuildTimeHosts().size() + 1);
    EXPECT_EQ(built.front(), "r:1");
    EXPECT_EQ(TimeHostsFor("", DataSource{"", {"a"}}), std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace zarvex::acquisition
