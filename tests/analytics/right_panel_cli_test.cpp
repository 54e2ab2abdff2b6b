#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "analytics/right_panel_fixture.h"
#include "app/cli/cli.h"
#include "common/date.h"
#include "settings/settings_record.h"
#include "storage/database.h"
#include "storage/store.h"
#include "support/temp_folder.h"

namespace zarvex::cli {
namespace {

using analytics::testing::QuoteDb;
using analytics::testing::QuoteRow;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// The elements of the JSON number array under key, as written.
std::vector<std::string> ArrayOf(const std::string& json, const std::string& key) {
    const std::string opening = "\"" + key + "\": [";
    const std::size_t start = json.find(opening);
    if (start == std::string::npos) {
        ADD_FAILURE() << "no " << key << " in " << json;
        return {};
    }
    const std::size_t first = start + opening.size();
    const std::string body = json.substr(first, json.find(']', first) - first);
    std::vector<std::string> items;
    std::size_t from = 0;
    while (!body.empty()) {
        const std::size_t comma = body.find(", ", from);
        items.push_back(body.substr(from, comma == std::string::npos ? comma : comma - from));
        if (comma == std::string::npos) {
            break;
        }
        from = comma + 2;
    }
    return items;
}

class RightPanelCliTest : public ::testing::Test {
protected:
    RightPanelCliTest() {
        QuoteRow put;
        put.option = "PUT";
        put.strike = 1.1;
        put.price = 0.012;
        put.delta = 0.35;
        put.volume = 12;
        put.oi = 1500;
        put.doi = 30;
        put.sign = "1";
        QuoteRow call = put;
        call.option = "CALL";
        call.strike = 1.105;
        call.oi = 900;
        call.sign = "-1";
        db_.Insert({put, call});
    }

    Outcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", db_.Folder().Path().string()});
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::Run(args, out, err);
        return {status, out.str(), err.str()};
    }

