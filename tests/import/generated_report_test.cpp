#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/date.h"
#include "common/program_folder.h"
#include "import/line_splitter.h"
#include "import/parse_report.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "support/case_name.h"
#include "support/temp_folder.h"

namespace zarvex::import {
namespace {

using reportgen::GeneratedDay;
using reportgen::GeneratorOptions;
using reportgen::ReportGenerator;

const std::vector<std::string> kSymbols{"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};

std::vector<ReportRow> ParseAll(std::string_view text, const std::string& symbol,
                                const std::string& day_text, ParseSummary* summary = nullptr) {
    std::vector<ReportRow> rows;
    const ParseSummary result = ParseReportText(
        text, symbol, day_text, [&rows](const ReportRow& row) { rows.push_back(row); });
    if (summary != nullptr) {
        *summary = result;
    }
    return rows;
}

// What the download makes of a served report: every line with JLY turned into JUL and ended
// by CR LF, the received zero byte becoming one more empty line.
std::string AsDownloaded(const std::string& raw) {
    std::string stored;
    TextLines lines(raw);
    std::string_view view;
    while (lines.NextLine(view)) {
        std::string line(view);
        for (auto pos = line.find("JLY"); pos != std::string::npos; pos = line.find("JLY")) {
            line.replace(pos, 3, "JUL");
        }
        stored += line + "\r\n";
    }
    return stored + "\r\n";
}

struct DayCase {
    std::uint64_t seed;
    common::Date day;
    bool full;
};

void PrintTo(const DayCase& c, std::ostream* os) {
    *os << "seed " << c.seed << " " << common::DateKey(c.day) << (c.full ? " full" : "");
}

class GeneratedReport : public ::testing::TestWithParam<DayCase> {};

TEST_P(GeneratedReport, ParserYieldsExactlyTheRowsWritten) {
    GeneratorOptions options;
    options.seed = GetParam().seed;
    options.full = GetParam().full;
    const GeneratedDay day = ReportGenerator(options).Generate(GetParam().day);
    const std::string day_text = common::DayText(day.day);
    ASSERT_EQ(day.rows.size(), kSymbols.size());
    for (const std::string& symbol : kSymbols) {
        SCOPED_TRACE(symbol);
        ParseSummary summary;
        const std::vector<ReportRow> rows = ParseAll(day.report, symbol, day_text, &summary);
        const auto& expected = day.rows.at(symbol);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(rows.size(), expected.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i], expected[i]) << "row " << i;
        }
        EXPECT_TRUE(summary.finished);
        EXPECT_TRUE(summary.lines_read);
    }
}

TEST_P(GeneratedReport, StoredFormIsTheServedFormAsDownloaded) {
    GeneratorOptions options;
    options.seed = GetParam().seed;
    options.full = GetParam().full;
    const GeneratedDay day = ReportGenerator(options).Generate(GetParam().day);
    EXPECT_EQ(day.report, AsDownloaded(day.raw_report));
    EXPECT_EQ(day.report.find("JLY"), std::string::npos);
    EXPECT_EQ(day.forward_points, day.raw_forward_points + std::string(1, '\0'));
}

INSTANTIATE_TEST_SUITE_P(Days, GeneratedReport,
                         ::testing::Values(DayCase{1, common::MakeDate(2012, 12, 3), false},
                                           DayCase{7, common::MakeDate(2013, 6, 28), false},
                                           DayCase{99, common::MakeDate(2013, 1, 2), false},
                                           DayCase{3, common::MakeDate(2013, 7, 1), true}),
                         [](const auto& one_case) {
                             return test::CaseName(one_case.index,
                                                   std::to_string(one_case.param.seed) + "_" +
                                                       common::DateKey(one_case.param.day) +
                                                       (one_case.param.full ? "_full" : ""));
                         });

TEST(GeneratedReport, FullSizeDayIsLargeEnough) {
    GeneratorOptions options;
    options.full = true;
    const GeneratedDay day = ReportGenerator(options).Generate(common::MakeDate(2012, 12, 3));
    EXPECT_GE(day.report.size(), 1000000u);
    // The download takes at most 4,000,000 bytes.
    EXPECT_LT(day.raw_report.size(), 4000000u);
    for (const std::string& symbol : kSymbols) {
        EXPECT_GE(day.rows.at(symbol).size(), 1500u) << symbol;
    }
}

TEST(GeneratedReport, HoldsTheVarietyTheProgramMeets) {
    GeneratorOptions options;
    options.full = true;
    options.seed = 5;
    const GeneratedDay day = ReportGenerator(options).Generate(common::MakeDate(2013, 6, 24));
    std::set<std::string> signs;
    std::set<std::string> deltas;
    bool european = false;
    bool weekly = false;
    bool blank = false;
    bool duplicate = false;
    for (const auto& [symbol, rows] : day.rows) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ReportRow& row = rows[i];
            signs.insert(row.sign);
            deltas.insert(row.delta);
            european |= row.contract.find("EU") != std::string::npos;
            weekly |= row.contract.find("-W") != std::string::npos;
            blank |= row.price.empty();
            duplicate |= i > 0 && !row.price.empty() && rows[i - 1].strike == row.strike &&
                         rows[i - 1].contract == row.contract;
        }
    }
    EXPECT_TRUE(signs.count("1") && signs.count("-1") && signs.count(""));
    EXPECT_TRUE(deltas.count("0.000") && deltas.count("1.000"));
    EXPECT_TRUE(european);
    EXPECT_TRUE(weekly);
    EXPECT_TRUE(blank);
    EXPECT_TRUE(duplicate);
    // A June day lists July contracts, which the server spells JLY.
    EXPECT_NE(day.raw_report.find("JLY13-AM"), std::string::npos);
    EXPECT_NE(day.report.find("JUL13-AM"), std::string::npos);
}

