#include "import/report_parser.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "import/parse_report.h"
#include "support/case_name.h"

namespace zarvex::import {
namespace {

// Parameter names for test listings: printable, without the bytes of the structs.
std::string Visible(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f) {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        }
    }
    return "'" + out + "'";
}

const std::string kEquals61(61, '=');
const std::string kDashes61(61, '-');

// A strike line with each field placed at its column.
std::string StrikeLine(const std::string& strike, const std::string& price,
                       const std::string& delta, const std::string& volume, const std::string& oi,
                       const std::string& doi, const std::string& sign,
                       const std::string& tail = "") {
    std::string line(62, ' ');
    auto put = [&line](std::size_t column, const std::string& text) {
        line.replace(column - 1, text.size(), text);
    };
    put(1, strike);
    put(11, price);
    put(21, delta);
    put(31, volume);
    put(41, oi);
    put(51, doi);
    put(61, sign);
    return line + tail;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

struct Parsed {
    std::vector<ReportRow> rows;
    ParseSummary summary;
};

Parsed Parse(const std::vector<std::string>& lines, const std::string& symbol = "EUR",
             const std::string& day = "08.06.2012") {
    Parsed parsed;
    parsed.summary = ParseReportText(
        Join(lines), symbol, day, [&parsed](const ReportRow& row) { parsed.rows.push_back(row); });
    return parsed;
}

// The small report of the description: two CALL rows, one PUT row, then lines never read.
std::vector<std::string> SmallReport() {
    return {
        "EUR EURO FX OPTIONS CALL",
        "JUN12-AM  EURO FX AMERICAN   20120608",
        StrikeLine("1.2950", "0.0123", "0.520", "10", "1500", "30", " +"),
        StrikeLine("1.3000", "0.0100", "0.480", "5", "900", "10", " -"),
        kDashes61,
        kEquals61,
        "EUR EURO FX OPTIONS PUT",
        "JUN12-AM  EURO FX AMERICAN   20120608",
        StrikeLine("1.2950", "0.0090", "0.480", "7", "800", "0", "  "),
        kDashes61,
        kEquals61,
        "EUR EURO FX OPTIONS CALL",
        "JUL12-AM  EURO FX AMERICAN   20120706",
        StrikeLine("1.4000", "0.0001", "0.010", "1", "1", "1", " +"),
    };
}

TEST(ReportParser, SmallReportYieldsThreeRowsAndStopsAtThePutSectionEnd) {
    const Parsed parsed = Parse(SmallReport());
    ASSERT_EQ(parsed.rows.size(), 3u);
    EXPECT_EQ(parsed.rows[0], (ReportRow{"1.2950", "0.0123", "0.520", "10", "1500", "30", "1",
                                         "EUR", "CALL", "JUN12-AM", "08.06.2012", "08.06.2012"}));
    EXPECT_EQ(parsed.rows[1].strike, "1.3000");
    EXPECT_EQ(parsed.rows[1].sign, "-1");
    EXPECT_EQ(parsed.rows[1].option, "CALL");
    EXPECT_EQ(parsed.rows[2], (ReportRow{"1.2950", "0.0090", "0.480", "7", "800", "0", "", "EUR",
                                         "PUT", "JUN12-AM", "08.06.2012", "08.06.2012"}));
    EXPECT_TRUE(parsed.summary.finished);
    EXPECT_TRUE(parsed.summary.lines_read);
    EXPECT_EQ(parsed.summary.lines, 11u) << "the lines after the PUT section end are not read";
}

TEST(ReportParser, IgnoresLinesFedAfterFinishing) {
    ReportParser parser("EUR", "08.06.2012");
    for (const auto& line : SmallReport()) {
        parser.FeedLine(line);
    }
    EXPECT_TRUE(parser.Finished());
    EXPECT_FALSE(parser.FeedLine(StrikeLine("9", "9", "9", "9", "9", "9", " +")));
    EXPECT_EQ(parser.LineCount(), 11u);
}

TEST(ReportParser, StartResetsEverything) {
    ReportParser parser("EUR", "08.06.2012");
    for (const auto& line : SmallReport()) {
        parser.FeedLine(line);
    }
    parser.Start("GBP", "09.06.2012");
    EXPECT_FALSE(parser.Finished());
    EXPECT_FALSE(parser.LinesRead());
    EXPECT_EQ(parser.LineCount(), 0u);
    parser.FeedLine("GBP BRITISH POUND CALL");
    parser.FeedLine("SEP12-AM x 20120907");
    ASSERT_TRUE(parser.FeedLine(StrikeLine("1.5", "0.1", "0.5", "1", "2", "3", " +")));
    EXPECT_EQ(parser.Row().symb, "GBP");
    EXPECT_EQ(parser.Row().date, "09.06.2012");
    EXPECT_EQ(parser.Row().contract, "SEP12-AM");
}

struct SignCase {
    std::string field;  // columns 61-62 and whatever follows
    std::string sign;
};

void PrintTo(const SignCase& c, std::ostream* os) {
    *os << Visible(c.field);
}

class ReportParserSign : public ::testing::TestWithParam<SignCase> {};

TEST_P(ReportParserSign, RewritesOnlyALonePlusOrMinus) {
    const Parsed parsed = Parse({"EUR CALL", "DEC12-AM 20121207",
                                 StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", GetParam().field)});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].sign, GetParam().sign);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportParserSign,
    ::testing::Values(SignCase{" -", "-1"}, SignCase{" +", "1"}, SignCase{"  ", ""},
                      SignCase{"- ", "-1"}, SignCase{"+ ", "1"}, SignCase{" 0", "0"},
                      SignCase{" 1", "1"}, SignCase{"+-", "+-"}, SignCase{"--", "--"},
                      SignCase{" -1", "-1"}, SignCase{"\t+", "\t+"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.field); });

TEST(ReportParser, SignBeyondAShortLineIsEmpty) {
    const Parsed parsed = Parse({"EUR CALL", "DEC12-AM 20121207", "1.3000    0.0100"});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].price, "0.0100");
    EXPECT_EQ(parsed.rows[0].delta, "");
    EXPECT_EQ(parsed.rows[0].sign, "");
}

struct StrikeCase {
    std::string symbol;
    std::string field;
    std::string strike;
};

void PrintTo(const StrikeCase& c, std::ostream* os) {
    *os << c.symbol << " " << Visible(c.field);
}

class ReportParserStrike : public ::testing::TestWithParam<StrikeCase> {};

TEST_P(ReportParserStrike, RescalesOnlyTheYen) {
    const StrikeCase& c = GetParam();
    const Parsed parsed = Parse({c.symbol + " CALL", "DEC12-AM 20121207",
                                 StrikeLine(c.field, "0.1", "0.5", "1", "2", "3", " +")},
                                c.symbol);
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].strike, c.strike);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportParserStrike,
    ::testing::Values(StrikeCase{"JPY", "0.009850", "0.985"}, StrikeCase{"JPY", "0.0100", "1"},
                      StrikeCase{"JPY", "0.012250", "1.225"}, StrikeCase{"JPY", "0.0123", "1.23"},
                      StrikeCase{"JPY", "abc", "0"}, StrikeCase{"JPY", "", "0"},
                      StrikeCase{"JPY", "-0.01", "-1"}, StrikeCase{"JPY", "1e308", "0"},
                      StrikeCase{"EUR", "0.009850", "0.009850"}, StrikeCase{"EUR", "abc", "abc"},
                      StrikeCase{"jpy", "0.009850", "0.009850"},
                      StrikeCase{"CHF", "1.0500", "1.0500"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.symbol); });

