#include "storage/database.h"

#include <gtest/gtest.h>

#include "storage/transaction.h"
#include "support/temp_folder.h"

namespace zarvex::storage {
namespace {

TEST(Database, ClosedDatabaseFailsEverything) {
    Database db;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(db.Execute("CREATE TABLE x (a)"));
    Statement s = db.Prepare("SELECT 1");
    EXPECT_FALSE(s.IsValid());
    EXPECT_FALSE(s.Step());
    EXPECT_EQ(s.ColumnInt(0), 0);
    EXPECT_EQ(s.ColumnText(0), "");
}

TEST(Database, OpenNeverCreatesAFile) {
    test::TempFolder dir;
    Database db = Database::Open(dir / "missing.lql");
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.lql"));
    // SQLite's reason stays for the log and the command line's error line.
    EXPECT_EQ(db.OpenError(), "unable to open database file");
}

TEST(Database, BoundTextTakesColumnAffinityLikeAQuotedLiteral) {
    test::TempFolder dir;
    test::WriteFile(dir / "a.lql", "");
    Database db = Database::Open(dir / "a.lql");
    ASSERT_TRUE(db.IsOpen());
    ASSERT_TRUE(
        db.Execute("CREATE TABLE dating (id INTEGER PRIMARY KEY AUTOINCREMENT, strike "
                   "DOUBLE, oi INTEGER, sign INTEGER, symb TEXT)"));
    ASSERT_TRUE(
        db.Execute("INSERT INTO dating (strike, oi, sign, symb) VALUES ('1.2500', '12', "
                   "'-', 'EUR')"));
    ASSERT_TRUE(db.Execute("INSERT INTO dating (strike, oi, sign, symb) VALUES (?, ?, ?, ?)",
                           {std::string_view("1.2500"), std::string_view("12"),
                            std::string_view("-"), std::string_view("EUR")}));
    Statement s = db.Prepare(
        "SELECT typeof(strike), typeof(oi), typeof(sign), strike, oi, sign "
        "FROM dating ORDER BY id");
    std::vector<std::string> rows;
    while (s.Step()) {
        rows.push_back(s.ColumnText(0) + "," + s.ColumnText(1) + "," + s.ColumnText(2) + "," +
                       s.ColumnText(3) + "," + s.ColumnText(4) + "," + s.ColumnText(5));
    }
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "real,integer,text,1.25,12,-");
    EXPECT_EQ(rows[1], rows[0]);
}

TEST(Database, OneStatementPerPrepare) {
    test::TempFolder dir;
    test::WriteFile(dir / "b.lql", "");
    Database db = Database::Open(dir / "b.lql");
    ASSERT_TRUE(db.Execute("CREATE TABLE t (a)"));
    EXPECT_FALSE(db.Execute("INSERT INTO t VALUES (1); DROP TABLE t"));
    EXPECT_TRUE(db.Execute("INSERT INTO t VALUES (1);  \n"));
    Statement s = db.Prepare("SELECT count(*) FROM t");
    ASSERT_TRUE(s.Step());
    EXPECT_EQ(s.ColumnInt(0), 1);
}

TEST(Database, AnEmptyViewBindsAnEmptyTextNotNull) {
    test::TempFolder dir;
    test::WriteFile(dir / "e.lql", "");
    Database db = Database::Open(dir / "e.lql");
    ASSERT_TRUE(db.Execute("CREATE TABLE t (a DOUBLE)"));
    ASSERT_TRUE(db.Execute("INSERT INTO t VALUES (?)", {std::string_view()}));
    Statement s = db.Prepare("SELECT typeof(a), count(*) FROM t WHERE a = ?");
    s.Bind(1, std::string_view());
    ASSERT_TRUE(s.Step());
    EXPECT_EQ(s.ColumnText(0), "text");
    EXPECT_EQ(s.ColumnInt(1), 1);
}

TEST(Transaction, CommitKeepsTheWritesAndSkipsFailuresScopeEndRollsBack) {
    test::TempFolder dir;
    test::WriteFile(dir / "c.lql", "");
    Database db = Database::Open(dir / "c.lql");
    ASSERT_TRUE(db.Execute("CREATE TABLE t (a)"));
    {
        Transaction tx(db);
        EXPECT_TRUE(tx.Began());
        EXPECT_TRUE(db.Execute("INSERT INTO t VALUES (?)", {std::int64_t{5}}));
        EXPECT_FALSE(db.Execute("INSERT INTO nowhere VALUES (1)"));
        EXPECT_TRUE(db.Execute("INSERT INTO t VALUES (?)", {2.5}));
        EXPECT_TRUE(tx.Commit());
    }
    {
        Transaction tx(db);
        EXPECT_TRUE(db.Execute("INSERT INTO t VALUES (?)", {std::int64_t{100}}));
    }
    Statement s = db.Prepare("SELECT sum(a) FROM t");
    ASSERT_TRUE(s.Step());
    EXPECT_DOUBLE_EQ(s.ColumnDouble(0), 7.5);
}

}  // namespace
}  // namespace zarvex::storage
