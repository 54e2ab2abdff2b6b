// Kills real day runs of zarvex-cli at random moments and checks what they leave behind:
// every day of every quote database is either complete or absent, no flag claims work that
// is not there, the files are sound, and a final run completes everything without twins.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <random>
#include <thread>

#include "common/date.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "storage/database.h"
#include "storage/stage_flags.h"
#include "support/temp_folder.h"

namespace zarvex {
namespace {

constexpr const char* kSymbols[] = {"EUR", "GBP", "AUD", "CAD", "JPY", "CHF"};
const common::Date kRunDate = common::MakeDate(2013, 3, 1);

std::filesystem::path Cli() {
    return test::BinaryDir() / "src" / "app" / "cli" / "zarvex-cli";
}

pid_t StartRun(const std::filesystem::path& home) {
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string home_text = home.string();
        const std::string cli = Cli().string();
        // Quiet child: its status texts are not what this test reads.
        [[maybe_unused]] FILE* quiet = freopen("/dev/null", "w", stderr);
        execl(cli.c_str(), cli.c_str(), "--home", home_text.c_str(), "process-previous-days",
              "--date", common::DateKey(kRunDate).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int RunToEnd(const std::filesystem::path& home) {
    const pid_t pid = StartRun(home);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using Counts = std::map<std::string, std::int64_t>;  // "SYM date" -> rows

Counts RowCounts(const std::filesystem::path& home) {
    Counts counts;
    for (const char* symbol : kSymbols) {
        storage::Database db =
            storage::Database::Open(home / "DB" / (std::string(symbol) + "_data.lql"));
        storage::Statement s = db.Prepare("SELECT date, count(*) FROM dating GROUP BY date");
        while (s.Step()) {
            counts[std::string(symbol) + " " + s.ColumnText(0)] = s.ColumnInt(1);
        }
    }
    return counts;
}

void ExpectSound(const std::filesystem::path& home, const Counts& reference,
                 const std::map<std::string, std::string>& reference_files, int kill) {
    const Counts counts = RowCounts(home);
    for (const auto& [key, rows] : counts) {
        const auto it = reference.find(key);
        ASSERT_NE(it, reference.end()) << "kill " << kill << ": unexpected day " << key;
        EXPECT_EQ(rows, it->second) << "kill " << kill << ": day stored in part: " << key;
    }
    for (const char* symbol : kSymbols) {
        const auto db_path = home / "DB" / (std::string(symbol) + "_data.lql");
        if (!std::filesystem::exists(db_path) || std::filesystem::file_size(db_path) == 0) {
            continue;
        }
        storage::Database quote = storage::Database::Open(db_path);
        storage::Statement check = quote.Prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check.Step());
        EXPECT_EQ(check.ColumnText(0), "ok") << symbol;
        storage::Database operation =
            storage::Database::Open(home / "DB" / (std::string(symbol) + "_operation.lql"));
        for (const auto& [key, rows] : reference) {
            if (key.rfind(symbol, 0) != 0) {
                continue;
            }
            const std::string day_text = key.substr(4);
            const common::Date day = common::ParseDate(day_text, "%dd.%mm.%yyyy");
            const std::string date_key = common::DateKey(day);
            if (storage::GetStageFlag(operation, date_key, storage::kStageExtract) == 1) {
                EXPECT_TRUE(counts.count(key) == 1)
                    << "kill " << kill << ": flag without rows " << key;
            }
            if (storage::GetStageFlag(operation, date_key, storage::kStageUpload) == 1) {
                const std::string name = std::string(symbol) + date_key + ".TXT";
                const auto file = home / "OUTPUT" / name;
                ASSERT_TRUE(std::filesystem::exists(file)) << "kill " << kill << ": " << name;
                EXPECT_EQ(test::ReadFile(file), reference_files.at(name))
                    << "kill " << kill << ": " << name;
            }
        }
    }
}

TEST(DayRunKilled, LeavesWholeDaysOnlyAndTheNextRunCompletes) {
    ASSERT_TRUE(std::filesystem::exists(Cli())) << Cli();
    reportgen::GeneratorOptions options;
    options.strikes = 60;
    const reportgen::ReportGenerator generator(options);
    const auto days = reportgen::TradingDays(kRunDate - 30 * common::kSecondsPerDay,
                                             kRunDate - common::kSecondsPerDay);

    // In memory: the runs are bound by disk syncs otherwise, and a kill is not a power loss,
    // so what SQLite has handed to the kernel survives it either way.
    test::TempProgramFolder clean(test::MemoryTempBase());
    test::TempProgramFolder killed(test::MemoryTempBase());
    for (common::Date d : days) {
        const auto day = generator.Generate(d);
        std::string error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(day, clean.Path(), &error)) << error;
        ASSERT_TRUE(reportgen::WriteProgramFolderDay(day, killed.Path(), &error)) << error;
    }

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunToEnd(clean.Path()), 0);
    const auto clean_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - started)
                              .count();
    const Counts reference = RowCounts(clean.Path());
    // The unloaded days, and the levels feed of the run's last day in OUTPUT/levels/.
    std::map<std::string, std::string> reference_files;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(clean.Path() / "OUTPUT")) {
        if (entry.is_regular_file()) {
            reference_files[entry.path().lexically_relative(clean.Path() / "OUTPUT").string()] =
                test::ReadFile(entry.path());
        }
    }

    std::mt19937 rng(2024);
    // Spread the kills over the whole run, with extra weight at its very start, where the
    // files are created.
    std::uniform_int_distribution<long> when(0, std::max<long>(clean_ms, 20));
    constexpr int kKills = 28;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t pid = StartRun(killed.Path());
        const long delay = kill < 8 ? kill * 4 : when(rng);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        ::kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ExpectSound(killed.Path(), reference, reference_files, kill);
        if (HasFatalFailure()) {
            return;
        }
    }
    ASSERT_EQ(RunToEnd(killed.Path()), 0);
    EXPECT_EQ(RowCounts(killed.Path()), reference);
    for (const auto& [name, content] : reference_files) {
        EXPECT_EQ(test::ReadFile(killed.Path() / "OUTPUT" / name), content) << name;
    }
}

}  // namespace
}  // namespace zarvex
