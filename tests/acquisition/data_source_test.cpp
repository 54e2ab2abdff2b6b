// The data source file in the user's configuration folder, and the order in which the report
// host is chosen.
#include "acquisition/data_source.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "acquisition/endpoints.h"
#include "acquisition/host_address.h"
#include "common/text_table.h"
#include "support/case_name.h"
#include "support/temp_folder.h"

namespace zarvex::acquisition {
namespace {

TEST(DataSourceFileTest, WrittenSourceReadsBackAndAFreshFolderHasNone) {
    test::TempFolder config;
    const auto file = config / "zarvex" / "data-source.conf";
    EXPECT_EQ(ReadDataSource(file), DataSource{});
    const DataSource source{
        "https://u:p@reports.example:8443", {"time.example", "[::1]:81"}, "/etc/zarvex/ca.pem"};
    ASSERT_TRUE(WriteDataSource(file, source));
    EXPECT_EQ(ReadDataSource(file), source);
    // Cleared again: an empty report host is "none", not a bad file.
    ASSERT_TRUE(WriteDataSource(file, DataSource{}));
    EXPECT_EQ(ReadDataSource(file), DataSource{});
}

TEST(DataSourceFileTest, UnwritableFolderIsReported) {
    test::TempFolder config;
    test::WriteFile(config / "zarvex", "a file where the folder should be");
    EXPECT_FALSE(WriteDataSource(config / "zarvex" / "data-source.conf", DataSource{"h", {}, {}}));
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
                             {"10.0.0.1:81", {}, {}}},
                    FileCase{"BadReportHostIsNone", "report_host = a b:99999\n", {}},
                    FileCase{"BadTimeHostsAreDropped",
                             "time_hosts = good.example, :80; [::1]:8, x:0\n",
                             {"", {"good.example", "[::1]:8"}, {}}},
                    FileCase{"UnknownKeysAndLinesWithoutEquals",
                             "colour = red\nreport_host\nreport_host=h\n",
                             {"h", {}, {}}},
                    FileCase{"LastLineWins", "report_host = a\nreport_host = b\n", {"b", {}, {}}},
                    FileCase{"Binary", std::string("\0\xff\xfe=\n=\n", 7), {}},
                    FileCase{"ByteOrderMarkIsSkipped",
                             "\xEF\xBB\xBFreport_host = h:1\nca_file = /a b.pem\n",
                             {"h:1", {}, "/a b.pem"}},
                    FileCase{
                        "HttpsTimeHostIsDropped", "time_hosts = a, https://b\n", {"", {"a"}, {}}}),
    [](const auto& one_case) { return one_case.param.name; });

struct FaultCase {
    std::string name;
    std::string text;
    SourceLineFault expected;
};

class DataSourceFaultTest : public testing::TestWithParam<FaultCase> {};

// A line that is not used is named with its line and reason, so that "no report server is
// set" is never said of a file that tried to set one.
TEST_P(DataSourceFaultTest, UnusableLineIsNamed) {
    test::TempFolder config;
    const auto file = config / "data-source.conf";
    test::WriteFile(file, GetParam().text);
    const DataSourceFile read = ReadDataSourceFile(file);
    ASSERT_EQ(read.faults.size(), 1U);
    EXPECT_EQ(read.faults[0], GetParam().expected);
    EXPECT_EQ(ReportHostFaults(read).size(), read.source.report_host.empty() ? 1U : 0U);
}

const std::string kLongComment = "# " + std::string(70 * 1024, 'x') + "\n";

INSTANTIATE_TEST_SUITE_P(
    Files, DataSourceFaultTest,
    testing::Values(FaultCase{"Path",
                              "# a\nreport_host = /srv/reports\n",
                              {2, "report_host", "/srv/reports", HostFault::kNotAHost, false}},
                    FaultCase{"CredentialsOverHttp",
                              "report_host = user:secret@h:8080\n",
                              {1, "report_host", "user:secret@h:8080",
                               HostFault::kCredentialsNeedHttps, false}},
                    FaultCase{"PortZero",
                              "report_host = h:0\n",
                              {1, "report_host", "h:0", HostFault::kPort, false}},
                    FaultCase{"PortTooLarge",
                              "\r\nreport_host = https://h:70000\r\n",
                              {2, "report_host", "https://h:70000", HostFault::kPort, false}},
                    FaultCase{"SignedPort",
                              "report_host = h:+80\n",
                              {1, "report_host", "h:+80", HostFault::kPort, false}},
                    FaultCase{"BareIpv6",
                              "report_host = ::1\n",
                              {1, "report_host", "::1", HostFault::kBareIpv6, false}},
                    FaultCase{"OtherScheme",
                              "report_host = ftp://h\n",
                              {1, "report_host", "ftp://h", HostFault::kScheme, false}},
                    FaultCase{"BadTimeHostBesideAGoodReportHost",
                              "report_host = h\ntime_hosts = a, x:0\n",
                              {2, "time_hosts", "x:0", HostFault::kPort, false}},
                    // The host lies beyond the part that is read: the line the limit cuts is named.
                    FaultCase{"HostAfterTheFirst64KB",
                              "# a\n" + kLongComment + "report_host = h\n",
                              {2, "", "", HostFault::kNone, true}}),
    [](const auto& one_case) { return one_case.param.name; });