    static std::vector<std::string> Histogram(std::vector<std::string> more) {
        std::vector<std::string> args{"histogram",  "--symbol",   "EUR",     "--date",
                                      "07.12.2012", "--contract", "DEC12-AM"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    QuoteDb db_;
};

TEST_F(RightPanelCliTest, HistogramPrintsTheArraysKeyForKey) {
    const Outcome outcome =
        Run(Histogram({"--scale", "0", "--price-type", "1", "--bar-cond", "oi>500", "--verbose"}));
    ASSERT_EQ(outcome.status, kExitDone) << outcome.err;
    const std::string& json = outcome.out;
    EXPECT_EQ(json.rfind("{\"n\": 1, \"caption\": \"Open interest\", \"lower_bound\": 1.1, "
                         "\"upper_bound\": 1.105, \"axis\": [",
                         0),
              0u)
        << json;
    const std::size_t axis = json.find("\"axis\"");
    const std::size_t put = json.find("\"put\"");
    const std::size_t call = json.find("\"call\"");
    const std::size_t call_premium = json.find("\"call_premium\"");
    const std::size_t put_premium = json.find("\"put_premium\"");
    EXPECT_TRUE(axis < put && put < call && call < call_premium && call_premium < put_premium);
    EXPECT_EQ(json.substr(json.size() - 3), "]}\n");

    const std::vector<std::string> positions = ArrayOf(json, "axis");
    ASSERT_EQ(positions.size(), 23u);
    EXPECT_EQ(positions[1], "1.1");
    const std::vector<std::string> puts = ArrayOf(json, "put");
    const std::vector<std::string> calls = ArrayOf(json, "call");
    const std::vector<std::string> call_premiums = ArrayOf(json, "call_premium");
    ASSERT_EQ(puts.size(), 23u);
    ASSERT_EQ(calls.size(), 23u);
    EXPECT_EQ(puts[1], "1500");
    EXPECT_EQ(calls[21], "900");
    EXPECT_EQ(call_premiums[21], "0.012");
    EXPECT_EQ(ArrayOf(json, "put_premium")[1], "0.012");
    // With --verbose the status texts of the two steps go to stderr.
    EXPECT_NE(outcome.err.find("Calculation of the scale of the histogram N1. "),
              std::string::npos);
}

TEST_F(RightPanelCliTest, HistogramTakesTheInstrumentsSettingsForN) {
    settings::SettingsRecord record("EUR", db_.Folder().Folder());
    record.OpenSettings(storage::ConfigurationPath(db_.Folder().Folder(), "EUR"));
    record.SetParam(3, 2);
    ASSERT_TRUE(record.SaveSettings());
    record.Close();

    EXPECT_EQ(Run(Histogram({"--n", "3"})).out.rfind("{\"n\": 3, \"caption\": \"Volume\"", 0), 0u);
    // Histogram 2 keeps its default: the change of open interest.
    EXPECT_EQ(Run(Histogram({"--n", "2"})).out.rfind("{\"n\": 2, \"caption\": \"OI Change\"", 0),
              0u);
    EXPECT_EQ(Run(Histogram({"--n", "3", "--param", "4"}))
                  .out.rfind("{\"n\": 3, \"caption\": \"Price x "
                             "Volume\"",
                             0),
              0u);
    const Outcome russian = Run({"--lang", "rus", "histogram", "--symbol", "EUR", "--date",
                                 "07.12.2012", "--contract", "DEC12-AM"});
    EXPECT_NE(russian.out.find("\"caption\": \"Открытый интерес\""), std::string::npos);
}

TEST_F(RightPanelCliTest, AContractWithoutRowsGivesEmptyArrays) {
    const Outcome outcome = Run({"histogram", "--symbol", "EUR", "--date", "07.12.2012",
                                 "--contract", "MAR13-AM", "--scale", "0"});
    EXPECT_EQ(outcome.status, kExitDone);
    EXPECT_EQ(outcome.out,
              "{\"n\": 1, \"caption\": \"Open interest\", \"lower_bound\": 0, \"upper_bound\": 0, "
              "\"axis\": [], \"put\": [], \"call\": [], \"call_premium\": [], \"put_premium\": "
              "[], \"call_strike\": [], \"put_strike\": []}\n");
}

// A quote table of another layout is named, file and reason, as `tables` names it: not an
// empty histogram as if the day had no rows.
TEST_F(RightPanelCliTest, AQuoteTableWithoutItsColumnsFailsNamingTheFile) {
    const auto path = storage::QuotePath(common::ProgramFolder(db_.Folder().Path()), "EUR");
    {
        const storage::Database db = storage::Database::Open(path);
        ASSERT_TRUE(db.Execute("DROP TABLE dating"));
        ASSERT_TRUE(db.Execute("CREATE TABLE dating (strike REAL, oi INTEGER)"));
    }
    const Outcome outcome = Run(Histogram({}));
    EXPECT_EQ(outcome.status, kExitFailed);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("zarvex-cli: " + path.string() +
                                    " could not be read: no such "
                                    "column: ",
                                0),
              0u)
        << outcome.err;
}

TEST_F(RightPanelCliTest, ABarConditionThatIsNotSqlReportsFailureAfterTheJson) {
    const Outcome outcome = Run(Histogram({"--scale", "0", "--bar-cond", "oi >"}));
    EXPECT_EQ(outcome.status, kExitFailed);
    EXPECT_FALSE(outcome.out.empty());
    EXPECT_NE(outcome.err.find("the bars could not be read"), std::string::npos);
}

TEST_F(RightPanelCliTest, PngDrawsTheChartAtTheGivenSize) {
    const auto path = db_.Folder().Path() / "h.png";
    const Outcome outcome = Run(Histogram({"--png", path.string(), "--size", "400x700"}));
    EXPECT_EQ(outcome.status, kExitDone);
    EXPECT_FALSE(outcome.out.empty());
    // The PNG signature, then the sizes of the IHDR chunk (big-endian).
    const std::string bytes = test::ReadFile(path);
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    const auto word = [&bytes](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    };
    EXPECT_EQ(word(16), 400u);
    EXPECT_EQ(word(20), 700u);
}

TEST_F(RightPanelCliTest, PngThatCannotBeWrittenFailsAfterTheJson) {
    const Outcome outcome = Run(Histogram({"--png", "/nonexistent-folder/h.png"}));
    EXPECT_EQ(outcome.status, kExitFailed);
    EXPECT_FALSE(outcome.out.empty());
    EXPECT_NE(outcome.err.find("--png"), std::string::npos);
}

TEST_F(RightPanelCliTest, BadUsageWritesNothing) {
    const std::vector<std::vector<std::string>> cases{
        Histogram({"--n", "5"}),
        Histogram({"--scale", "3"}),
        Histogram({"--param", "-1"}),
        Histogram({"--size", "300"}),
        Histogram({"--size", "0x600"}),
        Histogram({"--fp", "2"}),
        Histogram({"--png", ""}),
        Histogram({"extra"}),
        {"histogram", "--symbol", "EUR", "--date", "07.12.2012"},
        {"histogram", "--symbol", "XYZ", "--date", "07.12.2012", "--contract", "DEC12-AM"},
        {"histogram", "--symbol", "EUR", "--date", "2012-12-07", "--contract", "DEC12-AM"},
        {"tables", "--symbol", "EUR", "--date", "07.12.2012"},
        {"tables", "--symbol", "EUR", "--date", "07.12.2012", "--contract", "X", "--n", "1"},
    };
    for (const auto& args : cases) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, kExitUsage) << args.back();
        EXPECT_EQ(outcome.out, "") << args.back();
        EXPECT_NE(outcome.err, "") << args.back();
    }
}

