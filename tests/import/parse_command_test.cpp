#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

using test::RunCli;
using Result = test::CliOutcome;

class ParseCommand : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = folder_ / name;
        test::WriteFile(path, bytes);
        return path.string();
    }

    test::TempFolder folder_;
};

const std::string kReport =
    "EUR EURO FX CALL\r\n"
    "JUN12-AM  EURO FX   20120608\r\n"
    "1.2950    0.0123    0.520     10        1500      30         +   0.0120\r\n" +
    std::string(61, '-') + "\r\n" + std::string(61, '=') + "\r\n" +
    "EUR EURO FX PUT\r\n"
    "JAN13     EURO FX   20130111\r\n"
    "1.2950    0.0100    0.480\r\n" +
    std::string(61, '=') + "\r\n";

TEST_F(ParseCommand, PrintsTheRowsWithTheKeysOfTheContract) {
    const Result r = RunCli(
        {"parse", "--symbol", "EUR", "--date", "08.06.2012", Write("CUR_20120608.TXT", kReport)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"rows\": [{\"strike\": \"1.2950\", \"price\": \"0.0123\", \"delta\": \"0.520\", "
              "\"volume\": \"10\", \"oi\": \"1500\", \"doi\": \"30\", \"sign\": \"1\", "
              "\"symb\": \"EUR\", \"option\": \"CALL\", \"contract\": \"JUN12-AM\", "
              "\"expiration\": \"08.06.2012\", \"date\": \"08.06.2012\"}, "
              "{\"strike\": \"1.2950\", \"price\": \"0.0100\", \"delta\": \"0.480\", "
              "\"volume\": \"\", \"oi\": \"\", \"doi\": \"\", \"sign\": \"\", "
              "\"symb\": \"EUR\", \"option\": \"PUT\", \"contract\": \"JAN13   \", "
              "\"expiration\": \"11.01.2013\", \"date\": \"08.06.2012\"}], \"lines_read\": 1}\n");
}

TEST_F(ParseCommand, EmptyFileAndFileWithoutTheSymbol) {
    const Result empty =
        RunCli({"parse", "--symbol", "EUR", "--date", "08.06.2012", Write("empty.txt", "")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "{\"rows\": [], \"lines_read\": 0}\n");
    const Result other = RunCli({"--home", folder_.Path().string(), "parse", "--date", "08.06.2012",
                                 "--symbol", "CHF", Write("other.txt", kReport)});
    EXPECT_EQ(other.status, 0);
    EXPECT_EQ(other.out, "{\"rows\": [], \"lines_read\": 1}\n");
}

// A stray byte that is not UTF-8 comes out as the Latin-1 character of that byte.
TEST_F(ParseCommand, YenStrikesAndOddBytesComeOutAsJson) {
    const std::string report = "JPY YEN CALL\r\nDEC12-AM 20121207\r\n0.009850  \"\\\xff\t\r\n";
    const Result r =
        RunCli({"parse", "--symbol", "JPY", "--date", "07.12.2012", Write("jpy.txt", report)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"rows\": [{\"strike\": \"0.985\", \"price\": \"\\\"\\\\\xC3\xBF\\t\", "
              "\"delta\": \"\", \"volume\": \"\", \"oi\": \"\", \"doi\": \"\", \"sign\": \"\", "
              "\"symb\": \"JPY\", \"option\": \"CALL\", \"contract\": \"DEC12-AM\", "
              "\"expiration\": \"07.12.2012\", \"date\": \"07.12.2012\"}], \"lines_read\": 1}\n");
}

TEST_F(ParseCommand, UnreadableFileFailsWithNothingOnStdout) {
    for (const std::string& file : {(folder_ / "missing.txt").string(), folder_.Path().string()}) {
        const Result r = RunCli({"parse", "--symbol", "EUR", "--date", "08.06.2012", file});
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

TEST_F(ParseCommand, BadUsageIsOneLineOnStderr) {
    const std::string file = Write("report.txt", kReport);
    const std::vector<std::vector<std::string>> cases{
        {"parse", "--date", "08.06.2012", file},
        {"parse", "--symbol", "EUR", file},
        {"parse", "--symbol", "EUR", "--date", "2012-06-08", file},
        {"parse", "--symbol", "EUR", "--date", "31.02.2012", file},
        {"parse", "--symbol", "", "--date", "08.06.2012", file},
        {"parse", "--symbol", "EUR", "--date", "08.06.2012"},
        {"parse", "--symbol", "EUR", "--date", "08.06.2012", file, file},
        {"parse", "--symbol", "EUR", "--date", "08.06.2012", "--contract", "X", file},
        {"parse", "--symbol", "EUR", "--symbol", "GBP", "--date", "08.06.2012", file},
        {"parse", "--symbol"},
    };
    for (const auto& args : cases) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

}  // namespace
}  // namespace zarvex::cli
