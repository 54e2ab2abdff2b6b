// Day runs and reads over files that are not what they should be: a report that is no
// report, a configuration or quote database that is damaged or odd. Each must fail with the
// file named and leave the day unmarked, never skip it quietly or mark it empty.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <string>

#include "analytics/left_panel/left_panel_model.h"
#include "common/date.h"
#include "common/plain_host.h"
#include "common/text.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "settings/settings.h"
#include "storage/stage_flags.h"
#include "storage/store.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex {
namespace {

constexpr const char* kSymbols[] = {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};
const common::Date kDay = common::MakeDate(2012, 12, 10);

class OddFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        reportgen::GeneratorOptions options;
        options.strikes = 8;
        generator_ = std::make_unique<reportgen::ReportGenerator>(options);
        WriteDay(kDay);
        common::PlainHost plain;
        day::InstrumentList list(home_.Folder(), plain.AsHost());  // makes the files
    }

    void WriteDay(common::Date day) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(generator_->Generate(day), Home(), &error))
            << error;
    }

    const std::filesystem::path& Home() const { return home_.Path(); }
    std::filesystem::path Report() const { return home_.Folder().ReportFile(kDay); }

    test::CliOutcome Run(const std::vector<std::string>& words) const {
        std::vector<std::string> args{"--home", Home().string()};
        args.insert(args.end(), words.begin(), words.end());
        return test::RunCli(args);
    }
    test::CliOutcome ProcessDay() const {
        return Run({"process-day", "--date", common::DateKey(kDay)});
    }

    int Flag(const char* symbol) const {
        const storage::Database db =
            storage::Database::OpenReadOnly(storage::OperationPath(home_.Folder(), symbol));
        return storage::GetStageFlag(db, common::DateKey(kDay), storage::kStageExtract);
    }
    std::int64_t Rows(const char* symbol) const {
        const storage::Database db =
            storage::Database::OpenReadOnly(storage::QuotePath(home_.Folder(), symbol));
        storage::Statement s = db.Prepare("SELECT count(*) FROM dating WHERE date = ?");
        s.Bind(1, common::DayText(kDay));
        return s.Step() ? s.ColumnInt(0) : -1;
    }

    test::TempProgramFolder home_;
    std::unique_ptr<reportgen::ReportGenerator> generator_;
};

// --- A file in INPUT/ that is no report ---

struct NoReport {
    const char* name;
    std::string bytes;
};

std::string RandomBytes(std::size_t size) {
    std::mt19937 rng(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(rng());
    }
    return bytes;
}

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

class NoReportTest : public OddFilesTest, public ::testing::WithParamInterface<NoReport> {};

