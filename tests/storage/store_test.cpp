#include "storage/store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace zarvex::storage {
namespace {

std::vector<std::string> Column(const Database& db, std::string_view sql) {
    std::vector<std::string> values;
    Statement query = db.Prepare(sql);
    while (query.Step()) {
        values.push_back(query.ColumnText(0));
    }
    return values;
}

std::string TableSql(const Database& db) {
    const auto sql = Column(db, "SELECT sql FROM sqlite_master WHERE name = 'dating'");
    return sql.empty() ? "" : sql.front();
}

struct KindCase {
    StoreKind kind;
    std::string columns;  // the table's columns after id, as pragma table_info lists them
};

void PrintTo(const KindCase& c, std::ostream* out) {
    *out << c.columns;
}

class OpenStoreKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(OpenStoreKind, NewAndEmptyFilesGetTheKindsTableAndNothingElse) {
    for (const bool zero_byte_file : {false, true}) {
        SCOPED_TRACE(zero_byte_file ? "0-byte file" : "missing file");
        test::TempFolder dir;
        const auto path = dir / "x.lql";
        if (zero_byte_file) {
            test::WriteFile(path, "");
        }
        OpenedStore store = OpenStore(path, GetParam().kind);
        ASSERT_TRUE(store.db.IsOpen());
        EXPECT_TRUE(store.new_file);
        EXPECT_TRUE(store.created_table);
        EXPECT_EQ(TableSql(store.db), CreateTableSql(GetParam().kind));

        std::string columns;
        for (const auto& name : Column(store.db, "SELECT name FROM pragma_table_info('dating')")) {
            columns += name + " ";
        }
        EXPECT_EQ(columns, "id " + GetParam().columns);
        EXPECT_EQ(Column(store.db, "SELECT count(*) FROM dating"), std::vector<std::string>{"0"});

        const auto indexes =
            Column(store.db, "SELECT sql FROM sqlite_master WHERE type = 'index' ORDER BY rowid");
        if (GetParam().kind == StoreKind::kQuote) {
            EXPECT_EQ(indexes, (std::vector<std::string>{"CREATE INDEX dt ON dating (date)",
                                                         "CREATE INDEX st ON dating (strike)",
                                                         "CREATE INDEX cn ON dating (contract)"}));
        } else {
            EXPECT_TRUE(indexes.empty());
        }
    }
}

std::string KindName(const ::testing::TestParamInfo<KindCase>& info) {
    constexpr const char* kNames[] = {"Configuration", "Operation", "Quote", "Download"};
    return kNames[static_cast<int>(info.param.kind)];
}

INSTANTIATE_TEST_SUITE_P(
    StoreKinds, OpenStoreKind,
    ::testing::Values(
        KindCase{StoreKind::kConfiguration,
                 "Level_Cond Fractal_Main_Cond Fractal_Near_Cond PriceType Bar_Cond_1 "
                 "Market_Scale_1 Market_Type_1 Param_1 Bar_Cond_2 Market_Scale_2 Market_Type_2 "
                 "Param_2 Bar_Cond_3 Market_Scale_3 Market_Type_3 Param_3 Bar_Cond_4 "
                 "Market_Scale_4 Market_Type_4 Param_4 IsExtract IsUpload IsFP "
                 "Teplate_Outputdata Teplate_FileName OutputFolder "},
        KindCase{StoreKind::kOperation, "extract upload date "},
        KindCase{StoreKind::kQuote,
                 "strike price delta volume oi doi sign symb option contract expiration date "},
        KindCase{StoreKind::kDownload, "download convert date "}),
    KindName);

TEST(OpenStore, ExistingFileIsOpenedAsItIsWithoutTheTable) {
    test::TempFolder dir;
    const auto path = dir / "other.lql";
    {
        OpenedStore made = OpenStore(path, StoreKind::kOperation);
        ASSERT_TRUE(made.db.Execute("DROP TABLE dating"));
        ASSERT_TRUE(made.db.Execute("CREATE TABLE other (a)"));
    }
    OpenedStore store = OpenStore(path, StoreKind::kQuote);
    ASSERT_TRUE(store.db.IsOpen());
    EXPECT_FALSE(store.new_file);
    EXPECT_FALSE(store.created_table);
    EXPECT_EQ(TableSql(store.db), "");
    Statement query = store.db.Prepare("SELECT * FROM dating");
    EXPECT_FALSE(query.Step());
}

TEST(OpenStore, FileThatIsNoDatabaseIsLeftAlone) {
    test::TempFolder dir;
    const auto path = dir / "junk.lql";
    const std::string junk = "this is a text file, not a database\n";
    test::WriteFile(path, junk);
    OpenedStore store = OpenStore(path, StoreKind::kDownload);
    EXPECT_FALSE(store.new_file);
    EXPECT_FALSE(store.db.Execute("INSERT INTO dating (date) VALUES ('20121203')"));
    Statement query = store.db.Prepare("SELECT * FROM dating");
    EXPECT_FALSE(query.Step());
    store.db.Close();
    EXPECT_EQ(test::ReadFile(path), junk);
}

TEST(OpenStore, MissingFolderIsNeverCreated) {
    test::TempFolder dir;
    const auto path = dir / "DB" / "EUR_data.lql";
    OpenedStore store = OpenStore(path, StoreKind::kQuote);
    EXPECT_FALSE(store.db.IsOpen());
    EXPECT_TRUE(store.new_file);  // a new quote file is still owed its seed row
    EXPECT_FALSE(store.created_table);
    EXPECT_FALSE(std::filesystem::exists(dir / "DB"));
}

TEST(OpenStore, AFolderInPlaceOfTheFileGivesAClosedDatabase) {
    test::TempFolder dir;
    std::filesystem::create_directory(dir / "EUR_data.lql");
    OpenedStore store = OpenStore(dir / "EUR_data.lql", StoreKind::kQuote);
    EXPECT_FALSE(store.db.IsOpen());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "EUR_data.lql"));
}

