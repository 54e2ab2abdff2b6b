#include "settings/template_parts.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/pcre_pattern.h"
#include "common/text.h"

namespace zarvex::settings {
namespace {

using Texts = std::vector<std::string_view>;
using Splitter = std::vector<std::string_view> (*)(std::string_view);

// A piece as offset and length in the text, so that two splits agree on where, not only what.
std::vector<std::pair<std::size_t, std::size_t>> Places(std::string_view text,
                                                        const Texts& pieces) {
    std::vector<std::pair<std::size_t, std::size_t>> places;
    for (std::string_view piece : pieces) {
        places.emplace_back(static_cast<std::size_t>(piece.data() - text.data()), piece.size());
    }
    return places;
}

Texts ByPcre(std::string_view pattern, std::string_view text, bool trim) {
    const common::PcrePattern compiled(pattern, common::PcrePattern::kDotAll);
    Texts texts = compiled.FindAllTexts(text).value();
    if (trim) {
        for (std::string_view& t : texts) {
            t = common::Trim(t);
        }
    }
    return texts;
}

struct SplitterCase {
    const char* name;
    std::string_view pattern;
    Splitter split;
    bool trimmed;
    std::string alphabet;
};

// Every splitter must give what the PCRE2 pattern gives: on tricky texts written by hand and
// on many random texts over the characters that matter to it.
class SplitterAgreesWithPcre : public testing::TestWithParam<SplitterCase> {};

TEST_P(SplitterAgreesWithPcre, OnHandPickedAndRandomTexts) {
    const SplitterCase& c = GetParam();
    std::vector<std::string> texts{"",
                                   "{",
                                   "}",
                                   "{}",
                                   "{}}",
                                   "{{}",
                                   "}{",
                                   "{a}{}{,}",
                                   "{ a}{b }{ }",
                                   "{a}\r{b}\r\n{c}",
                                   "{a}{b}{c}\n",
                                   "{a}\n",
                                   "{\n",
                                   "\n",
                                   "strike, price,,oi,",
                                   ",a,\n",
                                   "a,\n",
                                   "oi>10\tAND  sign > 0\r\n",
                                   "{SYM}_{YEAR}{MONTH}{DAY}",
                                   "{strike,price}{oi>10 AND delta>0}{,}",
                                   std::string("{\0}", 3),
                                   "{\xD0\xA1}{\xC3\xA9,x}\v\f"};
    std::mt19937 random(20121207);
    std::uniform_int_distribution<std::size_t> length(0, 14);
    std::uniform_int_distribution<std::size_t> pick(0, c.alphabet.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string text(length(random), ' ');
        for (char& ch : text) {
            ch = c.alphabet[pick(random)];
        }
        texts.push_back(std::move(text));
    }
    for (const std::string& text : texts) {
        const Texts expected = ByPcre(c.pattern, text, c.trimmed);
        const Texts actual = c.split(text);
        ASSERT_EQ(Places(text, actual), Places(text, expected))
            << c.name << " on \"" << testing::PrintToString(text) << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(
    TemplateParts, SplitterAgreesWithPcre,
    testing::Values(
        SplitterCase{"NonBlankBraceContents", kNonBlankBracePattern, NonBlankBraceContents, false,
                     "{}{} a\r\n\t,"},
        SplitterCase{"BraceContents", kBracePattern, BraceContents, false, "{}{} a\r\n,"},
        SplitterCase{"TemplateLines", kTemplateLinePattern, TemplateLines, false, "{}}{\r\r\n a"},
        SplitterCase{"ListItems", kListItemPattern, ListItems, false, ",,, a\n\n\tb"},
        SplitterCase{"ConditionTokens", kConditionTokenPattern, ConditionTokens, true,
                     "  \t\n\r\v\fa<>"}),
    [](const testing::TestParamInfo<SplitterCase>& param) {
        return std::string(param.param.name);
    });

TEST(TemplateParts, WhiteSpaceIsWhatPcreCallsWhiteSpace) {
    const common::PcrePattern space(R"(\s)");
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        common::PcreMatch match;
        const bool pcre = space.Find(text, 0, match) == common::PcreOutcome::kFound;
        EXPECT_EQ(IsPcreSpace(text[0]), pcre) << "byte " << byte;
    }
}

TEST(TemplateParts, UnloadPartsOfTheUsualTemplates) {
    EXPECT_EQ(BraceContents("{strike,price,delta}{oi>10 AND delta>0 AND price>0}{,}"),
              (Texts{"strike,price,delta", "oi>10 AND delta>0 AND price>0", ","}));
    EXPECT_EQ(BraceContents("x{strike}y{ }z{;;}"), (Texts{"strike", " ", ";;"}));
    EXPECT_EQ(ListItems("strike, price"), Texts{"strike"});
}

// Texts that make the patterns scan to the end from every brace: the splitters stay linear.
TEST(TemplateParts, HugeTextsAreSplitInOnePass) {
    const std::size_t n = 200000;
    const std::string closing_first = std::string(n, '}') + std::string(n, '{');
    EXPECT_TRUE(NonBlankBraceContents(closing_first).empty());
    EXPECT_TRUE(BraceContents(closing_first).empty());
    EXPECT_EQ(TemplateLines(closing_first).size(), 1u);
    std::string open_only;
    for (std::size_t i = 0; i < n; ++i) {
        open_only += "{a";
    }
    EXPECT_TRUE(BraceContents(open_only).empty());
    EXPECT_EQ(TemplateLines(open_only).size(), 1u);
    EXPECT_EQ(ListItems(std::string(n, ',') + "a").size(), n);  // ",", ",", ... ",a"
    EXPECT_EQ(ConditionTokens(std::string(n, 'a') + " b").size(), 2u);
}

}  // namespace
}  // namespace zarvex::settings
