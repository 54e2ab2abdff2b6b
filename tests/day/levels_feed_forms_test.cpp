#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "analytics/board/levels_text_feed.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::day {
namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
    return parts;
}

// The string value of a key of the indicators' JSON object; "" for null or a missing key.
std::string JsonText(const std::string& json, const std::string& key) {
    std::smatch match;
    if (std::regex_search(json, match, std::regex("\"" + key + "\": \"([^\"]*)\""))) {
        return match[1];
    }
    if (std::regex_search(json, match, std::regex("\"" + key + "\": ([-0-9.e+]+)"))) {
        return match[1];
    }
    return {};
}

std::string Trimmed(std::string text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The English names of the text form's labels and the indicators' keys they stand for.
const std::map<std::string, std::string>& LabelKeys() {
    static const std::map<std::string, std::string> keys{
        {"CALL level", "call_level"},
        {"PUT level", "put_level"},
        {"Upper limit", "upper_limit"},
        {"Upper border", "upper_border"},
        {"Channel Center", "channel_center"},
        {"Bottom border", "bottom_border"},
        {"Bottom limit", "bottom_limit"},
        {"Delta-balance", "delta_balance"},
        {"Max pain", "max_pain"},
    };
    return keys;
}

// A month of generated days run as the command line runs them; then the three files of every
// symbol are held against `indicators` of each contract of the day.
TEST(LevelsFeedForms, EveryContractOfTheDayAgreesWithIndicatorsInAllThreeFiles) {
    test::TempProgramFolder home;
    reportgen::GeneratorOptions options;
    options.strikes = 8;
    const reportgen::ReportGenerator generator(options);
    const std::string h = home.Path().string();
    for (common::Date d :
         reportgen::TradingDays(common::MakeDate(2012, 12, 3), common::MakeDate(2012, 12, 7))) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator.Generate(d), home.Path(), &error));
        const test::CliOutcome day =
            test::RunCli({"--home", h, "process-day", "--date", common::DateKey(d)});
        ASSERT_EQ(day.status, 0) << day.err;
    }

    const std::filesystem::path feed = home.Path() / "OUTPUT" / "levels";
    const std::vector<std::string> columns = Split(
        "symbol,date,contract,expiration,days_to_expiry,call_level,put_level,upper_border,"
        "bottom_border,upper_limit,bottom_limit,channel_center,delta_balance,max_pain,atm_vol,"
        "band_low,band_high,cm30,iv_rank",
        ",");
    // The symbol's figures across days, the same on every line: the day's of `vol --history`.
    const std::set<std::string> across_days{"cm30", "iv_rank"};
    for (const std::string symbol : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
        SCOPED_TRACE(symbol);
        const std::string csv = test::ReadFile(feed / (symbol + "_levels.csv"));
        const std::string text = test::ReadFile(feed / (symbol + "_levels.txt"));
        const std::string json = test::ReadFile(feed / (symbol + "_levels.json"));
        // The command gives the bytes of the files.
        EXPECT_EQ(
            test::RunCli({"--home", h, "--today", "20121210", "levels", "--symbol", symbol}).out,
            json);
        EXPECT_EQ(test::RunCli(
                      {"--home", h, "--today", "20121210", "levels", "--symbol", symbol, "--text"})
                      .out,
                  text);

        EXPECT_EQ(csv.rfind("# zarvex levels feed version 2\r\n", 0), 0u) << csv;
        EXPECT_EQ(json.rfind("{\"version\": 2, ", 0), 0u) << json;
        const test::CliOutcome history = test::RunCli(
            {"--home", h, "vol", "--symbol", symbol, "--history", "--from", "07.12.2012"});
        ASSERT_EQ(history.status, 0) << history.err;
        EXPECT_NE(JsonText(history.out, "cm30"), "") << history.out;
        // The day runs' store (each day handed over by the evening's board) is the one the
        // rows give.
        const test::CliOutcome every_day =
            test::RunCli({"--home", h, "vol", "--symbol", symbol, "--history"});
        std::filesystem::remove(home.Path() / "DB" / (symbol + "_volatility.lql"));
        EXPECT_EQ(test::RunCli({"--home", h, "vol", "--symbol", symbol, "--history"}).out,
                  every_day.out);
        std::vector<std::string> lines = Split(csv, "\r\n");
        ASSERT_GE(lines.size(), 4u) << csv;
        ASSERT_EQ(lines.back(), "");
        lines.pop_back();
        std::map<std::string, std::string> indicators;  // contract -> its JSON
        std::string expected_front;
        int front_days = 0;
        for (std::size_t i = 2; i < lines.size(); ++i) {
            const std::vector<std::string> cells = Split(lines[i], ",");
            ASSERT_EQ(cells.size(), columns.size()) << lines[i];
            const std::string& contract = cells[2];
            const test::CliOutcome panel =
                test::RunCli({"--home", h, "indicators", "--symbol", symbol, "--date", cells[1],
                              "--contract", contract});
            ASSERT_EQ(panel.status, 0) << panel.err;
            indicators[contract] = panel.out;
            const std::size_t at = json.find("{\"contract\": \"" + contract + "\"");
            ASSERT_NE(at, std::string::npos) << contract;
            const std::string object = json.substr(at, json.find('}', at) - at);
            for (std::size_t c = 5; c < columns.size(); ++c) {
                SCOPED_TRACE(contract + " " + columns[c]);
                if (across_days.contains(columns[c])) {
                    // Five days: a cm30, and no rank before 20 (an empty cell, null in JSON).
                    EXPECT_EQ(cells[c], JsonText(history.out, columns[c]));
                } else if (columns[c] != "band_low" && columns[c] != "band_high") {
                    EXPECT_EQ(cells[c], Trimmed(JsonText(panel.out, columns[c])));
                }
                EXPECT_EQ(cells[c], JsonText(object, columns[c]));
            }
            EXPECT_EQ(cells[3], JsonText(panel.out, "expiration"));
            const int days = std::stoi(cells[4]);
            if (days >= analytics::kTerminalFrontMinDays && expected_front.empty()) {
                expected_front = contract;
                front_days = days;
            }
        }
        ASSERT_FALSE(expected_front.empty());
        // Of one expiration the generator makes a single contract: the nearest one is it.
        EXPECT_NE(json.find("\"front\": \"" + expected_front + "\""), std::string::npos) << json;
        std::size_t shown = 0;
        for (const std::string& line : Split(text, "\r\n")) {
            if (line.empty()) {
                continue;
            }
            const std::vector<std::string> fields = Split(line, "\t");
            ASSERT_EQ(fields.size(), 2u) << line;
            const std::string suffix = " " + expected_front;
            ASSERT_GT(fields[1].size(), suffix.size());
            ASSERT_EQ(fields[1].substr(fields[1].size() - suffix.size()), suffix) << line;
            const std::string label = fields[1].substr(0, fields[1].size() - suffix.size());
            EXPECT_NE(fields[0].find('.'), std::string::npos) << line;
            const auto key = LabelKeys().find(label);
            if (key != LabelKeys().end()) {
                EXPECT_EQ(fields[0], Trimmed(JsonText(indicators[expected_front], key->second)))
                    << line;
                ++shown;
            }
        }
        EXPECT_GE(shown, 2u) << text;
        EXPECT_GE(front_days, analytics::kTerminalFrontMinDays);
    }
    for (const auto& entry : std::filesystem::directory_iterator(feed)) {
        const std::string extension = entry.path().extension().string();
        EXPECT_TRUE(extension == ".csv" || extension == ".txt" || extension == ".json")
            << "left behind: " << entry.path();
    }
}

