#include "common/pcre_pattern.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/case_name.h"

namespace zarvex::common {
namespace {

using Texts = std::vector<std::string_view>;

Texts All(const PcrePattern& pattern, std::string_view subject, std::size_t group = 0) {
    auto texts = pattern.FindAllTexts(subject, group);
    EXPECT_TRUE(texts.has_value()) << pattern.Source();
    return texts.value_or(Texts{});
}

std::vector<std::size_t> Starts(const PcrePattern& pattern, std::string_view subject) {
    std::vector<std::size_t> starts;
    const std::vector<PcreMatch> matches = pattern.FindAll(subject).value();
    for (const PcreMatch& match : matches) {
        starts.push_back(match.Begin());
    }
    return starts;
}

TEST(PcrePattern, LookbehindOfAnEmptyGroupSplitsBraces) {
    const PcrePattern parts(R"((?<=(){)\S(.*?)(?=()}))", PcrePattern::kDotAll);
    EXPECT_EQ(All(parts, "{SYM}_{YEAR}"), (Texts{"SYM", "YEAR"}));
    // A content may start with "}" itself: "{}" swallows the next brace pair.
    EXPECT_EQ(All(parts, "{ SYM}{}{MONTH}"), (Texts{"}{MONTH"}));
    EXPECT_EQ(All(parts, "{a\r\nb}"), (Texts{"a\r\nb"}));  // "." takes line ends
    const PcrePattern items(R"((?<=(),|^)\S(.*?)(?=(),|$))");
    EXPECT_EQ(All(items, "strike, price"), (Texts{"strike"}));
    EXPECT_EQ(All(items, "strike,price,,oi"), (Texts{"strike", "price", ",oi"}));
}

TEST(PcrePattern, GroupsAreSizedByThePatternNotByWhatMatched) {
    const PcrePattern pattern("(a)|(b)(c)?");
    EXPECT_EQ(pattern.CaptureCount(), 3);
    PcreMatch match;
    ASSERT_EQ(pattern.Find("xa", 0, match), PcreOutcome::kFound);
    ASSERT_EQ(match.groups.size(), 4u);
    EXPECT_EQ(match.Text("xa", 1), "a");
    EXPECT_FALSE(match.groups[2].IsSet());
    EXPECT_FALSE(match.groups[3].IsSet());
    EXPECT_EQ(match.Text("xa", 3), "");
    EXPECT_EQ(match.Text("xa", 9), "");
    ASSERT_EQ(pattern.Find("b", 0, match), PcreOutcome::kFound);
    EXPECT_FALSE(match.groups[1].IsSet());
    EXPECT_EQ(match.Text("b", 2), "b");
}

TEST(PcrePattern, SearchFromAnOffsetStillSeesWhatLiesBefore) {
    const PcrePattern after_brace("(?<={)x");
    PcreMatch match;
    ASSERT_EQ(after_brace.Find("{x{x", 2, match), PcreOutcome::kFound);
    EXPECT_EQ(match.Begin(), 3u);
    ASSERT_EQ(after_brace.Find("{x", 1, match), PcreOutcome::kFound);
    EXPECT_EQ(match.Begin(), 1u);
    // "^" is the start of the subject, not of the search.
    const PcrePattern at_start("^x");
    EXPECT_EQ(at_start.Find("xx", 1, match), PcreOutcome::kNotFound);
    EXPECT_EQ(at_start.Find("x", 5, match), PcreOutcome::kNotFound);
}

struct EmptyMatchCase {
    const char* pattern;
    std::uint32_t options;
    std::string subject;
    Texts texts;
    std::vector<std::size_t> starts;
};

class EmptyMatchWalk : public testing::TestWithParam<EmptyMatchCase> {};

TEST_P(EmptyMatchWalk, EndsAndVisitsEachPlaceOnce) {
    const EmptyMatchCase& c = GetParam();
    const PcrePattern pattern(c.pattern, c.options);
    EXPECT_EQ(All(pattern, c.subject), c.texts);
    EXPECT_EQ(Starts(pattern, c.subject), c.starts);
}

INSTANTIATE_TEST_SUITE_P(
    PcrePattern, EmptyMatchWalk,
    testing::Values(
        EmptyMatchCase{"", 0, "abc", {"", "", "", ""}, {0, 1, 2, 3}},
        EmptyMatchCase{"", 0, "", {""}, {0}},
        // After the empty match at 0 the same place is tried for a non-empty match first.
        EmptyMatchCase{"a*?", 0, "aa", {"", "a", "", "a", ""}, {0, 0, 1, 1, 2}},
        EmptyMatchCase{"a*", 0, "baaac", {"", "aaa", "", ""}, {0, 1, 4, 5}},
        // The unload's split of a template with an empty brace pair.
        EmptyMatchCase{R"((?<=(){)(.*?)(?=()}))",
                       PcrePattern::kDotAll,
                       "{a}{}{,}",
                       {"a", "", "}{,"},
                       {1, 4, 4}},
        // A UTF-8 character is stepped over whole, a CR LF line end too.
        EmptyMatchCase{"", PcrePattern::kUtf, "\xC3\xA9z", {"", "", ""}, {0, 2, 3}},
        EmptyMatchCase{"", 0, "\xC3\xA9", {"", "", ""}, {0, 1, 2}},
        EmptyMatchCase{"(*CRLF)", 0, "\r\nx", {"", "", ""}, {0, 2, 3}}),
    [](const auto& one_case) {
        return test::CaseName(
            one_case.index, std::string(one_case.param.pattern) + " in " + one_case.param.subject);
    });

TEST(PcrePattern, OptionsChangeTheMatch) {
    EXPECT_EQ(All(PcrePattern("a.b"), "a\nb"), Texts{});
    EXPECT_EQ(All(PcrePattern("a.b", PcrePattern::kDotAll), "a\nb"), Texts{"a\nb"});
    EXPECT_EQ(All(PcrePattern("and", PcrePattern::kCaseless), "AND and"), (Texts{"AND", "and"}));
    EXPECT_EQ(All(PcrePattern("^x", PcrePattern::kMultiline), "x\nx"), (Texts{"x", "x"}));
    EXPECT_EQ(All(PcrePattern("^.$", PcrePattern::kUtf), "\xD0\xA1"), Texts{"\xD0\xA1"});
    EXPECT_EQ(All(PcrePattern("^.$"), "\xD0\xA1"), Texts{});
}

TEST(PcrePattern, SubjectsMayHoldNulBytes) {
    const std::string subject("a\0b\0c", 5);
    EXPECT_EQ(All(PcrePattern("[a-c]"), subject), (Texts{"a", "b", "c"}));
    EXPECT_EQ(All(PcrePattern(std::string_view("\\x00", 4)), subject).size(), 2u);
}

TEST(PcrePattern, BadPatternsAreRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(PcrePattern::TryCompile("(a", 0, &error));
    EXPECT_NE(error.find("offset"), std::string::npos) << error;
    EXPECT_FALSE(PcrePattern::TryCompile("(?<=a+)b"));  // unbounded lookbehind
    EXPECT_THROW(PcrePattern("[z-a]"), std::invalid_argument);
}

TEST(PcrePattern, AMatcherThatGivesUpYieldsNoList) {
    // Invalid UTF-8 in UTF mode: a partial list must not pass for the whole answer.
    const PcrePattern pattern("x", PcrePattern::kUtf);
    EXPECT_FALSE(pattern.FindAll("x\xFFx").has_value());
    PcreMatch match;
    EXPECT_EQ(pattern.Find("\xC3", 0, match), PcreOutcome::kFailed);
}

TEST(PcrePattern, MovedPatternKeepsWorkingAndTheSourceIsEmptied) {
    PcrePattern first("b+");
    PcrePattern second(std::move(first));
    EXPECT_EQ(All(second, "abbc"), Texts{"bb"});
    PcrePattern third("x");
    third = std::move(second);
    EXPECT_EQ(third.Source(), "b+");
    EXPECT_EQ(All(third, "b"), Texts{"b"});
    PcreMatch match;
    EXPECT_EQ(first.Find("b", 0, match), PcreOutcome::kFailed);  // NOLINT(bugprone-use-after-move)
    EXPECT_FALSE(first.FindAll("b").has_value());                // NOLINT(bugprone-use-after-move)
}

}  // namespace
}  // namespace zarvex::common