TEST(SeedRow, StoresTheSameValuesAsTheQuotedLiteralStatement) {
    test::TempFolder dir;
    OpenedStore bound = OpenStore(dir / "a.lql", StoreKind::kQuote);
    OpenedStore literal = OpenStore(dir / "b.lql", StoreKind::kQuote);
    ASSERT_TRUE(InsertSeedRow(bound.db, "GBP"));
    ASSERT_TRUE(literal.db.Execute(
        "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
        "contract, expiration, date) VALUES ('1.000000','0.000001','0.000001','1','1','0','0',"
        "'GBP','CALL','JUN12-AM','12.12.2012','03.12.2012')"));
    const std::string_view sql =
        "SELECT typeof(strike)||typeof(price)||typeof(delta)||typeof(volume)||typeof(oi)||"
        "typeof(doi)||typeof(sign)||typeof(symb)||typeof(option)||typeof(contract)||"
        "typeof(expiration)||typeof(date), quote(strike)||quote(price)||quote(delta)||"
        "quote(volume)||quote(oi)||quote(doi)||quote(sign)||quote(symb)||quote(option)||"
        "quote(contract)||quote(expiration)||quote(date) FROM dating";
    const auto expected = Column(literal.db, sql);
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_EQ(Column(bound.db, sql), expected);
    EXPECT_EQ(expected[0], "realrealrealintegerintegerintegerintegertexttexttexttexttext");

    Statement row =
        bound.db.Prepare("SELECT strike, price, volume, symb, contract, date FROM dating");
    ASSERT_TRUE(row.Step());
    EXPECT_EQ(row.ColumnDouble(0), 1.0);
    EXPECT_EQ(row.ColumnDouble(1), 0.000001);
    EXPECT_EQ(row.ColumnInt(2), 1);
    EXPECT_EQ(row.ColumnText(3), "GBP");
    EXPECT_EQ(row.ColumnText(4), "JUN12-AM");
    EXPECT_EQ(row.ColumnText(5), "03.12.2012");
}

TEST(DownloadStore, CreatedOnceThenReopened) {
    test::TempProgramFolder home;
    {
        DownloadStore store = OpenDownloadStore(home.Folder());
        EXPECT_EQ(store.path, home.Path() / "DB" / "download.lql");
        ASSERT_TRUE(store.db.IsOpen());
        ASSERT_TRUE(
            store.db.Execute("INSERT INTO dating (download, date) VALUES ('1', '20121203')"));
    }
    DownloadStore again = OpenDownloadStore(home.Folder());
    EXPECT_EQ(Column(again.db, "SELECT date FROM dating"), std::vector<std::string>{"20121203"});
}

}  // namespace
}  // namespace zarvex::storage
