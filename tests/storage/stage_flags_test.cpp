#include "storage/stage_flags.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "storage/store.h"
#include "support/temp_folder.h"

namespace zarvex::storage {
namespace {

constexpr std::string_view kKey = "20121203";

class StageFlags : public ::testing::Test {
protected:
    void SetUp() override {
        operation_ = OpenStore(dir_ / "op.lql", StoreKind::kOperation).db;
        download_ = OpenStore(dir_ / "dl.lql", StoreKind::kDownload).db;
        ASSERT_TRUE(operation_.IsOpen());
        ASSERT_TRUE(download_.IsOpen());
    }

    static std::vector<std::string> Rows(const Database& db) {
        std::vector<std::string> rows;
        Statement query = db.Prepare(
            "SELECT quote(extract)||','||quote(upload)||','||date "
            "FROM dating ORDER BY id");
        while (query.Step()) {
            rows.push_back(query.ColumnText(0));
        }
        return rows;
    }

    test::TempFolder dir_;
    Database operation_;
    Database download_;
};

TEST_F(StageFlags, FirstMarkInsertsSecondColumnUpdatesTheSameRow) {
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageExtract), 0);
    EXPECT_TRUE(MarkStage(operation_, kKey, kStageExtract));
    EXPECT_EQ(Rows(operation_), std::vector<std::string>{"1,NULL,20121203"});
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageExtract), 1);
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageUpload), 0);  // row there, column NULL

    EXPECT_TRUE(MarkStage(operation_, kKey, kStageUpload));
    EXPECT_TRUE(MarkStage(operation_, kKey, kStageUpload));
    EXPECT_EQ(Rows(operation_), std::vector<std::string>{"1,1,20121203"});
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageUpload), 1);
    EXPECT_EQ(GetStageFlag(operation_, "20121204", kStageUpload), 0);
}

TEST_F(StageFlags, DownloadMarkLeavesConvertNull) {
    EXPECT_TRUE(MarkStage(download_, kKey, kStageDownload));
    EXPECT_TRUE(MarkStage(download_, "20121204", kStageDownload));
    Statement query = download_.Prepare(
        "SELECT count(*), sum(convert IS NULL), sum(typeof(download) = 'integer') FROM dating");
    ASSERT_TRUE(query.Step());
    EXPECT_EQ(query.ColumnInt(0), 2);
    EXPECT_EQ(query.ColumnInt(1), 2);
    EXPECT_EQ(query.ColumnInt(2), 2);
    EXPECT_EQ(GetStageFlag(download_, kKey, kStageDownload), 1);
}

TEST_F(StageFlags, TwoRowsForOneDateAreBothUpdatedAndTheFirstIsRead) {
    ASSERT_TRUE(operation_.Execute(
        "INSERT INTO dating (extract, date) VALUES (7, '20121203'), (NULL, '20121203')"));
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageExtract), 7);
    EXPECT_TRUE(MarkStage(operation_, kKey, kStageUpload));
    EXPECT_EQ(Rows(operation_), (std::vector<std::string>{"7,1,20121203", "NULL,1,20121203"}));
}

struct StoredFlag {
    std::string stored;  // an SQL literal
    int flag;
};

void PrintTo(const StoredFlag& c, std::ostream* out) {
    *out << c.stored;
}

class StoredValue : public StageFlags, public ::testing::WithParamInterface<StoredFlag> {};

TEST_P(StoredValue, ReadsTheLowEightBitsAsSigned) {
    ASSERT_TRUE(operation_.Execute("INSERT INTO dating (extract, date) VALUES (" +
                                   GetParam().stored + ", '20121203')"));
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageExtract), GetParam().flag);
}

std::string StoredName(const ::testing::TestParamInfo<StoredFlag>& info) {
    std::string name = "Stored_";
    for (const char c : info.param.stored) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(StageFlagValues, StoredValue,
                         ::testing::Values(StoredFlag{"1", 1}, StoredFlag{"NULL", 0},
                                           StoredFlag{"257", 1}, StoredFlag{"255", -1},
                                           StoredFlag{"256", 0}, StoredFlag{"-1", -1},
                                           StoredFlag{"'yes'", 0}, StoredFlag{"1.9", 1}),
                         StoredName);

TEST_F(StageFlags, OnlyTheFourColumnNamesReachTheStatement) {
    ASSERT_TRUE(MarkStage(operation_, kKey, kStageExtract));
    for (const std::string_view column :
         {std::string_view("extract FROM dating; DROP TABLE dating; --"), std::string_view("id"),
          std::string_view("EXTRACT"), std::string_view("")}) {
        SCOPED_TRACE(std::string(column));
        EXPECT_EQ(GetStageFlag(operation_, kKey, column), 0);
        EXPECT_FALSE(MarkStage(operation_, kKey, column));
    }
    EXPECT_EQ(Rows(operation_), std::vector<std::string>{"1,NULL,20121203"});
}

TEST_F(StageFlags, DateKeyIsStoredAsGivenEvenWithAQuote) {
    const std::string_view odd_key = "2012'1203";
    EXPECT_TRUE(MarkStage(operation_, odd_key, kStageUpload));
    EXPECT_EQ(GetStageFlag(operation_, odd_key, kStageUpload), 1);
    EXPECT_EQ(Rows(operation_), std::vector<std::string>{"NULL,1,2012'1203"});
}

TEST_F(StageFlags, AColumnTheTableLacksChangesNothing) {
    EXPECT_FALSE(MarkStage(operation_, kKey, kStageDownload));
    EXPECT_EQ(GetStageFlag(operation_, kKey, kStageDownload), 0);
    EXPECT_TRUE(Rows(operation_).empty());
}

TEST(StageFlagsClosed, ClosedDatabaseReadsZeroAndMarksNothing) {
    const Database closed;
    EXPECT_EQ(GetStageFlag(closed, kKey, kStageDownload), 0);
    EXPECT_FALSE(MarkStage(closed, kKey, kStageDownload));
}

TEST_F(StageFlags, ThreadsSharingTheHandleNeverAddATwinRow) {
    // Every thread marks the same dates; the check and the insert must act as one.
    constexpr int kThreads = 6;
    constexpr int kDates = 40;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this] {
            for (int d = 0; d < kDates; ++d) {
                MarkStage(download_, std::to_string(20130000 + d), kStageDownload);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    Statement query = download_.Prepare("SELECT count(*), count(DISTINCT date) FROM dating");
    ASSERT_TRUE(query.Step());
    EXPECT_EQ(query.ColumnInt(0), kDates);
    EXPECT_EQ(query.ColumnInt(1), kDates);
}

}  // namespace
}  // namespace zarvex::storage
