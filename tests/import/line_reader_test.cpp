#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "import/line_splitter.h"
#include "import/report_file.h"
#include "support/case_name.h"
#include "support/temp_folder.h"

namespace zarvex::import {
namespace {

using Lines = std::vector<std::string>;

// The rule written the plain way, to hold the readers against.
Lines ReferenceLines(const std::string& text) {
    Lines lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || c == '\0') {
            lines.push_back(current.substr(0, kMaxLineLength));
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            current.push_back(c);
            open = true;
        }
    }
    if (open) {
        lines.push_back(current.substr(0, kMaxLineLength));
    }
    return lines;
}

Lines MemoryLines(const std::string& text) {
    Lines lines;
    TextLines reader(text);
    std::string_view line;
    while (reader.NextLine(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

Lines FileLines(const std::string& text) {
    test::TempFolder folder;
    const auto path = folder / "report.txt";
    test::WriteFile(path, text);
    ReportFile file(path);
    EXPECT_TRUE(file.IsOpen());
    Lines lines;
    std::string_view line;
    while (file.NextLine(line)) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(file.Failed());
    return lines;
}

struct SplitCase {
    std::string text;
    Lines lines;
};

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

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << Visible(c.text);
}

class LineReaders : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineReaders, SplitAtCrLfCrLfAndNul) {
    EXPECT_EQ(MemoryLines(GetParam().text), GetParam().lines);
    EXPECT_EQ(FileLines(GetParam().text), GetParam().lines);
    EXPECT_EQ(ReferenceLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaders,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\n", {"a"}},
                      SplitCase{"a\r\nb", {"a", "b"}}, SplitCase{"a\rb\nc", {"a", "b", "c"}},
                      SplitCase{"a\r\r\nb", {"a", "", "b"}}, SplitCase{"a\n\rb", {"a", "", "b"}},
                      SplitCase{"a\n\r", {"a", ""}}, SplitCase{"\r\n", {""}},
                      SplitCase{"\n\n", {"", ""}}, SplitCase{std::string("\0", 1), {""}},
                      SplitCase{std::string("a\r\n\0", 4), {"a", ""}},
                      SplitCase{std::string("a\0\nb", 4), {"a", "", "b"}},
                      SplitCase{"a\tb\x0b\x0c\x01z\r\n", {"a\tb\x0b\x0c\x01z"}},
                      SplitCase{"\xff\xfe\x80\n", {"\xff\xfe\x80"}}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.text); });

TEST(LineReaders, CutOverlongLinesAndGoOnAfterTheirEnd) {
    const std::string text = std::string(200000, 'x') + "\r\nabc\r" + std::string(70000, 'y');
    const Lines expected{std::string(kMaxLineLength, 'x'), "abc", std::string(kMaxLineLength, 'y')};
    EXPECT_EQ(MemoryLines(text), expected);
    EXPECT_EQ(FileLines(text), expected);
}

TEST(LineReaders, AgreeWithTheReferenceOnRandomText) {
    // Large enough to cross the file reader's buffer several times, with CR LF pairs and
    // overlong lines landing on its edges somewhere.
    std::mt19937 random(20121207);
    for (int round = 0; round < 12; ++round) {
        std::string text;
        const std::size_t size = 100000 + random() % 300000;
        while (text.size() < size) {
            const unsigned pick = random() % 100;
            if (pick < 8) {
                text += "\r\n";
            } else if (pick < 11) {
                text.push_back('\r');
            } else if (pick < 14) {
                text.push_back('\n');
            } else if (pick < 15) {
                text.push_back('\0');
            } else if (pick < 16 && round % 3 == 0) {
                text.append(kMaxLineLength - 2 + random() % 5, 'L');
            } else {
                text.append(1 + random() % 40, static_cast<char>('a' + random() % 26));
            }
        }
        const Lines expected = ReferenceLines(text);
        ASSERT_EQ(MemoryLines(text), expected) << "round " << round;
        ASSERT_EQ(FileLines(text), expected) << "round " << round;
    }
}

TEST(ReportFile, DoesNotOpenMissingFilesOrFolders) {
    test::TempFolder folder;
    EXPECT_FALSE(ReportFile(folder / "missing.txt").IsOpen());
    EXPECT_FALSE(ReportFile(folder.Path()).IsOpen());
    std::string_view line;
    ReportFile missing(folder / "missing.txt");
    EXPECT_FALSE(missing.NextLine(line));
}

}  // namespace
}  // namespace zarvex::import
