#include "common/text.h"

#include <gtest/gtest.h>

#include <clocale>

namespace zarvex::common {
namespace {

TEST(Text, TrimRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  DEC12   "), "DEC12");
    EXPECT_EQ(Trim("\tA\t"), "\tA\t");
    EXPECT_EQ(Trim("    "), "");
    EXPECT_EQ(Trim(""), "");
}

TEST(Text, FixedAndShortNumbers) {
    EXPECT_EQ(FormatFixed(1.111, 4), "1.1110");
    EXPECT_EQ(FormatFixed(110.0899, 2), "110.09");
    EXPECT_EQ(FormatFixed(0.5, 0), "0");  // ties to even, as printf
    EXPECT_EQ(FormatFixed(-2.25, 1), "-2.2");
    EXPECT_EQ(FormatShort(1.25), "1.25");
    EXPECT_EQ(FormatShort(3.0), "3");
    EXPECT_EQ(FormatShort(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatShort(-0.0), "0");
    EXPECT_EQ(FormatShort(1e-12), "0");
    EXPECT_EQ(FormatFixed(1.0 / 0.0, 2), "0.00");
}

TEST(Text, NumbersIgnoreTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
        std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr) {
        EXPECT_EQ(FormatFixed(1.5, 2), "1.50");
        EXPECT_DOUBLE_EQ(ToDouble("1.5"), 1.5);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Text, LenientReadersActLikeAtof) {
    EXPECT_DOUBLE_EQ(ToDouble("  -12.35"), -12.35);
    EXPECT_DOUBLE_EQ(ToDouble("+0.5x"), 0.5);
    EXPECT_DOUBLE_EQ(ToDouble("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ToDouble(""), 0.0);
    EXPECT_DOUBLE_EQ(ToDouble("inf"), 0.0);
    EXPECT_DOUBLE_EQ(ToDouble("1e999"), 0.0);
    EXPECT_EQ(ToInt(" 42abc"), 42);
    EXPECT_EQ(ToInt("-7"), -7);
    EXPECT_EQ(ToInt("x"), 0);
    EXPECT_EQ(ToInt("99999999999999999999"), 0);
}

TEST(Text, StrictReaders) {
    EXPECT_EQ(ParseDouble(" 1.5 "), 1.5);
    EXPECT_FALSE(ParseDouble("1.5x"));
    EXPECT_FALSE(ParseDouble(""));
    EXPECT_FALSE(ParseDouble("nan"));
    EXPECT_EQ(ParseInt("+12"), 12);
    EXPECT_FALSE(ParseInt("12.0"));
}

TEST(Text, SplitAndCase) {
    const auto parts = Split("a,,b", ',');
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], "");
    EXPECT_EQ(ToUpperAscii("fp_20120101.txt"), "FP_20120101.TXT");
    EXPECT_EQ(ToLowerAscii("JLY"), "jly");
    EXPECT_TRUE(StartsWith("CUR_1", "CUR_"));
    EXPECT_TRUE(EndsWith("a.TXT", ".TXT"));
    EXPECT_TRUE(Contains("xEURx", "EUR"));
}

}  // namespace
}  // namespace zarvex::common