TEST(DataSourceFaultTextTest, NamesFileLineAndReasonAndCutsALongValue) {
    const SourceLineFault fault{3, "report_host", "u:p@h", HostFault::kCredentialsNeedHttps, false};
    EXPECT_EQ(FaultText("/c/data-source.conf", fault, common::TextTable::English()),
              "/c/data-source.conf, line 3: report_host = \"u:p@h\": a user name and password "
              "are sent only over https://");
    const SourceLineFault huge{1, "report_host", std::string(1 << 20, 'h') + " x",
                               HostFault::kNotAHost, false};
    EXPECT_LT(FaultText("f", huge, common::TextTable::English()).size(), 320U);
}

struct HostCase {
    std::string text;
    HostFault fault;
    bool https;
    int port;
    std::string url;  // ServerUrl of "/p/"
};

class HostSchemeTest : public testing::TestWithParam<HostCase> {};

TEST_P(HostSchemeTest, SchemeCredentialsAndPort) {
    const HostCase& c = GetParam();
    EXPECT_EQ(HostFaultOf(c.text), c.fault) << c.text;
    const auto address = ParseHostAddress(c.text);
    ASSERT_EQ(address.has_value(), c.fault == HostFault::kNone);
    if (address) {
        EXPECT_EQ(address->https, c.https);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(ServerUrl(c.text, "/p/"), c.url);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, HostSchemeTest,
    testing::Values(HostCase{"h:81", HostFault::kNone, false, 81, "http://h:81/p/"},
                    HostCase{"HTTPS://h", HostFault::kNone, true, 443, "https://h/p/"},
                    HostCase{"https://h:8443/", HostFault::kNone, true, 8443, "https://h:8443/p/"},
                    HostCase{"http://h", HostFault::kNone, false, 80, "http://h/p/"},
                    HostCase{"https://u:p%40@[::1]:9", HostFault::kNone, true, 9,
                             "https://u:p%40@[::1]:9/p/"},
                    HostCase{"u@h", HostFault::kCredentialsNeedHttps, false, 0, ""},
                    HostCase{"http://u:p@h", HostFault::kCredentialsNeedHttps, false, 0, ""},
                    HostCase{"https://@h", HostFault::kNotAHost, false, 0, ""},
                    HostCase{"https://h/x", HostFault::kNotAHost, false, 0, ""},
                    HostCase{"h?x", HostFault::kNotAHost, false, 0, ""},
                    HostCase{std::string("h\x01"), HostFault::kNotAHost, false, 0, ""},
                    HostCase{"https://", HostFault::kEmpty, false, 0, ""},
                    HostCase{"[::1", HostFault::kBrackets, false, 0, ""},
                    HostCase{"h: 80", HostFault::kNotAHost, false, 0, ""}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

TEST(ShownTextTest, PasswordsAreLeftOutOfMessages) {
    EXPECT_EQ(WithoutCredentials("cannot fetch https://u:secret@h:1/toster/A (x) and "
                                 "https://v@g/"),
              "cannot fetch https://h:1/toster/A (x) and https://g/");
    EXPECT_EQ(WithoutCredentials("no report listing from http://h/a@b"),
              "no report listing from http://h/a@b");
}

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
    const DataSource saved{"saved.example:82", {"clock.example"}, "saved.pem"};
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

TEST(ReportHostTest, CaFileRanksAsTheHostDoes) {
    const DataSource saved{"https://h", {}, "saved.pem"};
    unsetenv("ZARVEX_CA_FILE");
    EXPECT_EQ(ResolveCaFile("", saved), "saved.pem");
    EXPECT_EQ(ResolveCaFile("", DataSource{}), "");
    setenv("ZARVEX_CA_FILE", "env.pem", 1);
    EXPECT_EQ(ResolveCaFile("", saved), "env.pem");
    EXPECT_EQ(ResolveCaFile("given.pem", saved), "given.pem");
    unsetenv("ZARVEX_CA_FILE");
}

TEST(ReportHostTest, SavedTimeHostsFollowTheReportHost) {
    EXPECT_EQ(TimeHostsFor("r:1", DataSource{"", {"a", "b"}, {}}),
              (std::vector<std::string>{"r:1", "a", "b"}));
    const auto built = TimeHostsFor("r:1", DataSource{});
    EXPECT_EQ(built.size(), BuildTimeHosts().size() + 1);
    EXPECT_EQ(built.front(), "r:1");
    EXPECT_EQ(TimeHostsFor("", DataSource{"", {"a"}, {}}), std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace zarvex::acquisition
