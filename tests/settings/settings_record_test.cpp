#include "settings/settings_record.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "storage/store.h"
#include "support/temp_folder.h"

namespace zarvex::settings {
namespace {

std::string Query(const storage::Database& db, std::string_view sql) {
    storage::Statement query = db.Prepare(sql);
    return query.Step() ? query.ColumnText(0) : "<no row>";
}

struct DefaultsCase {
    std::string symbol;
    std::string level;
    std::string fractal_main;
    std::string fractal_near;
    std::string bar;
};

void PrintTo(const DefaultsCase& c, std::ostream* out) {
    *out << c.symbol;
}

class DefaultsBySymbol : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(DefaultsBySymbol, ConditionsFollowTheSymbolAndTheRestIsShared) {
    // The folder's own name holds other symbols: only the instrument's symbol may count.
    const common::ProgramFolder folder("/home/CHF_CAD_AUD/zarvex");
    const Settings s = DefaultSettings(GetParam().symbol, folder);
    EXPECT_EQ(s.level_cond, GetParam().level);
    EXPECT_EQ(s.fractal_main_cond, GetParam().fractal_main);
    EXPECT_EQ(s.fractal_near_cond, GetParam().fractal_near);
    for (int n = 0; n < Settings::kHistogramCount; ++n) {
        const HistogramSettings& h = s.histograms[static_cast<std::size_t>(n)];
        EXPECT_EQ(h.bar_cond, GetParam().bar);
        EXPECT_EQ(h.market_scale, 2);
        EXPECT_EQ(h.market_type, 0);
        EXPECT_EQ(h.param, n);
    }
    EXPECT_EQ(s.price_type, 0);
    EXPECT_EQ(s.is_extract, 1);
    EXPECT_EQ(s.is_upload, 1);
    EXPECT_EQ(s.is_fp, 1);
    EXPECT_EQ(s.template_output_data,
              "{strike,price,delta,volume,oi,doi,sign,symb,option,contract,expiration,date}"
              "{oi>10 AND delta>0 AND price>0}{,}");
    EXPECT_EQ(s.template_file_name, "{SYM}{YEAR}{MONTH}{DAY}");
    EXPECT_EQ(s.output_folder, "/home/CHF_CAD_AUD/zarvex/OUTPUT/");
}

INSTANTIATE_TEST_SUITE_P(
    SettingsSymbols, DefaultsBySymbol,
    ::testing::Values(
        DefaultsCase{"EUR", "oi>1000 AND sign>=0", "oi>100 AND sign>0", "oi>10", "oi>500"},
        DefaultsCase{"GBP", "oi>1000 AND sign>=0", "oi>100 AND sign>0", "oi>10", "oi>500"},
        DefaultsCase{"JPY", "oi>1000 AND sign>=0", "oi>100 AND sign>0", "oi>10", "oi>500"},
        DefaultsCase{"CHF", "oi>50 AND sign>=0", "oi>5 AND sign>0", "oi>1", "oi>30"},
        DefaultsCase{"CAD", "oi>500 AND sign>=0", "oi>50 AND sign>0", "oi>5", "oi>100"},
        DefaultsCase{"AUD", "oi>500 AND sign>=0", "oi>50 AND sign>0", "oi>5", "oi>200"}),
    [](const auto& param_info) { return param_info.param.symbol; });

TEST(SettingsDefaults, OutputFolderGetsOneSlash) {
    EXPECT_EQ(DefaultSettings("EUR", common::ProgramFolder("/opt/z/")).output_folder,
              "/opt/z/OUTPUT/");
}

class SettingsFile : public ::testing::Test {
protected:
    SettingsRecord Record(std::string symbol = "CAD") const {
        return SettingsRecord(std::move(symbol), home_.Folder());
    }
    std::filesystem::path Path(std::string_view symbol = "CAD") const {
        return storage::ConfigurationPath(home_.Folder(), symbol);
    }
    // A configuration file with the table and one row written by the test.
    storage::Database MakeFile(std::string_view row_values) const {
        storage::OpenedStore store = storage::OpenStore(Path(), storage::StoreKind::kConfiguration);
        EXPECT_TRUE(store.created_table);
        if (!row_values.empty()) {
            EXPECT_TRUE(
                store.db.Execute("INSERT INTO dating VALUES (1, " + std::string(row_values) + ")"));
        }
        return std::move(store.db);
    }

