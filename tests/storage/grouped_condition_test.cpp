#include "storage/grouped_condition.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "storage/condition_bound.h"
#include "support/condition_escape.h"

namespace zarvex::storage {
namespace {

// Whatever AndGrouped lets through keeps an OR from reaching past the clause's own filter,
// whether its parentheses hide in literals, quoted names, comments or parameter tokens.
TEST(GroupedCondition, NothingItLetsThroughReachesPastTheFilter) {
    const Database db = test::ConditionTable();
    ASSERT_TRUE(test::LeavesItsGroup(db, "0) OR (1"));
    for (const char* condition :
         {"oi>0", "(oi>0) OR (oi<0)", "oi>0 OR 1", "0) OR (1", "date='(' ) OR ( 1",
          "date=\"(\" ) OR ( 1", "[(] ) OR ( 1", "/* ( */ 1) OR (1", "1 -- (\n) OR (1",
          "`(` ) OR (1", "date='x' OR 1 -- )", "oi>0 /* ) OR (1", "date=') OR (1",
          "/* ( */ 1) OR (1 /* ) */", "date='(' ) OR ( 1 OR date=')'",
          "oi>$a(') ) OR (1=1 OR oi>$b(')", "oi>@a(') ) OR (1=1 OR oi>@b(')"}) {
        if (AndGrouped(condition)) {
            EXPECT_FALSE(test::LeavesItsGroup(db, condition)) << condition;
        }
    }
    EXPECT_EQ(AndGrouped("oi>0 OR oi<0"), " AND (oi>0 OR oi<0)");
    // Counted as written these nest; SQLite sees the group close early.
    EXPECT_EQ(AndGrouped("/* ( */ 1) OR (1 /* ) */"), std::nullopt);
    EXPECT_EQ(AndGrouped("date='(' ) OR ( 1 OR date=')'"), std::nullopt);
    EXPECT_TRUE(ParenthesesNest("date=')' AND (oi>0)"));
    EXPECT_FALSE(ParenthesesNest("(oi>0"));
}

struct Refusal {
    std::string_view condition;
    const char* reason;  // the start of GroupRefusal's answer; nullptr when accepted
};

class GroupRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(GroupRefusalTest, NamesWhatItRefuses) {
    const std::optional<std::string> why = GroupRefusal(GetParam().condition);
    if (GetParam().reason == nullptr) {
        EXPECT_EQ(why, std::nullopt);
    } else {
        ASSERT_TRUE(why.has_value());
        EXPECT_EQ(why->rfind(GetParam().reason, 0), 0u) << *why;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, GroupRefusalTest,
    ::testing::Values(
        // Parameter marks outside a literal, also inside a name, in either case of keyword.
        Refusal{"oi>$a(') ) OR (1=1 OR oi>$b(')", "it holds a bind parameter ($)"},
        Refusal{"oi > ?", "it holds a bind parameter (?)"},
        Refusal{"oi > ?3", "it holds a bind parameter (?)"},
        Refusal{"oi > :day", "it holds a bind parameter (:)"},
        Refusal{"oi > @day", "it holds a bind parameter (@)"},
        Refusal{"oi > #1", "it holds a bind parameter (#)"},
        Refusal{"oi > a$b", "it holds a bind parameter ($)"},
        Refusal{"oi > (SELECT 1)", "it holds a subquery (SELECT)"},
        Refusal{"oi > (select max(oi) from dating)", "it holds a subquery (select)"},
        Refusal{"oi IN (WITH r(n) AS (VALUES(1)) SELECT n FROM r)", "it holds a subquery (WITH)"},
        Refusal{"(oi>0 -- )", "its parentheses do not nest"},
        Refusal{std::string_view("oi>0)\0(", 7), "it holds a NUL byte"},
        // The same marks and words inside literals, quoted names and comments are text.
        Refusal{"date = '$a ? :b @c #d SELECT'", nullptr},
        Refusal{"\"with\" = 1 /* select ? */ AND [x$] = 1 -- :y\n", nullptr},
        Refusal{"selected = 1 AND without = 2 AND oi>1000", nullptr},
        Refusal{"x'0A' = x'0a' AND date = '07.12.2012'", nullptr}));

// A property over random texts made of the pieces that matter to SQLite's tokenizer: every
// one the guard accepts stays inside its group, as SQLite itself runs it. A fixed seed keeps
// a failure reproducible; the fuzz target condition_guard explores further.
TEST(GroupedCondition, RandomTextsItAcceptsStayInTheirGroup) {
    const Database db = test::ConditionTable();
    ASSERT_TRUE(test::LeavesItsGroup(db, "1) OR (1"));
    std::mt19937 random(20121207);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(1 + random() % 14, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random());
        }
        const std::string condition = test::ConditionFromPieces(bytes);
        if (!AndGrouped(condition)) {
            continue;
        }
        ++accepted;
        ASSERT_FALSE(test::LeavesItsGroup(db, condition)) << condition;
    }
    // Enough accepted texts for the property to say something.
    EXPECT_GT(accepted, 2000);
}

// A condition that runs without end, or builds a huge value, ends its query within the bound
// with the reason; the connection is as before afterwards.
TEST(ConditionBound, StopsALongQueryAndRestoresTheConnection) {
    const Database db = test::ConditionTable();
    const auto limit = ConditionBound::Limit();
    ConditionBound::SetLimit(std::chrono::milliseconds(200));
    {
        const ConditionBound bound(db);
        Statement endless = db.Prepare(
            "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT count(*) FROM "
            "r");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(endless.Step());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(bound.Expired());
        EXPECT_EQ(NamedConditionFailure("Level_Cond", "x", bound.Why(endless)),
                  "Level_Cond \"x\": stopped after running longer than 200 ms");
    }
    {
        const ConditionBound bound(db);
        Statement huge = db.Prepare("SELECT * FROM dating WHERE length(randomblob(300000000)) > 0");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(huge.Step());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_FALSE(bound.Expired());
        EXPECT_EQ(bound.Why(huge), "string or blob too big");
    }
    ConditionBound::SetLimit(limit);
    // Outside a bound the connection builds values as large as it always did, and no handler
    // of an ended bound is called.
    Statement unbounded = db.Prepare(
        "SELECT length(zeroblob(3000000)), count(*) FROM (WITH RECURSIVE r(n) AS "
        "(SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 20000) SELECT n FROM r)");
    ASSERT_TRUE(unbounded.Step());
    EXPECT_EQ(unbounded.ColumnInt(0), 3000000);
    EXPECT_EQ(unbounded.ColumnInt(1), 20000);
}

}  // namespace
}  // namespace zarvex::storage