TEST(GeneratedReport, IsDeterministicPerSeed) {
    const common::Date date = common::MakeDate(2012, 12, 7);
    GeneratorOptions a;
    a.seed = 11;
    GeneratorOptions b = a;
    b.seed = 12;
    EXPECT_EQ(ReportGenerator(a).Generate(date).raw_report,
              ReportGenerator(a).Generate(date).raw_report);
    EXPECT_NE(ReportGenerator(a).Generate(date).raw_report,
              ReportGenerator(b).Generate(date).raw_report);
}

// Open interest carries over: the change printed on a day is the difference to the open
// interest printed the trading day before, whichever days were generated.
TEST(GeneratedReport, ChangeOfOpenInterestAgreesWithTheDayBefore) {
    GeneratorOptions options;
    options.seed = 21;
    options.duplicates = false;
    options.blank_lines = false;
    const ReportGenerator generator(options);
    // Friday and the Monday after, and across the Thanksgiving holiday.
    const std::vector<std::pair<common::Date, common::Date>> pairs{
        {common::MakeDate(2012, 11, 30), common::MakeDate(2012, 12, 3)},
        {common::MakeDate(2012, 11, 21), common::MakeDate(2012, 11, 23)}};
    for (const auto& [before_day, after_day] : pairs) {
        const GeneratedDay before = generator.Generate(before_day);
        const GeneratedDay after = generator.Generate(after_day);
        std::size_t compared = 0;
        std::size_t changed = 0;
        for (const std::string& symbol : kSymbols) {
            std::map<std::tuple<std::string, std::string, std::string>, long> oi_before;
            for (const ReportRow& row : before.rows.at(symbol)) {
                oi_before[{row.option, row.contract, row.strike}] = std::stol(row.oi);
            }
            for (const ReportRow& row : after.rows.at(symbol)) {
                const auto it = oi_before.find({row.option, row.contract, row.strike});
                const long previous = it == oi_before.end() ? 0 : it->second;
                const long oi = std::stol(row.oi);
                const long doi = std::stol(row.doi);
                ASSERT_EQ(doi, oi > previous ? oi - previous : previous - oi)
                    << symbol << " " << row.contract << " " << row.strike;
                ASSERT_EQ(row.sign, oi > previous ? "1" : (oi < previous ? "-1" : ""));
                ASSERT_GE(std::stol(row.volume), doi);
                ++compared;
                changed += doi != 0 ? 1 : 0;
            }
        }
        EXPECT_GT(compared, 1000u);
        EXPECT_GT(changed, compared / 10);
    }
}

TEST(GeneratedReport, ForwardPointLinesCarryTheValueFromTheFifthCharacter) {
    const GeneratedDay day = ReportGenerator().Generate(common::MakeDate(2012, 12, 3));
    TextLines lines(day.raw_forward_points);
    std::string_view line;
    std::map<std::string, std::string> found;
    while (lines.NextLine(line)) {
        for (const std::string& symbol : kSymbols) {
            if (line.find(symbol) != std::string_view::npos && found.count(symbol) == 0) {
                found[symbol] = std::string(line.substr(4));
            }
        }
    }
    ASSERT_EQ(found.size(), kSymbols.size());
    for (const std::string& symbol : kSymbols) {
        EXPECT_EQ(found[symbol], day.forward_point_texts.at(symbol));
    }
    EXPECT_EQ(day.forward_point_texts.size(), kSymbols.size());
}

TEST(GeneratedReport, FilesWrittenReadBackTheSame) {
    test::TempFolder folder;
    const GeneratedDay day = ReportGenerator().Generate(common::MakeDate(2012, 12, 3));
    std::string error;
    ASSERT_TRUE(reportgen::WriteProgramFolderDay(day, folder / "home", &error)) << error;
    ASSERT_TRUE(reportgen::WriteServerDay(day, folder / "server", &error)) << error;
    const common::ProgramFolder home(folder / "home");
    EXPECT_EQ(test::ReadFile(home.ReportFile(day.day)), day.report);
    EXPECT_EQ(test::ReadFile(home.ForwardPointFile(day.day)), day.forward_points);
    EXPECT_TRUE(std::filesystem::is_directory(home.Db()));
    EXPECT_EQ(test::ReadFile(folder / "server" / "toster" / "CUR_20121203.TXT"), day.raw_report);
    EXPECT_EQ(test::ReadFile(folder / "server" / "fp" / "20121203.txt"), day.raw_forward_points);

    std::vector<ReportRow> rows;
    const auto summary = ParseReportFile(home.ReportFile(day.day), "CHF", "03.12.2012",
                                         [&rows](const ReportRow& row) { rows.push_back(row); });
    ASSERT_TRUE(summary.has_value());
    EXPECT_EQ(rows, day.rows.at("CHF"));
}

TEST(GeneratedReport, TradingDaysSkipWeekendsAndHolidays) {
    const auto days =
        reportgen::TradingDays(common::MakeDate(2012, 12, 21), common::MakeDate(2013, 1, 2));
    std::vector<std::string> keys;
    for (const common::Date day : days) {
        keys.push_back(common::DateKey(day));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"20121221", "20121224", "20121226", "20121227",
                                              "20121228", "20121231", "20130102"}));
}

}  // namespace
}  // namespace zarvex::import