TEST(ReportParser, CutsEachFieldAtItsColumnsAndTrimsBlanksOnly) {
    // Columns 9-10, 19-20, ... and everything after 62 are not part of any field.
    const std::string line = std::string("12345678") + "XX" + "1.111111" + "YY" + "0.500000" +
                             "ZZ" + "      77" + "WW" + "    8888" + "VV" + "   -9999" + "UU" +
                             " +" + "TAIL";
    const Parsed parsed = Parse({"EUR CALL", "DEC12-AM 20121207", line});
    ASSERT_EQ(parsed.rows.size(), 1u);
    const ReportRow& row = parsed.rows[0];
    EXPECT_EQ(row.strike, "12345678");
    EXPECT_EQ(row.price, "1.111111");
    EXPECT_EQ(row.delta, "0.500000");
    EXPECT_EQ(row.volume, "77");
    EXPECT_EQ(row.oi, "8888");
    EXPECT_EQ(row.doi, "-9999");
    EXPECT_EQ(row.sign, "1");

    const Parsed tabs =
        Parse({"EUR CALL", "DEC12-AM 20121207", std::string("\t1.3  \t ") + "  0.1"});
    ASSERT_EQ(tabs.rows.size(), 1u);
    EXPECT_EQ(tabs.rows[0].strike, "\t1.3  \t");
    EXPECT_EQ(tabs.rows[0].price, "0.1");
}