// --- The terminal's front contract ---

struct FrontCase {
    const char* name;
    std::vector<std::tuple<std::string, int, std::int64_t>> contracts;  // code, days, total oi
    std::string front;
};

class TerminalFrontTest : public ::testing::TestWithParam<FrontCase> {};

TEST_P(TerminalFrontTest, PicksTheNearestWithFiveDaysThenTheLargerInterestThenTheSmallerCode) {
    analytics::SymbolBoard board;
    board.symbol = "EUR";
    board.date = common::MakeDate(2012, 12, 7);
    for (const auto& [code, days, oi] : GetParam().contracts) {
        analytics::BoardContract contract;
        contract.contract = code;
        contract.days_to_expiry = days;
        const auto id = [](std::string_view key) { return analytics::FigureByKey(key).value(); };
        contract.today[id("call_oi")] = analytics::FigureValue::FromInt(oi);
        contract.today[id("put_oi")] = analytics::FigureValue::FromInt(1);
        contract.today[id("call_level")] = analytics::FigureValue::FromText(" 1.3921");
        board.contracts.push_back(contract);
    }
    const analytics::BoardContract* front = analytics::TerminalFront(board);
    EXPECT_EQ(front ? front->contract : "", GetParam().front);
    EXPECT_EQ(analytics::LevelsTextFeed(board),
              front ? "1.3921\tCALL level " + GetParam().front + "\r\n" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TerminalFrontTest,
    ::testing::Values(
        FrontCase{"FourDaysLeftIsSkipped", {{"DEC12-AM", 4, 900}, {"DEC12-W3", 5, 10}}, "DEC12-W3"},
        FrontCase{"TheLargerInterestOfOneExpiration",
                  {{"DEC12-AM", 0, 900}, {"MAR13-AM", 98, 10}, {"MAR13-EU", 98, 20}},
                  "MAR13-EU"},
        FrontCase{"EqualInterestTakesTheSmallerCode",
                  {{"MAR13-EU", 98, 20}, {"MAR13-AM", 98, 20}},
                  "MAR13-AM"},
        FrontCase{"NoneWithFiveDaysGivesAnEmptyFile", {{"DEC12-AM", 3, 900}}, ""},
        FrontCase{"ANearerOneWinsOverMoreInterest",
                  {{"JAN13-AM", 40, 5}, {"MAR13-AM", 98, 9000}},
                  "JAN13-AM"}),
    [](const ::testing::TestParamInfo<FrontCase>& param_info) {
        return std::string(param_info.param.name);
    });

}  // namespace
}  // namespace zarvex::day
