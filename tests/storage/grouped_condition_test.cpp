#include "storage/grouped_condition.h"

#include <gtest/gtest.h>

#include "storage/database.h"
#include "storage/statement.h"

namespace zarvex::storage {
namespace {

// Whatever AndGrouped lets through keeps an OR from reaching past the clause's own filter,
// whether its parentheses hide in literals, quoted names or comments.
TEST(GroupedCondition, NothingItLetsThroughReachesPastTheFilter) {
    Database db = Database::Open(":memory:");
    ASSERT_TRUE(db.Execute("CREATE TABLE dating (oi INTEGER, date TEXT)"));
    ASSERT_TRUE(db.Execute("INSERT INTO dating VALUES (5, 'a'), (7, 'b')"));
    for (const char* condition :
         {"oi>0", "(oi>0) OR (oi<0)", "oi>0 OR 1", "0) OR (1", "date='(' ) OR ( 1",
          "date=\"(\" ) OR ( 1", "[(] ) OR ( 1", "/* ( */ 1) OR (1", "1 -- (\n) OR (1",
          "`(` ) OR (1", "date='x' OR 1 -- )", "oi>0 /* ) OR (1", "date=') OR (1",
          "/* ( */ 1) OR (1 /* ) */", "date='(' ) OR ( 1 OR date=')'"}) {
        const std::optional<std::string> grouped = AndGrouped(condition);
        if (!grouped) {
            continue;
        }
        Statement query = db.Prepare("SELECT date FROM dating WHERE date = 'a'" + *grouped);
        while (query.Step()) {
            EXPECT_EQ(query.ColumnText(0), "a") << condition;
        }
    }
    EXPECT_EQ(AndGrouped("oi>0 OR oi<0"), " AND (oi>0 OR oi<0)");
    EXPECT_EQ(AndGrouped("0) OR (1"), std::nullopt);
    // Counted as written these nest; SQLite sees the group close early.
    EXPECT_EQ(AndGrouped("/* ( */ 1) OR (1 /* ) */"), std::nullopt);
    EXPECT_EQ(AndGrouped("date='(' ) OR ( 1 OR date=')'"), std::nullopt);
    EXPECT_TRUE(ParenthesesNest("date=')' AND (oi>0)"));
    EXPECT_FALSE(ParenthesesNest("date='(' ) OR (oi>0"));
    EXPECT_FALSE(ParenthesesNest("(oi>0"));
}

}  // namespace
}  // namespace zarvex::storage
