// The scheduler with its real downloads against the stand-in server, on a clock that runs
// 10,000 times faster than the wall: from Monday afternoon to Wednesday night in seconds.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "acquisition/download_scheduler.h"
#include "acquisition/downloader.h"
#include "acquisition/time_texts.h"
#include "common/plain_host.h"
#include "common/system_clock.h"
#include "recording_notifier.h"
#include "server_fixture.h"
#include "storage/stage_flags.h"

namespace zarvex::acquisition {
namespace {

using common::MakeDate;

constexpr double kScale = 10'000.0;

// Greenwich time that starts at `start` and runs kScale times faster than the wall.
class FastClock final {
public:
    explicit FastClock(common::Date start)
        : start_(start), origin_(std::chrono::steady_clock::now()) {}
    common::Date Now() const {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - origin_;
        return start_ + static_cast<common::Date>(elapsed.count() * kScale);
    }

private:
    common::Date start_;
    std::chrono::steady_clock::time_point origin_;
};

TEST(SchedulerCycleTest, ThreeEveningsDownloadThreeDays) {
    test::TempProgramFolder home;
    test::ServedTree tree;
    // Every day from November to Christmas is published.
    for (common::Date day = MakeDate(2012, 11, 1); day <= MakeDate(2012, 12, 24);
         day += common::kSecondsPerDay) {
        tree.PutReport(ReportFileName(day, ReportKind::kCur),
                       "report " + common::DateKey(day) + "\n");
        tree.PutForwardPoints(ForwardPointRemoteName(day), "EUR 1\n");
    }
    // Monday 3 December 2012, 10:00 at the exchange (16:00 Greenwich): the catch-up has
    // hours of the fast clock to finish before the evening, even on a busy machine.
    const FastClock fast(MakeDate(2012, 12, 3, 16, 0));
    tree.Server().SetClock([&fast] { return fast.Now(); });

    common::SystemClock system_clock;
    common::PlainHost plain;
    test::RecordingNotifier notifier;
    NetworkServicesSetup services_setup;
    services_setup.folder = home.Folder();
    services_setup.report_host = tree.Host();
    services_setup.time_hosts = {tree.Host()};
    services_setup.clock = &system_clock;
    services_setup.host = plain.AsHost();
    services_setup.notifier = &notifier;
    services_setup.timeouts = test::QuickTimeouts();
    services_setup.pause = std::chrono::milliseconds(0);
    services_setup.network_up = [] { return true; };
    NetworkSchedulerServices services(services_setup);

    SchedulerSetup setup;
    setup.services = &services;
    setup.host = plain.AsHost();
    setup.notifier = &notifier;
    setup.time_scale = kScale;
    DownloadScheduler scheduler(setup);
    scheduler.SetDailyStartHour(22);
    scheduler.SetRetryDelay(5);

    // What the window's handler would process on each 560: the scheduler's current day.
    std::mutex mutex;
    std::vector<std::string> handled;
    std::atomic<int> evenings{0};
    notifier.OnDownloaded([&](int value) {
        std::lock_guard guard(mutex);
        handled.push_back(std::to_string(value) + ":" + common::DateKey(scheduler.CurrentDay()));
        if (value == 2) {
            ++evenings;
        }
    });

    scheduler.Start();
    for (int i = 0; i < 2400 && evenings < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    scheduler.Shutdown();

    std::lock_guard guard(mutex);
    EXPECT_EQ(handled,
              (std::vector<std::string>{"1:20121203", "2:20121203", "2:20121204", "2:20121205"}));
    const auto& db = services.Downloads().DownloadDatabase();
    for (const char* key : {"20121203", "20121204", "20121205", "20121130", "20121105"}) {
        EXPECT_EQ(storage::GetStageFlag(db, key, storage::kStageDownload), 1) << key;
        EXPECT_TRUE(
            std::filesystem::exists(home.Path() / "INPUT" / (std::string("CUR_") + key + ".TXT")));
    }
    EXPECT_EQ(storage::GetStageFlag(db, "20121206", storage::kStageDownload), 0);
    const auto statuses = notifier.Statuses();
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(),
                         "Download the current day has been completed successfully. After a while "
                         "will be start data processing."),
              3);
}

}  // namespace
}  // namespace zarvex::acquisition