    test::TempProgramFolder home_;
};

TEST_F(SettingsFile, FirstOpenCreatesTheFileWithTheDefaultRow) {
    for (const bool zero_byte_file : {false, true}) {
        SCOPED_TRACE(zero_byte_file ? "0-byte file" : "missing file");
        std::filesystem::remove(Path());
        if (zero_byte_file) {
            test::WriteFile(Path(), "");
        }
        SettingsRecord record = Record();
        EXPECT_TRUE(record.OpenSettings(Path()));
        EXPECT_EQ(record.Values(), DefaultSettings("CAD", home_.Folder()));
        EXPECT_EQ(record.Path(), Path());

        const storage::Database& db = record.Db();
        EXPECT_EQ(Query(db, "SELECT count(*) FROM dating"), "1");
        EXPECT_EQ(Query(db,
                        "SELECT id || ' ' || Level_Cond || ' ' || Bar_Cond_1 || ' ' || "
                        "Param_4 || ' ' || typeof(Param_4) FROM dating"),
                  "1 oi>500 AND sign>=0 oi>100 3 integer");
        EXPECT_TRUE(common::EndsWith(Query(db, "SELECT OutputFolder FROM dating"), "OUTPUT/"));
    }
}

TEST_F(SettingsFile, ExistingRowIsLoadedNotReplaced) {
    {
        SettingsRecord first = Record();
        first.OpenSettings(Path());
        first.SetLevelCond("oi>1");
        first.SetParam(2, 4);
        EXPECT_TRUE(first.SaveSettings());
    }
    SettingsRecord second = Record();
    EXPECT_FALSE(second.OpenSettings(Path()));
    EXPECT_EQ(second.LevelCond(), "oi>1");
    EXPECT_EQ(second.Param(2), 4);
    EXPECT_EQ(Query(second.Db(), "SELECT count(*) FROM dating"), "1");
}

TEST_F(SettingsFile, RoundTripKeepsQuotesCyrillicAndNegativeBytes) {
    Settings edited;
    edited.level_cond = "date='07.12.2012' AND oi>10";
    edited.fractal_main_cond = "it's \"quoted\" ''twice''";
    edited.fractal_near_cond = "Условие: оі>5";
    edited.price_type = -3;
    for (int n = 0; n < Settings::kHistogramCount; ++n) {
        HistogramSettings& h = edited.histograms[static_cast<std::size_t>(n)];
        h.bar_cond = "oi>" + std::to_string(n) + "'";
        h.market_scale = static_cast<std::int8_t>(n);
        h.market_type = static_cast<std::int8_t>(-n);
        h.param = static_cast<std::int8_t>(127 - n);
    }
    edited.is_extract = 0;
    edited.is_upload = -128;
    edited.is_fp = 1;
    edited.template_output_data = "{strike}{ }{;}\r{'a'}";
    edited.template_file_name = "{SYM}_Файл";
    edited.output_folder = "/home/o'brien/Выгрузка/";
    {
        SettingsRecord record = Record();
        record.OpenSettings(Path());
        record.SetValues(edited);
        EXPECT_TRUE(record.SaveSettings());
    }
    SettingsRecord reloaded = Record();
    reloaded.OpenSettings(Path());
    EXPECT_EQ(reloaded.Values(), edited);
}

TEST_F(SettingsFile, SetterWithoutSaveLeavesTheFile) {
    {
        SettingsRecord record = Record();
        record.OpenSettings(Path());
        record.SetBarCond(1, "oi>9999");
        record.SetIsFP(0);
        EXPECT_EQ(record.BarCond(1), "oi>9999");
    }
    SettingsRecord reloaded = Record();
    reloaded.OpenSettings(Path());
    EXPECT_EQ(reloaded.BarCond(1), "oi>100");
    EXPECT_EQ(reloaded.IsFP(), 1);
}

struct BadRowCase {
    std::string name;
    std::string row;  // the 26 values after id, as SQL literals
    std::int8_t price_type;
    std::int8_t param_1;
    std::string level_cond;
    std::string output_folder;
};

void PrintTo(const BadRowCase& c, std::ostream* out) {
    *out << c.name;
}

class BadRow : public SettingsFile, public ::testing::WithParamInterface<BadRowCase> {};

TEST_P(BadRow, LoadsQuietly) {
    MakeFile(GetParam().row);
    SettingsRecord record = Record();
    EXPECT_FALSE(record.OpenSettings(Path()));
    EXPECT_EQ(record.PriceType(), GetParam().price_type);
    EXPECT_EQ(record.Param(1), GetParam().param_1);
    EXPECT_EQ(record.LevelCond(), GetParam().level_cond);
    EXPECT_EQ(record.OutputFolder(), GetParam().output_folder);
}

std::string Row(std::string_view level, std::string_view price_type, std::string_view param_1,
                std::string_view folder) {
    return std::string(level) + ", 'a', 'b', " + std::string(price_type) + ", 'c', 2, 0, " +
           std::string(param_1) +
           ", 'c', 2, 0, 1, 'c', 2, 0, 2, 'c', 2, 0, 3, 1, 1, 1, 't', 'f', " + std::string(folder);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsBadRows, BadRow,
    ::testing::Values(
        BadRowCase{"LowByte", Row("'x'", "2", "300", "'/o/'"), 2, 44, "x", "/o/"},
        BadRowCase{"NegativeStaysSigned", Row("'x'", "-1", "-200", "'/o/'"), -1, 56, "x", "/o/"},
        BadRowCase{"TextWhereNumbersBelong", Row("'x'", "'abc'", "'2 apples'", "'/o/'"), 0, 2, "x",
                   "/o/"},
        BadRowCase{"RealNumber", Row("'x'", "1.75", "258.9", "'/o/'"), 1, 2, "x", "/o/"},
        BadRowCase{"Nulls", Row("NULL", "NULL", "NULL", "NULL"), 0, 0, "", ""},
        BadRowCase{"NumberWhereTextBelongs", Row("12.5", "0", "0", "7"), 0, 0, "12.5", "7"},
        BadRowCase{"NoRow", "", 0, 0, "", ""}),
    [](const auto& param_info) { return param_info.param.name; });

TEST_F(SettingsFile, MissingRowIsPutBackBySave) {
    MakeFile("");
    SettingsRecord record = Record();
    record.OpenSettings(Path());
    EXPECT_FALSE(record.LoadSettings());
    record.SetDefaults();
    record.SetLevelCond("oi>2");
    EXPECT_TRUE(record.SaveSettings());
    EXPECT_TRUE(record.SaveSettings());  // the second save updates the row put back
    EXPECT_EQ(Query(record.Db(), "SELECT group_concat(id) FROM dating"), "1");

    SettingsRecord reloaded = Record();
    reloaded.OpenSettings(Path());
    EXPECT_EQ(reloaded.Values(), record.Values());
}

TEST_F(SettingsFile, FileThatIsNoDatabaseLoadsNothingAndIsNotTouched) {
    const std::string junk(4096, 'z');
    test::WriteFile(Path(), junk);
    SettingsRecord record = Record();
    EXPECT_FALSE(record.OpenSettings(Path()));
    EXPECT_EQ(record.Values(), Settings{});
    record.SetDefaults();
    EXPECT_FALSE(record.SaveSettings());
    EXPECT_EQ(record.Values(), DefaultSettings("CAD", home_.Folder()));
    record.Close();
    EXPECT_EQ(test::ReadFile(Path()), junk);
}

TEST(SettingsNoFolder, MissingDbFolderLeavesTheRecordEmptyAndCreatesNothing) {
    test::TempFolder bare;
    const common::ProgramFolder folder(bare.Path());
    SettingsRecord record("EUR", folder);
    EXPECT_FALSE(record.OpenSettings(storage::ConfigurationPath(folder, "EUR")));
    EXPECT_FALSE(record.Db().IsOpen());
    EXPECT_EQ(record.Values(), Settings{});
    EXPECT_FALSE(record.SaveSettings());
    EXPECT_TRUE(std::filesystem::is_empty(bare.Path()));
}

}  // namespace
}  // namespace zarvex::settings
