#include "settings/instrument_stores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/text.h"
#include "storage/store.h"
#include "support/temp_folder.h"

namespace zarvex::settings {
namespace {

constexpr std::array<std::string_view, 6> kSymbols = {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};

std::string Query(const storage::Database& db, std::string_view sql) {
    storage::Statement query = db.Prepare(sql);
    return query.Step() ? query.ColumnText(0) : "<no row>";
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string() + ":" +
                        std::to_string(entry.file_size() > 0));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// What a program start opens: the six instruments in their order, then the download store.
struct Start {
    explicit Start(const common::ProgramFolder& folder)
        : download(storage::OpenDownloadStore(folder)) {
        for (const std::string_view symbol : kSymbols) {
            instruments.push_back(OpenInstrumentStores(folder, symbol));
        }
    }
    std::vector<InstrumentStores> instruments;
    storage::DownloadStore download;
};

TEST(InstrumentStores, FirstStartMakesNineteenFilesSecondStartNone) {
    test::TempProgramFolder home;
    {
        const Start start(home.Folder());
        ASSERT_EQ(FilesIn(home.Path() / "DB").size(), 19u);
        for (const InstrumentStores& stores : start.instruments) {
            SCOPED_TRACE(stores.symbol);
            EXPECT_EQ(stores.operation_path,
                      home.Path() / "DB" / (stores.symbol + "_operation.lql"));
            EXPECT_EQ(stores.quote_path, home.Path() / "DB" / (stores.symbol + "_data.lql"));
            EXPECT_EQ(stores.settings.Path(), home.Path() / "DB" / (stores.symbol + "_config.lql"));
            EXPECT_EQ(Query(stores.quote,
                            "SELECT count(*) || ' ' || symb || ' ' || option || "
                            "' ' || contract || ' ' || date FROM dating"),
                      "1 " + stores.symbol + " CALL JUN12-AM 03.12.2012");
            EXPECT_EQ(Query(stores.operation, "SELECT count(*) FROM dating"), "0");
            EXPECT_EQ(Query(stores.settings.Db(), "SELECT count(*) FROM dating"), "1");
            EXPECT_EQ(stores.settings.Values(), DefaultSettings(stores.symbol, home.Folder()));
        }
        EXPECT_EQ(Query(start.download.db, "SELECT count(*) FROM dating"), "0");
    }
    // Every file now has content; a second start must reuse them all as they are.
    const auto files_before = FilesIn(home.Path() / "DB");
    for (const auto& name : files_before) {
        EXPECT_TRUE(common::EndsWith(name, ":1")) << name;
    }
    {
        Start again(home.Folder());
        again.instruments[0].settings.SetLevelCond("oi>7");
        again.instruments[0].settings.SaveSettings();
    }
    const Start third(home.Folder());
    EXPECT_EQ(FilesIn(home.Path() / "DB"), files_before);
    for (const InstrumentStores& stores : third.instruments) {
        EXPECT_EQ(Query(stores.quote, "SELECT count(*) FROM dating"), "1");
    }
    EXPECT_EQ(third.instruments[0].settings.LevelCond(), "oi>7");
}

TEST(InstrumentStores, ZeroByteQuoteFileIsRecreatedWithItsSeedRow) {
    test::TempProgramFolder home;
    test::WriteFile(home.Path() / "DB" / "GBP_data.lql", "");
    const InstrumentStores stores = OpenInstrumentStores(home.Folder(), "GBP");
    EXPECT_EQ(Query(stores.quote, "SELECT count(*) || symb FROM dating"), "1GBP");
    EXPECT_EQ(Query(stores.quote, "SELECT count(*) FROM sqlite_master WHERE type = 'index'"), "3");
}

TEST(InstrumentStores, QuoteFileWithoutTheTableIsUsedAsItIs) {
    test::TempProgramFolder home;
    {
        storage::OpenedStore other =
            storage::OpenStore(home.Path() / "DB" / "EUR_data.lql", storage::StoreKind::kOperation);
        ASSERT_TRUE(other.db.Execute("DROP TABLE dating"));
        ASSERT_TRUE(other.db.Execute("CREATE TABLE other (a)"));
    }
    const InstrumentStores stores = OpenInstrumentStores(home.Folder(), "EUR");
    EXPECT_TRUE(stores.quote.IsOpen());
    EXPECT_EQ(Query(stores.quote, "SELECT count(*) FROM sqlite_master WHERE name = 'dating'"), "0");
    EXPECT_EQ(Query(stores.quote, "SELECT * FROM dating"), "<no row>");
}

TEST(InstrumentStores, WithoutDbFolderNothingIsCreatedAndAllIsClosed) {
    test::TempFolder bare;
    const common::ProgramFolder folder(bare.Path());
    const Start start(folder);
    for (const InstrumentStores& stores : start.instruments) {
        EXPECT_FALSE(stores.operation.IsOpen());
        EXPECT_FALSE(stores.quote.IsOpen());
        EXPECT_FALSE(stores.settings.Db().IsOpen());
        EXPECT_EQ(stores.settings.Values(), Settings{});
    }
    EXPECT_FALSE(start.download.db.IsOpen());
    EXPECT_EQ(start.download.path, bare.Path() / "DB" / "download.lql");
    EXPECT_TRUE(std::filesystem::is_empty(bare.Path()));
}

}  // namespace
}  // namespace zarvex::settings
