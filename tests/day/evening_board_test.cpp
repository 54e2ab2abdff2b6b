#include "day/evening_board.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "analytics/board/board_files.h"
#include "analytics/board/levels_feed.h"
#include "common/plain_host.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "support/temp_folder.h"

namespace zarvex::day {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Recorder final : public EveningSink {
public:
    void EveningDone(const EveningReport& report) override { reports.push_back(report); }
    std::vector<EveningReport> reports;
};

// Two generated days, each run as an evening's day through the instrument list with the evening
// switched on.
class EveningTest : public ::testing::Test {
protected:
    EveningTest() : texts(common::Language::kEnglish) {
        reportgen::GeneratorOptions options;
        options.strikes = 6;
        const reportgen::ReportGenerator generator(options);
        for (common::Date d : {kDay - common::kSecondsPerDay, kDay}) {
            std::string error;
            EXPECT_TRUE(
                reportgen::WriteProgramFolderDay(generator.Generate(d), home.Path(), &error))
                << error;
        }
    }

    void WriteRules(const std::string& text) const {
        std::filesystem::create_directories(config.Path());
        std::ofstream(analytics::AlertRulesPath(config.Path()), std::ios::binary) << text;
    }

    const common::Date kDay = common::MakeDate(2012, 12, 5);
    test::TempProgramFolder home;
    test::TempFolder config;
    common::PlainHost plain;
    common::TextTable texts;
};

TEST_F(EveningTest, ADayRunWritesTheFeedAndChecksTheRules) {
    WriteRules("EUR front call_oi above 0\nEUR front put_oi below\nGBP front max_pain above 1e9\n");
    Recorder recorder;
    InstrumentList list(home.Folder(), plain.AsHost(&texts));
    list.SetEvening(config.Path(), &recorder);
    ASSERT_EQ(list.RunCurrentDay(kDay - common::kSecondsPerDay).Flag(), 1);
    ASSERT_EQ(recorder.reports.size(), 1u);
    const EveningReport& report = recorder.reports[0];
    EXPECT_EQ(report.board.date, kDay - common::kSecondsPerDay);
    ASSERT_EQ(report.fired.size(), 1u);
    EXPECT_EQ(report.fired[0].rule.line, 1);
    ASSERT_EQ(report.rule_errors.size(), 1u);
    EXPECT_EQ(report.rule_errors[0].line, 2);
    EXPECT_NE(plain.StatusTexts().back().find("Alerts fired: 1"), std::string::npos);

    // One file per symbol, whole: the version line, the header, a line per contract.
    ASSERT_EQ(report.feed_files.size(), 18u);
    const std::string eur = ReadAll(home.Path() / "OUTPUT" / "levels" / "EUR_levels.csv");
    EXPECT_EQ(eur.rfind("# zarvex levels feed version 2\r\nsymbol,date,contract,", 0), 0u) << eur;
    const analytics::SymbolBoard& symbol = report.board.symbols.at(0);
    std::size_t lines = 0;
    for (const char c : eur) {
        lines += c == '\n' ? 1 : 0;
    }
    EXPECT_EQ(lines, 2 + symbol.contracts.size());
    EXPECT_NE(eur.find("\r\nEUR,04.12.2012," + symbol.contracts.front().contract + ","),
              std::string::npos);
    for (const auto& entry :
         std::filesystem::directory_iterator(home.Path() / "OUTPUT" / "levels")) {
        EXPECT_NE(entry.path().filename().string().find("_levels."), std::string::npos)
            << "left behind: " << entry.path();
    }

    // The next evening: the current day is run and the feed follows it.
    EXPECT_EQ(list.RunCurrentDay(kDay).Flag(), 1);
    ASSERT_EQ(recorder.reports.size(), 2u);
    EXPECT_EQ(recorder.reports[1].board.date, kDay);
    EXPECT_NE(ReadAll(home.Path() / "OUTPUT" / "levels" / "GBP_levels.csv").find(",05.12.2012,"),
              std::string::npos);
}

TEST_F(EveningTest, AMissingRuleFileIsMadeWithItsHeaderAndAFeedFolderProblemIsToldNotFatal) {
    // A folder of the user's choice that is not there is not made: it may be a drive not
    // mounted.
    std::filesystem::create_directories(config.Path());
    std::ofstream(analytics::LevelsFeedSettingPath(config.Path()))
        << "# where\nfolder = /nonexistent/levels\n";
    InstrumentList list(home.Folder(), plain.AsHost(&texts));
    list.SetEvening(config.Path(), nullptr);
    EXPECT_EQ(list.RunCurrentDay(kDay).Flag(), 1);
    ASSERT_TRUE(list.LastEvening());
    EXPECT_TRUE(list.LastEvening()->feed_files.empty());
    ASSERT_FALSE(list.LastEvening()->problems.empty());
    EXPECT_NE(list.LastEvening()->problems[0].find("/nonexistent/levels"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/levels"));
    bool told = false;
    for (const std::string& text : plain.StatusTexts()) {
        told = told || text.rfind("The levels feed was not written: ", 0) == 0;
    }
    EXPECT_TRUE(told);
    EXPECT_EQ(ReadAll(analytics::AlertRulesPath(config.Path())),
              std::string(analytics::AlertRulesFileHeader()));
}

TEST(LevelsFeed, AFileThatCannotBeReplacedKeepsItsOldContent) {
    test::TempFolder folder;
    analytics::Board board;
    analytics::SymbolBoard eur;
    eur.symbol = "EUR";
    eur.date = common::MakeDate(2012, 12, 7);
    board.symbols.push_back(eur);
    const auto target = folder / analytics::LevelsFeedFileName("EUR");
    std::ofstream(target) << "old";
    // chattr +i keeps even root from replacing the folder's entries; mode 0444 does not.
    if (std::system(("chattr +i '" + folder.Path().string() + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "chattr +i is not permitted on this file system";
    }
    std::vector<std::string> problems;
    const auto written = WriteLevelsFeed(board, folder.Path(), false, problems);
    [[maybe_unused]] const int undone =
        std::system(("chattr -i '" + folder.Path().string() + "'").c_str());
    EXPECT_TRUE(written.empty());
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("EUR_levels.csv cannot be written"), std::string::npos);
    EXPECT_NE(problems[2].find("EUR_levels.json cannot be written"), std::string::npos);
    EXPECT_EQ(ReadAll(target), "old");
}

}  // namespace
}  // namespace zarvex::day