TEST_F(RightPanelCliTest, TablesPrintTheRowsAndTotals) {
    test::WriteFile(db_.Folder().Folder().ForwardPointFile(common::MakeDate(2012, 12, 10)),
                    "EUR 12.46\r\n");
    const Outcome outcome = Run({"tables", "--symbol", "EUR", "--date", "07.12.2012", "--contract",
                                 "DEC12-AM", "--fp", "1", "--verbose"});
    EXPECT_EQ(outcome.status, kExitDone);
    EXPECT_EQ(outcome.out,
              "{\"forward_point\": \"12.5\", "
              "\"put\": [[\"1.10000\", \"0.01200\", \"0.35000\", \"12\", \"1500\", \"30\", \"+\", "
              "\"18.0000\"], [\"TOTAL\", \"\", \"\", \"12\", \"1500\", \"\", \"\", \"18\"]], "
              "\"call\": [[\"1.10500\", \"0.01200\", \"0.35000\", \"12\", \"900\", \"30\", \"-\", "
              "\"10.8000\"], [\"TOTAL\", \"\", \"\", \"12\", \"900\", \"\", \"\", \"10.8\"]]}\n");
    EXPECT_NE(outcome.err.find("The tables of the right panel is fill. "), std::string::npos);

    const Outcome without = Run({"tables", "--symbol", "EUR", "--date", "07.12.2012", "--contract",
                                 "DEC12-AM", "--fp", "0"});
    EXPECT_EQ(without.out.rfind("{\"forward_point\": \"0.0\", ", 0), 0u);
}

TEST_F(RightPanelCliTest, AMissingQuoteDatabaseIsAFailureWithoutOutput) {
    for (const char* command : {"histogram", "tables"}) {
        const Outcome outcome =
            Run({command, "--symbol", "GBP", "--date", "07.12.2012", "--contract", "DEC12-AM"});
        EXPECT_EQ(outcome.status, kExitFailed);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("GBP_data.lql"), std::string::npos);
        // Read-only: the command created no file.
        EXPECT_FALSE(
            std::filesystem::exists(storage::ConfigurationPath(db_.Folder().Folder(), "GBP")));
    }
}

TEST_F(RightPanelCliTest, AQuoteFileThatIsNoDatabaseIsAFailureNamingIt) {
    const auto path = storage::QuotePath(db_.Folder().Folder(), "GBP");
    test::WriteFile(path, std::string(4096, 'x'));
    for (const char* command : {"histogram", "tables"}) {
        const Outcome outcome =
            Run({command, "--symbol", "GBP", "--date", "07.12.2012", "--contract", "DEC12-AM"});
        EXPECT_EQ(outcome.status, kExitFailed) << command;
        EXPECT_EQ(outcome.out, "") << command;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_NE(outcome.err.find(path.string()), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace zarvex::cli