TEST(ReportParser, BlankLineInsideABlockIsARowOfEmptyFields) {
    const Parsed parsed = Parse({"EUR CALL", "DEC12-AM 20121207", "", kDashes61, kEquals61});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0], (ReportRow{"", "", "", "", "", "", "", "EUR", "CALL", "DEC12-AM",
                                         "07.12.2012", "08.06.2012"}));
    const Parsed yen = Parse({"JPY CALL", "DEC12-AM 20121207", ""}, "JPY");
    ASSERT_EQ(yen.rows.size(), 1u);
    EXPECT_EQ(yen.rows[0].strike, "0");
}

struct ContractCase {
    std::string line;
    std::string contract;
    std::string expiration;
};

void PrintTo(const ContractCase& c, std::ostream* os) {
    *os << Visible(c.line);
}

class ReportParserContract : public ::testing::TestWithParam<ContractCase> {};

TEST_P(ReportParserContract, TakesTheFirstAndLastEightCharactersOfTheTrimmedLine) {
    const ContractCase& c = GetParam();
    const Parsed parsed =
        Parse({"EUR CALL", c.line, StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +")});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].contract, c.contract);
    EXPECT_EQ(parsed.rows[0].expiration, c.expiration);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportParserContract,
    ::testing::Values(ContractCase{"   DEC12-AM  EURO FX   EXPIRES 20121207   ", "DEC12-AM",
                                   "07.12.2012"},
                      ContractCase{"JAN13     EURO FX 20130111", "JAN13   ", "11.01.2013"},
                      ContractCase{"JAN13", "JAN13", ""},
                      ContractCase{"xxJUNxxxxxxxx 20121332", "xxJUNxxx", ""},
                      ContractCase{"DEC12-AM 2012-12-7", "DEC12-AM", ""},
                      ContractCase{"DEC12-AM 20120229", "DEC12-AM", "29.02.2012"},
                      ContractCase{"DEC12-AM 20130229", "DEC12-AM", ""},
                      ContractCase{"DEC12-AM 20120230", "DEC12-AM", ""},
                      ContractCase{"DEC12-AM 20120229x", "DEC12-AM", ""},
                      ContractCase{"SEP12-AM 20120907", "SEP12-AM", "07.09.2012"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.line); });

TEST(ReportParser, ContractLineNeedsAnUpperCaseMonth) {
    const Parsed parsed =
        Parse({"EUR CALL", "Dec12-AM 20121207", "JLY13-AM 20130705",
               StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +"), "JUL13-AM 20130705",
               StrikeLine("1.4", "0.1", "0.5", "1", "2", "3", " +")});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].strike, "1.4");
    EXPECT_EQ(parsed.rows[0].contract, "JUL13-AM");
}

