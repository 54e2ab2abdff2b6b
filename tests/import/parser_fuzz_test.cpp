// Random and mutated input through the parser: nothing may crash, every row must be of the
// shape the callers rely on, and the parser must agree with a plain re-statement of its
// rules written without any of its shortcuts.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/date.h"
#include "common/text.h"
#include "import/line_splitter.h"
#include "import/parse_report.h"
#include "reportgen/report_generator.h"
#include "support/temp_folder.h"

namespace zarvex::import {
namespace {

struct Outcome {
    std::vector<ReportRow> rows;
    bool lines_read = false;
    bool finished = false;
};

// The rules, the slow and obvious way.
Outcome Reference(const std::string& text, const std::string& symbol, const std::string& day) {
    Outcome out;
    const std::string equals(61, '=');
    const std::string dashes(61, '-');
    const std::vector<std::string> months{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    bool section = false;
    bool block = false;
    std::string option;
    std::string contract;
    std::string expiration;
    std::size_t count = 0;
    TextLines lines(text);
    std::string_view view;
    while (lines.NextLine(view)) {
        const std::string line(view);
        ++count;
        if (!section && line.find(symbol) != std::string::npos) {
            section = true;
            block = false;
            const std::string trimmed = common::TrimCopy(line);
            option =
                common::TrimCopy(trimmed.size() > 4 ? trimmed.substr(trimmed.size() - 4) : trimmed);
        }
        if (section && line.find(equals) != std::string::npos) {
            if (option == "PUT") {
                out.finished = true;
                out.lines_read = true;
                return out;
            }
            section = false;
        }
        if (!section) {
            continue;
        }
        if (block && line.find(dashes) != std::string::npos) {
            block = false;
        }
        if (block) {
            auto field = [&line](std::size_t first, std::size_t width) {
                return first - 1 < line.size() ? common::TrimCopy(line.substr(first - 1, width))
                                               : std::string();
            };
            ReportRow row;
            row.strike = field(1, 8);
            if (symbol == "JPY") {
                row.strike = common::FormatShort(common::ToDouble(row.strike) * 100.0);
            }
            row.price = field(11, 8);
            row.delta = field(21, 8);
            row.volume = field(31, 8);
            row.oi = field(41, 8);
            row.doi = field(51, 8);
            row.sign = field(61, 2);
            if (row.sign == "-") {
                row.sign = "-1";
            } else if (row.sign == "+") {
                row.sign = "1";
            }
            row.symb = symbol;
            row.option = option;
            row.contract = contract;
            row.expiration = expiration;
            row.date = day;
            out.rows.push_back(row);
        } else {
            bool month = false;
            for (const auto& m : months) {
                month = month || line.find(m) != std::string::npos;
            }
            if (month) {
                const std::string trimmed = common::TrimCopy(line);
                contract = trimmed.substr(0, 8);
                const std::string tail =
                    trimmed.size() > 8 ? trimmed.substr(trimmed.size() - 8) : trimmed;
                const common::Date date = common::ParseDate(tail, "%yyyy%mm%dd");
                expiration = date == common::kInvalidDate ? "" : common::DayText(date);
                block = true;
            }
        }
        out.lines_read = true;
    }
    if (count > 0 && !section) {
        out.lines_read = true;
    }
    return out;
}

Outcome Actual(const std::string& text, const std::string& symbol, const std::string& day) {
    Outcome out;
    const ParseSummary summary = ParseReportText(
        text, symbol, day, [&out](const ReportRow& row) { out.rows.push_back(row); });
    out.lines_read = summary.lines_read;
    out.finished = summary.finished;
    return out;
}

void ExpectSaneRows(const Outcome& outcome, const std::string& symbol, const std::string& day) {
    for (const ReportRow& row : outcome.rows) {
        if (symbol != "JPY") {
            ASSERT_LE(row.strike.size(), 8u);
        }
        for (const std::string* field :
             {&row.price, &row.delta, &row.volume, &row.oi, &row.doi, &row.contract}) {
            ASSERT_LE(field->size(), 8u);
        }
        ASSERT_LE(row.sign.size(), 2u);
        ASSERT_LE(row.option.size(), 4u);
        ASSERT_TRUE(row.expiration.empty() ||
                    common::ParseDate(row.expiration, "%dd.%mm.%yyyy") != common::kInvalidDate)
            << row.expiration;
        ASSERT_EQ(row.symb, symbol);
        ASSERT_EQ(row.date, day);
    }
}

// Bytes that matter to the parser, mixed with noise.
std::string RandomText(std::mt19937& random) {
    static const std::vector<std::string> pieces{"EUR",
                                                 "JPY",
                                                 "CALL",
                                                 " PUT",
                                                 "PUT",
                                                 "DEC12-AM",
                                                 "JUL",
                                                 "JLY",
                                                 "20121207",
                                                 "0.009850",
                                                 "1.2950",
                                                 " +",
                                                 " -",
                                                 "  ",
                                                 "\r\n",
                                                 "\r",
                                                 "\n",
                                                 std::string(1, '\0'),
                                                 std::string(61, '='),
                                                 std::string(61, '-'),
                                                 std::string(60, '='),
                                                 "          ",
                                                 "\t",
                                                 "\xff\xfe",
                                                 "\x80"};
    std::string text;
    const std::size_t target = random() % 3000;
    while (text.size() < target) {
        if (random() % 3 == 0) {
            text.push_back(static_cast<char>(random() % 256));
        } else {
            text += pieces[random() % pieces.size()];
        }
    }
    return text;
}

std::string Mutate(std::string text, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = random() % text.size();
        switch (random() % 5) {
            case 0:
                text[at] = static_cast<char>(random() % 256);
                break;
            case 1:
                text.erase(at, random() % 200);
                break;
            case 2:
                text.insert(at, text.substr(random() % text.size(), random() % 300));
                break;
            case 3:
                text.resize(at);  // a report cut short
                break;
            default:
                text.insert(at, std::string(1 + random() % 100, static_cast<char>(random() % 256)));
        }
    }
    return text;
}

TEST(ParserFuzz, RandomBytesAgreeWithTheRules) {
    std::mt19937 random(4217);
    const std::vector<std::string> symbols{"EUR", "JPY", "PUT", "="};
    for (int round = 0; round < 1500; ++round) {
        const std::string text = RandomText(random);
        const std::string& symbol = symbols[random() % symbols.size()];
        const Outcome actual = Actual(text, symbol, "03.12.2012");
        ExpectSaneRows(actual, symbol, "03.12.2012");
        const Outcome expected = Reference(text, symbol, "03.12.2012");
        ASSERT_EQ(actual.rows, expected.rows) << "round " << round;
        ASSERT_EQ(actual.lines_read, expected.lines_read) << "round " << round;
        ASSERT_EQ(actual.finished, expected.finished) << "round " << round;
        // Every fed line counts: the flag is exactly "the file held a line".
        ASSERT_EQ(actual.lines_read, !text.empty());
    }
}

TEST(ParserFuzz, MutatedReportsAgreeWithTheRules) {
    reportgen::GeneratorOptions options;
    options.strikes = 8;
    const std::string report =
        reportgen::ReportGenerator(options).Generate(common::MakeDate(2013, 6, 24)).report;
    std::mt19937 random(1207);
    const std::vector<std::string> symbols{"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};
    for (int round = 0; round < 150; ++round) {
        const std::string text = Mutate(report, random);
        const std::string& symbol = symbols[random() % symbols.size()];
        const Outcome actual = Actual(text, symbol, "24.06.2013");
        ExpectSaneRows(actual, symbol, "24.06.2013");
        const Outcome expected = Reference(text, symbol, "24.06.2013");
        ASSERT_EQ(actual.rows, expected.rows) << "round " << round;
        ASSERT_EQ(actual.lines_read, expected.lines_read);
        ASSERT_EQ(actual.finished, expected.finished);
    }
}

TEST(ParserFuzz, FileAndMemoryPassesAgree) {
    std::mt19937 random(77);
    test::TempFolder folder;
    const auto path = folder / "fuzz.txt";
    for (int round = 0; round < 40; ++round) {
        std::string text = RandomText(random);
        if (round % 4 == 0) {
            text += std::string(150000, static_cast<char>('A' + round % 26));  // one huge line
        }
        test::WriteFile(path, text);
        const Outcome memory = Actual(text, "EUR", "03.12.2012");
        Outcome file;
        const auto summary = ParseReportFile(
            path, "EUR", "03.12.2012", [&file](const ReportRow& row) { file.rows.push_back(row); });
        ASSERT_TRUE(summary.has_value());
        ASSERT_EQ(file.rows, memory.rows) << "round " << round;
        ASSERT_EQ(summary->lines_read, memory.lines_read);
        ASSERT_EQ(summary->finished, memory.finished);
    }
}

TEST(ParserFuzz, HugeLinesInsideABlockStayBounded) {
    // A 20 MB line of a strike-looking pattern: the parser sees it cut to the line limit.
    std::string text = "EUR CALL\r\nDEC12-AM 20121207\r\n";
    for (int i = 0; i < 20 * 1024 * 1024 / 10; ++i) {
        text += "1.2345 + =";
    }
    text += "\r\n1.3000\r\n";
    const Outcome actual = Actual(text, "EUR", "03.12.2012");
    ASSERT_EQ(actual.rows.size(), 2u);
    EXPECT_EQ(actual.rows[0].strike, "1.2345 +");
    EXPECT_EQ(actual.rows[1].strike, "1.3000");
}

}  // namespace
}  // namespace zarvex::import
