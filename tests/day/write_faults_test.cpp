// Day runs against files that refuse writes: the day must come out 0 and unmarked, say which
// file failed, and be stored exactly once by the first run after the fault is gone.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "common/plain_host.h"
#include "common/text.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/stage_flags.h"
#include "storage/store.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex {
namespace {

const common::Date kMonday = common::MakeDate(2012, 12, 10);

// chattr +i keeps even root from writing; mode 0444 does not. Undone by the destructor.
class Immutable final {
public:
    explicit Immutable(const std::filesystem::path& path) : path_(path) {
        ok_ = std::system(("chattr +i '" + path_.string() + "' 2>/dev/null").c_str()) == 0;
    }
    ~Immutable() { Release(); }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool Ok() const { return ok_; }
    void Release() {
        if (ok_) {
            // Best effort: a file left immutable is the temporary folder's to report.
            [[maybe_unused]] const int status =
                std::system(("chattr -i '" + path_.string() + "'").c_str());
            ok_ = false;
        }
    }

private:
    std::filesystem::path path_;
    bool ok_ = false;
};

// A cap on the size of every file this process writes: a full disk for the day's databases.
class FileSizeCap final {
public:
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit cap = saved_;
        cap.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeCap() { Release(); }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;
    void Release() {
        if (active_) {
            setrlimit(RLIMIT_FSIZE, &saved_);
            signal(SIGXFSZ, old_handler_);
            active_ = false;
        }
    }

private:
    rlimit saved_{};
    sighandler_t old_handler_ = SIG_DFL;
    bool active_ = true;
};

class WriteFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        reportgen::GeneratorOptions options;
        options.strikes = 30;
        day_ = reportgen::ReportGenerator(options).Generate(kMonday);
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(day_, home_.Path(), &error)) << error;
        common::PlainHost plain;
        day::InstrumentList list(home_.Folder(), plain.AsHost());  // makes the files
    }

    test::CliOutcome ProcessDay() {
        return test::RunCli({"--home", home_.Path().string(), "process-day", "--date", "20121210"});
    }

    std::filesystem::path Quote(const char* symbol) const {
        return storage::QuotePath(home_.Folder(), symbol);
    }
    std::filesystem::path Operation(const char* symbol) const {
        return storage::OperationPath(home_.Folder(), symbol);
    }

    int Flag(const char* symbol) const {
        const storage::Database db = storage::Database::OpenReadOnly(Operation(symbol));
        return storage::GetStageFlag(db, "20121210", storage::kStageExtract);
    }

    // Rows of the day stored for the symbol, and how many distinct keys they hold.
    std::pair<std::int64_t, std::int64_t> Stored(const char* symbol) const {
        const storage::Database db = storage::Database::OpenReadOnly(Quote(symbol));
        storage::Statement s = db.Prepare(
            "SELECT count(*), count(DISTINCT option || '|' || contract || '|' || strike) FROM "
            "dating WHERE date = '10.12.2012'");
        return s.Step() ? std::pair{s.ColumnInt(0), s.ColumnInt(1)}
                        : std::pair<std::int64_t, std::int64_t>{-1, -1};
    }

    // The rows the report holds for the symbol, twins folded, blank lines left out.
    std::int64_t Expected(const char* symbol) const {
        std::set<std::tuple<std::string, std::string, std::string>> keys;
        for (const auto& row : day_.rows.at(symbol)) {
            const bool blank = row.price.empty() && row.delta.empty() && row.volume.empty() &&
                               row.oi.empty() && row.doi.empty() && row.sign.empty();
            if (!blank) {
                keys.emplace(row.option, std::string(common::Trim(row.contract)), row.strike);
            }
        }
        return static_cast<std::int64_t>(keys.size());
    }

    // The fault is gone: the next run stores every row of the day once and marks it.
    void ExpectStoredOnceByTheNextRun(const char* symbol) {
        const test::CliOutcome again = ProcessDay();
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(Flag(symbol), 1);
        const auto [rows, keys] = Stored(symbol);
        EXPECT_EQ(rows, Expected(symbol));
        EXPECT_EQ(keys, rows);
    }

    static std::string LastLine(std::string text) {
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        const std::size_t start = text.rfind('\n');
        return start == std::string::npos ? text : text.substr(start + 1);
    }

    test::TempProgramFolder home_;
    reportgen::GeneratedDay day_;
};

TEST_F(WriteFaultsTest, AReadOnlyQuoteDatabaseLeavesTheDayUnmarked) {
    Immutable frozen(Quote("GBP"));
    if (!frozen.Ok()) {
        GTEST_SKIP() << "chattr +i is not permitted on this file system";
    }
    const test::CliOutcome run = ProcessDay();
    EXPECT_EQ(run.status, 1);
    const std::string last = LastLine(run.err);
    EXPECT_NE(last.find("GBP"), std::string::npos) << last;
    EXPECT_NE(last.find(Quote("GBP").string()), std::string::npos) << last;
    EXPECT_EQ(Flag("GBP"), 0);
    EXPECT_EQ(Stored("GBP").first, 0);
    EXPECT_EQ(Flag("EUR"), 1);  // the others' days are theirs
    EXPECT_EQ(Flag("CHF"), 1);
    frozen.Release();
    ExpectStoredOnceByTheNextRun("GBP");
}

TEST_F(WriteFaultsTest, AReadOnlyOperationDatabaseMakesTheDayZero) {
    Immutable frozen(Operation("EUR"));
    if (!frozen.Ok()) {
        GTEST_SKIP() << "chattr +i is not permitted on this file system";
    }
    const test::CliOutcome run = ProcessDay();
    EXPECT_EQ(run.status, 1);
    const std::string last = LastLine(run.err);
    EXPECT_NE(last.find(Operation("EUR").string()), std::string::npos) << last;
    EXPECT_EQ(Flag("EUR"), 0);
    EXPECT_FALSE(std::filesystem::exists(home_.Path() / "OUTPUT" / "EUR20121210.TXT"));
    frozen.Release();
    // The rows of the first run are there; the second run updates them, adding none.
    ExpectStoredOnceByTheNextRun("EUR");
}

TEST_F(WriteFaultsTest, AFullDiskLeavesEveryDayUnmarked) {
    std::uintmax_t largest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home_.Path() / "DB")) {
        largest = std::max(largest, entry.file_size());
    }
    test::CliOutcome run;
    {
        FileSizeCap cap(largest);
        run = ProcessDay();
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(LastLine(run.err).find(Quote("EUR").string()), std::string::npos) << run.err;
    for (const char* symbol : {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"}) {
        EXPECT_EQ(Flag(symbol), 0) << symbol;
        EXPECT_EQ(Stored(symbol).first, 0) << symbol;
    }
    ExpectStoredOnceByTheNextRun("EUR");
    ExpectStoredOnceByTheNextRun("JPY");
}

}  // namespace
}  // namespace zarvex
