#include "ui/background_work.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "analytics/board/board.h"
#include "common/program_folder.h"
#include "common/symbols.h"
#include "common/text.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "settings/settings.h"
#include "storage/store.h"
#include "support/temp_folder.h"
#include "ui/board/board_view.h"
#include "ui/gui_fixture.h"
#include "ui/qt_app.h"

namespace zarvex {
namespace {

using namespace std::chrono_literals;

// Turns the event loop until the work has delivered or been dropped.
void WaitIdle(const ui::BackgroundWork& work) {
    QElapsedTimer clock;
    clock.start();
    while (work.Busy() && clock.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

class BackgroundWorkTest : public testing::Test {
protected:
    void SetUp() override { test::EnsureQtApplication(); }
};

TEST_F(BackgroundWorkTest, OnlyTheLatestResultIsDeliveredOnTheWindowsThread) {
    ui::BackgroundWork work;
    std::vector<int> delivered;
    const std::thread::id window = std::this_thread::get_id();
    std::thread::id computed_on;
    std::thread::id delivered_on;
    work.Start<int>(
        [] {
            std::this_thread::sleep_for(60ms);
            return 1;
        },
        [&](int& value) { delivered.push_back(value); });
    work.Start<int>(
        [&] {
            computed_on = std::this_thread::get_id();
            return 2;
        },
        [&](int& value) {
            delivered_on = std::this_thread::get_id();
            delivered.push_back(value);
        });
    EXPECT_TRUE(work.Busy());
    WaitIdle(work);
    // The overtaken one finishes later still: it must not show.
    test::ProcessEventsFor(120ms);
    EXPECT_EQ(delivered, std::vector<int>{2});
    EXPECT_NE(computed_on, window);
    EXPECT_EQ(delivered_on, window);
    EXPECT_FALSE(work.Busy());
    EXPECT_EQ(ui::BackgroundWork::Awaited(), 0);
}

TEST_F(BackgroundWorkTest, DroppedFailedAndOrphanedComputationsDeliverNothing) {
    bool delivered = false;
    {
        ui::BackgroundWork work;
        work.Start<int>([] { return 1; }, [&](int&) { delivered = true; });
        work.Drop();
        EXPECT_FALSE(work.Busy());
        test::ProcessEventsFor(50ms);
        work.Start<int>([]() -> int { throw std::runtime_error("no file"); },
                        [&](int&) { delivered = true; });
        test::ProcessEventsFor(50ms);
        // Going away while a computation runs: it is waited for, its result lost.
        work.Start<int>(
            [] {
                std::this_thread::sleep_for(80ms);
                return 3;
            },
            [&](int&) { delivered = true; });
    }
    test::ProcessEventsFor(50ms);
    EXPECT_FALSE(delivered);
    EXPECT_EQ(ui::BackgroundWork::Awaited(), 0);
}

TEST_F(BackgroundWorkTest, ProgressComesBeforeItsResultAndOnlyWhileItsComputationIsTheLatest) {
    ui::BackgroundWork work;
    std::vector<std::string> seen;
    std::atomic<bool> said{false};
    work.StartWithProgress<int>(
        [&](const ui::BackgroundWork::Progress& progress) {
            progress(1, 9);
            said = true;
            std::this_thread::sleep_for(40ms);
            progress(2, 9);
            return 1;
        },
        [&](int&) { seen.emplace_back("overtaken result"); },
        [&](std::size_t, std::size_t) { seen.emplace_back("overtaken progress"); });
    while (!said) {
        std::this_thread::sleep_for(1ms);
    }
    work.StartWithProgress<int>(
        [](const ui::BackgroundWork::Progress& progress) {
            progress(1, 2);
            progress(2, 2);
            return 2;
        },
        [&](int& value) { seen.push_back("result " + std::to_string(value)); },
        [&](std::size_t done, std::size_t total) {
            seen.push_back(std::to_string(done) + "/" + std::to_string(total));
        });
    WaitIdle(work);
    test::ProcessEventsFor(120ms);
    EXPECT_EQ(seen, (std::vector<std::string>{"1/2", "2/2", "result 2"}));
}

// Six quote files of 250 generated trading days, written as the day runs store them.
class LongBoardFolder {
public:
    static constexpr int kDays = 250;

    LongBoardFolder() {
        for (const auto& sub : {home_.Input(), home_.Output(), home_.Db()}) {
            std::filesystem::create_directories(sub);
        }
        std::vector<storage::Database> databases;
        std::vector<storage::Statement> inserts;
        for (const std::string_view symbol : common::kSymbols) {
            databases.push_back(
                storage::OpenStore(storage::QuotePath(home_, symbol), storage::StoreKind::kQuote)
                    .db);
            databases.back().Execute("Begin Transaction");
            inserts.push_back(databases.back().Prepare(
                "INSERT INTO dating (strike, price, delta, volume, oi, doi, sign, symb, option, "
                "contract, expiration, date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        }
        const reportgen::ReportGenerator generator({.seed = 11});
        std::vector<common::Date> days =
            reportgen::TradingDays(kLastDay - 400 * common::kSecondsPerDay, kLastDay);
        days.erase(days.begin(), days.end() - kDays);
        for (const common::Date day : days) {
            const reportgen::GeneratedDay generated = generator.Generate(day);
            for (std::size_t i = 0; i < common::kSymbols.size(); ++i) {
                for (const import::ReportRow& row :
                     generated.rows.at(std::string(common::kSymbols[i]))) {
                    const std::string contract = common::TrimCopy(row.contract);
                    storage::Statement& insert = inserts[i];
                    insert.Reset(true);
                    insert.BindAll({std::string_view(row.strike), std::string_view(row.price),
                                    std::string_view(row.delta), std::string_view(row.volume),
                                    std::string_view(row.oi), std::string_view(row.doi),
                                    std::string_view(row.sign), std::string_view(row.symb),
                                    std::string_view(row.option), std::string_view(contract),
                                    std::string_view(row.expiration), std::string_view(row.date)});
                    insert.Run();
                }
            }
            std::ofstream(home_.ForwardPointFile(day), std::ios::binary)
                << generated.forward_points;
        }
        inserts.clear();
        for (const storage::Database& db : databases) {
            db.Execute("Commit");
        }
    }

    std::vector<analytics::BoardSource> Sources() const {
        std::vector<analytics::BoardSource> sources;
        for (const std::string_view symbol : common::kSymbols) {
            sources.push_back({analytics::AnalysisInput(settings_, std::string(symbol)),
                               storage::QuotePath(home_, symbol)});
        }
        return sources;
    }
    const common::ProgramFolder& Home() const { return home_; }
    const std::filesystem::path& Config() const { return folder_.Path(); }

    static inline const common::Date kLastDay = common::MakeDate(2012, 12, 7);

private:
    test::TempFolder folder_;
    common::ProgramFolder home_{folder_.Path() / "home"};
    settings::Settings settings_;
};

TEST_F(BackgroundWorkTest, TheEventLoopKeepsTurningWhileTheBoardOf250DaysIsBuilt) {
    const LongBoardFolder folder;
    test::FixedClock clock(LongBoardFolder::kLastDay + 20 * 3600);
    ui::BoardViewServices services;
    services.folder = folder.Home();
    services.config_folder = folder.Config();
    services.sources = [&folder] { return folder.Sources(); };
    services.clock = &clock;
    ui::BoardView view(nullptr, std::move(services));
    view.resize(1100, 700);
    view.show();

    // The window's own thread must never be busy for long; the machine may still hold it
    // back (other programs share its cores), so the time counted is the thread's own CPU time
    // between two ticks of a timer that asks for one every few milliseconds.
    const auto thread_time = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    };
    test::ProcessEventsFor(300ms);  // the first paint of the window loads its fonts
    double last_tick = thread_time();
    double longest_gap = 0.0;
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(4);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double now = thread_time();
        longest_gap = std::max(longest_gap, now - last_tick);
        last_tick = now;
        ++ticks;
    });
    // Asked for from inside the event loop, as a click would: work done on the window's
    // thread shows as a gap between two ticks.
    ticker.start();
    QTimer::singleShot(20, &view, [&view] { view.Refresh(); });
    test::ProcessEventsFor(60ms);
    EXPECT_TRUE(view.Busy());
    const QLabel* title = view.Title();
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->text().endsWith("Computing…")) << title->text().toStdString();
    QElapsedTimer overall;
    overall.start();
    while (view.Busy() && overall.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    test::ProcessEventsFor(100ms);  // the map arrived: it is painted
    ticker.stop();
    EXPECT_GT(ticks, 10);
    EXPECT_LT(longest_gap, 50.0) << "the window's thread was busy for " << longest_gap << " ms";
    ASSERT_FALSE(view.Busy());
    EXPECT_LT(longest_gap, 50) << "the window stood still for " << longest_gap << " ms";
    EXPECT_EQ(view.Board().date, LongBoardFolder::kLastDay);
    EXPECT_EQ(view.Summary()->rowCount(), 6);
    EXPECT_EQ(title->text().toStdString(), "Board: " + common::DayText(LongBoardFolder::kLastDay));
}

}  // namespace
}  // namespace zarvex