TEST(ReportParser, OptionTypeIsTheTailOfTheTrimmedHeader) {
    const Parsed parsed =
        Parse({"  EUR EURO FX OPTIONS       CALL    ", "DEC12-AM 20121207",
               StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +"), kDashes61, kEquals61,
               "EUR EURO FX OPTIONS PUT  ", "DEC12-AM 20121207",
               StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +"), kDashes61, kEquals61});
    ASSERT_EQ(parsed.rows.size(), 2u);
    EXPECT_EQ(parsed.rows[0].option, "CALL");
    EXPECT_EQ(parsed.rows[1].option, "PUT");
    EXPECT_TRUE(parsed.summary.finished);
}

TEST(ReportParser, SectionEndNeedsARunOfSixtyOneEquals) {
    const std::string equals60(60, '=');
    const std::string split = std::string(30, '=') + " " + std::string(31, '=');
    const std::string inside = "xx" + std::string(70, '=') + "yy";
    // 60, and 61 broken by a blank, do not close the PUT section: they are strike lines.
    const Parsed open = Parse({"EUR PUT", "DEC12-AM 20121207", equals60, split});
    EXPECT_EQ(open.rows.size(), 2u);
    EXPECT_FALSE(open.summary.finished);
    const Parsed closed = Parse({"EUR PUT", "DEC12-AM 20121207", inside, "EUR CALL"});
    EXPECT_TRUE(closed.summary.finished);
    EXPECT_EQ(closed.rows.size(), 0u);
    EXPECT_EQ(closed.summary.lines, 3u);
}

TEST(ReportParser, BlockEndNeedsARunOfSixtyOneDashes) {
    const std::string dashes60(60, '-');
    const Parsed parsed = Parse({"EUR CALL", "DEC12-AM 20121207", dashes60, "a" + kDashes61 + "b",
                                 StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +")});
    // The 60 dashes are a strike line; the 61 close the block; the strike line after it is
    // no row, as no contract line opened a block.
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].strike, "--------");
}

TEST(ReportParser, BlockEndLineMayOpenTheNextBlock) {
    const Parsed parsed = Parse({"EUR CALL", "DEC12-AM 20121207", kDashes61 + " MAR13-AM 20130308",
                                 StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +")});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].contract, "--------");
    EXPECT_EQ(parsed.rows[0].expiration, "08.03.2013");
}

TEST(ReportParser, HeaderWithAMonthOpensABlockAtOnce) {
    const Parsed parsed = Parse(
        {"EUR DEC12 OPTIONS 20121207 CALL", StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +")});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].contract, "EUR DEC1");
    // The header's last 8 characters are "207 CALL", no date.
    EXPECT_EQ(parsed.rows[0].expiration, "");
    EXPECT_EQ(parsed.rows[0].option, "CALL");
}

TEST(ReportParser, CallSectionEndKeepsTheBlockUntilTheNextHeader) {
    const Parsed parsed = Parse(
        {"EUR CALL", "DEC12-AM 20121207", StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +"),
         kEquals61, StrikeLine("1.4", "0.1", "0.5", "1", "2", "3", " +"),  // outside: skipped
         "EUR PUT", StrikeLine("1.5", "0.1", "0.5", "1", "2", "3", " +")});
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].strike, "1.3");
}

TEST(ReportParser, OtherSectionsAreSkippedUnlessALineHoldsTheSymbol) {
    const Parsed parsed = Parse({"GBP BRITISH POUND CALL", "DEC12-AM 20121207",
                                 StrikeLine("1.6", "0.1", "0.5", "1", "2", "3", " +"), kDashes61,
                                 kEquals61, "EUR CALL", "DEC12-AM 20121207",
                                 StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +"), kDashes61,
                                 kEquals61, "GBP BRITISH POUND CALL", "DEC12-AM NOT EUR 20121207",
                                 StrikeLine("1.7", "0.1", "0.5", "1", "2", "3", " +")});
    // The contract line of the second GBP section holds EUR and opens a section whose
    // option type is its tail; it is a contract line too, so its strike line is taken.
    ASSERT_EQ(parsed.rows.size(), 2u);
    EXPECT_EQ(parsed.rows[0].strike, "1.3");
    EXPECT_EQ(parsed.rows[1].strike, "1.7");
    EXPECT_EQ(parsed.rows[1].option, "1207");
}

TEST(ReportParser, PutSectionEndOnTheHeaderLineFinishesAtOnce) {
    const Parsed parsed = Parse({"EUR " + kEquals61 + " PUT", "DEC12-AM 20121207"});
    EXPECT_TRUE(parsed.summary.finished);
    EXPECT_EQ(parsed.summary.lines, 1u);
}

TEST(ReportParser, LinesReadFlag) {
    // No symbol anywhere: set only when the end of the file is reported.
    ReportParser parser("EUR", "08.06.2012");
    parser.FeedLine("GBP CALL");
    parser.FeedLine("DEC12-AM 20121207");
    EXPECT_FALSE(parser.LinesRead());
    parser.EndOfFile();
    EXPECT_TRUE(parser.LinesRead());

    // Empty file.
    ReportParser empty("EUR", "08.06.2012");
    empty.EndOfFile();
    EXPECT_FALSE(empty.LinesRead());
    EXPECT_FALSE(ParseReportText("", "EUR", "08.06.2012", {}).lines_read);

    // A file that ends inside a section keeps its rows and counts as read.
    const Parsed cut = Parse(
        {"EUR CALL", "DEC12-AM 20121207", StrikeLine("1.3", "0.1", "0.5", "1", "2", "3", " +")});
    EXPECT_EQ(cut.rows.size(), 1u);
    EXPECT_TRUE(cut.summary.lines_read);
    EXPECT_FALSE(cut.summary.finished);

    // A single empty line is a line.
    EXPECT_TRUE(ParseReportText("\r\n", "EUR", "08.06.2012", {}).lines_read);
}

TEST(ReportParser, InsideASectionTheFlagIsSetBeforeTheEnd) {
    ReportParser parser("EUR", "08.06.2012");
    parser.FeedLine("EUR CALL");
    EXPECT_TRUE(parser.LinesRead());
}

}  // namespace
}  // namespace zarvex::import