TEST_P(NoReportTest, IsNamedAndMarksNothingUntilTheReportComes) {
    test::WriteFile(Report(), GetParam().bytes);
    const test::CliOutcome run = ProcessDay();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(Report().string() + " is no report"), std::string::npos) << run.err;
    for (const char* symbol : kSymbols) {
        EXPECT_EQ(Flag(symbol), 0) << symbol;
        EXPECT_EQ(Rows(symbol), 0) << symbol;
    }
    WriteDay(kDay);
    const test::CliOutcome again = ProcessDay();
    EXPECT_EQ(again.status, 0) << again.err;
    for (const char* symbol : kSymbols) {
        EXPECT_EQ(Flag(symbol), 1) << symbol;
        EXPECT_GT(Rows(symbol), 0) << symbol;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, NoReportTest,
                         ::testing::Values(NoReport{"RandomBytes", RandomBytes(300'000)},
                                           NoReport{"Zeros", std::string(1 << 20, '\0')},
                                           NoReport{"BlankLines", Repeat("\r\n", 1'000'000)},
                                           NoReport{"OneLine", "EURO FX CALL\r\n"},
                                           NoReport{"LoginPage",
                                                    "<html><body>Please log in</body></html>\r\n"}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A FIFO would block the read until a writer comes, and a device never ends: both are refused
// at once, by the day run and by `parse`.
TEST_F(OddFilesTest, OnlyARegularFileIsReadAsAReport) {
    std::filesystem::remove(Report());
    ASSERT_EQ(mkfifo(Report().c_str(), 0644), 0);
    const test::CliOutcome run = ProcessDay();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is no regular file"), std::string::npos) << run.err;
    EXPECT_EQ(Flag("EUR"), 0);
    for (const std::string& file : {Report().string(), std::string("/dev/zero")}) {
        const test::CliOutcome parse =
            Run({"parse", "--symbol", "EUR", "--date", "10.12.2012", file});
        EXPECT_EQ(parse.status, 1) << file;
    }
}

// --- A configuration database that gives no settings ---

using Damage = void (*)(const std::filesystem::path& config);

void Exec(const std::filesystem::path& path, const char* sql) {
    const storage::Database db = storage::Database::Open(path);
    ASSERT_TRUE(db.Execute(sql)) << sql << ": " << db.LastError();
}

void Remake(const std::filesystem::path& path, const char* sql) {
    std::filesystem::remove(path);
    test::WriteFile(path, "");
    {
        // SQLite writes the header only with the first table.
        const storage::Database db = storage::Database::Open(path);
        ASSERT_TRUE(db.Execute(sql)) << db.LastError();
    }
}

struct ConfigCase {
    const char* name;
    Damage damage;
};

class DamagedConfigTest : public OddFilesTest, public ::testing::WithParamInterface<ConfigCase> {};

TEST_P(DamagedConfigTest, FailsItsCurrencyByNameAndLetsTheOthersRun) {
    const auto config = storage::ConfigurationPath(home_.Folder(), "EUR");
    GetParam().damage(config);
    const test::CliOutcome run = ProcessDay();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("zarvex-cli: EUR: the settings in " + config.string()),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Flag("EUR"), 0);
    EXPECT_EQ(Rows("EUR"), 0);
    for (const char* symbol : {"GBP", "AUD", "CAD", "JPY", "CHF"}) {
        EXPECT_EQ(Flag(symbol), 1) << symbol;
    }
    // `unload` alone refuses it the same way, and so do the calculations.
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"unload", "--symbol", "EUR", "--date", common::DateKey(kDay)},
             {"indicators", "--symbol", "EUR"}}) {
        const test::CliOutcome refused = Run(command);
        EXPECT_EQ(refused.status, 1) << command[0];
        EXPECT_NE(refused.err.find(config.string()), std::string::npos)
            << command[0] << ": " << refused.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Variants, DamagedConfigTest,
    ::testing::Values(
        ConfigCase{"Cut",
                   [](const std::filesystem::path& p) { std::filesystem::resize_file(p, 1024); }},
        ConfigCase{"RandomHeader",
                   [](const std::filesystem::path& p) {
                       std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
                       f.write(RandomBytes(100).data(), 100);
                   }},
        ConfigCase{"TextFile",
                   [](const std::filesystem::path& p) {
                       test::WriteFile(p, "Level_Cond=oi>1000\nIsExtract=1\n");
                   }},
        ConfigCase{"Folder",
                   [](const std::filesystem::path& p) {
                       std::filesystem::remove(p);
                       std::filesystem::create_directory(p);
                   }},
        ConfigCase{"Fifo",
                   [](const std::filesystem::path& p) {
                       std::filesystem::remove(p);
                       mkfifo(p.c_str(), 0644);
                   }},
        ConfigCase{"NoTable",
                   [](const std::filesystem::path& p) { Remake(p, "CREATE TABLE other (x)"); }},
        ConfigCase{"NoRow", [](const std::filesystem::path& p) { Exec(p, "DELETE FROM dating"); }},
        ConfigCase{"WrongSchema",
                   [](const std::filesystem::path& p) {
                       Remake(p, "CREATE TABLE dating (id INTEGER PRIMARY KEY, IsExtract INTEGER)");
                       Exec(p, "INSERT INTO dating VALUES (1, 1)");
                   }},
        ConfigCase{"ColumnsSwapped",
                   [](const std::filesystem::path& p) {
                       Exec(p, "ALTER TABLE dating RENAME COLUMN IsUpload TO Spare");
                       Exec(p, "ALTER TABLE dating RENAME COLUMN IsExtract TO IsUpload");
                   }}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// --- A quote database that loses or hides rows ---

TEST_F(OddFilesTest, RowsThatDoNotStayLeaveTheDayUnmarked) {
    const auto quote = storage::QuotePath(home_.Folder(), "EUR");
    Exec(quote,
         "CREATE TRIGGER eat AFTER INSERT ON dating BEGIN DELETE FROM dating WHERE id = new.id; "
         "END");
    const test::CliOutcome run = ProcessDay();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("did not stay in " + quote.string()), std::string::npos) << run.err;
    EXPECT_EQ(Flag("EUR"), 0);
    EXPECT_EQ(Flag("GBP"), 1);
}

// A damaged page ends a query as if the rows were all read; the readers must not print the
// older days that came before it.
TEST_F(OddFilesTest, ReadersFailOnADamagedPageInsteadOfShowingOlderDays) {
    const common::Date last = common::MakeDate(2012, 12, 14);
    for (common::Date d = kDay; d <= last; d += common::kSecondsPerDay) {
        WriteDay(d);
        ASSERT_EQ(Run({"process-day", "--date", common::DateKey(d)}).status, 0);
    }
    const std::string contract(
        common::Trim(generator_->Generate(last).rows.at("EUR").front().contract));
    const std::vector<std::vector<std::string>> readers{
        {"indicators", "--symbol", "EUR"},
        {"tables", "--symbol", "EUR", "--date", "14.12.2012", "--contract", contract},
        {"histogram", "--symbol", "EUR", "--date", "14.12.2012", "--contract", contract},
        {"history", "--symbol", "EUR", "--contract", contract}};
    for (const auto& reader : readers) {
        ASSERT_EQ(Run(reader).status, 0) << reader[0];
    }

    // The last day's rows and index entries lie in the file's last pages.
    const auto quote = storage::QuotePath(home_.Folder(), "EUR");
    const auto size = std::filesystem::file_size(quote);
    {
        std::fstream f(quote, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(size - size / 4 / 4096 * 4096));
        const std::string zeros(size / 4 / 4096 * 4096, '\0');
        f.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    for (const auto& reader : readers) {
        const test::CliOutcome run = Run(reader);
        EXPECT_EQ(run.status, 1) << reader[0];
        EXPECT_NE(run.err.find(quote.string()), std::string::npos) << reader[0] << ": " << run.err;
        EXPECT_EQ(run.out, "") << reader[0];
    }

    // The window's panel shows what it could read, and its last status line names the file.
    common::PlainHost plain;
    analytics::LeftPanelServices services;
    services.host = plain.AsHost();
    services.folder = common::ProgramFolder(home_.Folder());
    analytics::LeftPanelModel panel(services);
    const settings::Settings settings = settings::DefaultSettings("EUR", services.folder);
    analytics::LeftPanelSetup setup;
    setup.database_file = quote;
    panel.Build(analytics::AnalysisInput(settings, "EUR"), setup);
    const std::string expected = quote.string() + " could not be read: ";
    EXPECT_TRUE(panel.DatabaseFaultLine().starts_with(expected)) << panel.DatabaseFaultLine();
    ASSERT_FALSE(plain.StatusTexts().empty());
    EXPECT_EQ(plain.StatusTexts().back(), panel.DatabaseFaultLine());
}

// --- Where the unload writes ---

// A first run given a relative --home stores the folder as an absolute one, which a run
// started from another directory still finds.
TEST(RelativeHome, IsStoredAsAnAbsoluteFolder) {
    const test::TempFolder parent;
    std::filesystem::create_directories(parent / "relhome" / "DB");
    std::filesystem::create_directories(parent / "relhome" / "OUTPUT");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(parent.Path());
    const test::CliOutcome run =
        test::RunCli({"--home", "relhome", "unload", "--symbol", "EUR", "--date", "20121210"});
    std::filesystem::current_path(saved);
    EXPECT_EQ(run.status, 0) << run.err;
    settings::SettingsRecord record("EUR", common::ProgramFolder(parent / "relhome"));
    record.OpenSettingsReadOnly(parent / "relhome" / "DB" / "EUR_config.lql");
    EXPECT_EQ(record.OutputFolder(), (parent / "relhome" / "OUTPUT").string() + "/");
}

}  // namespace
}  // namespace zarvex
