// Closing the program while the scheduler waits on a server that never answers: the stop
// reaches the transfer or socket that waits, so Shutdown returns at once instead of after the
// network limits (30 s without a byte, 600 s a transfer).
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "acquisition/download_scheduler.h"
#include "acquisition/downloader.h"
#include "common/plain_host.h"
#include "common/system_clock.h"
#include "recording_notifier.h"
#include "server_fixture.h"

namespace zarvex::acquisition {
namespace {

using common::MakeDate;

struct SilentCase {
    const char* name;
    const char* silent_on;  // the request that hangs
    const char* awaited;    // the request seen before the close
    bool drip = false;      // it crawls at 2 bytes a second instead of saying nothing
};

class ShutdownTest : public testing::TestWithParam<SilentCase> {};

TEST_P(ShutdownTest, ShutdownDuringASilentRequestReturnsWithinTwoSeconds) {
    test::TempProgramFolder home;
    test::ServedTree tree;
    for (common::Date day = MakeDate(2012, 11, 1); day <= MakeDate(2012, 12, 3);
         day += common::kSecondsPerDay) {
        tree.PutReport(ReportFileName(day, ReportKind::kCur), "report\n");
        tree.PutForwardPoints(ForwardPointRemoteName(day), "EUR 1\n");
    }
    tree.Server().SetFixedTime(MakeDate(2012, 12, 3, 16, 0));
    tools::ServerFaults faults;
    if (GetParam().drip) {
        faults.drip_on = GetParam().silent_on;
    } else {
        faults.silent_on = GetParam().silent_on;
    }
    tree.Server().SetFaults(faults);

    common::SystemClock clock;
    common::PlainHost plain;
    test::RecordingNotifier notifier;
    NetworkServicesSetup services_setup;
    services_setup.folder = home.Folder();
    services_setup.report_host = tree.Host();
    services_setup.time_hosts = {tree.Host()};
    services_setup.clock = &clock;
    services_setup.host = plain.AsHost();
    services_setup.notifier = &notifier;
    services_setup.pause = std::chrono::milliseconds(0);
    services_setup.network_up = [] { return true; };
    NetworkSchedulerServices services(services_setup);  // the program's own limits

    SchedulerSetup setup;
    setup.services = &services;
    setup.host = plain.AsHost();
    setup.notifier = &notifier;
    setup.time_scale = 100.0;  // the first steps after 0.3 s
    DownloadScheduler scheduler(setup);
    scheduler.SetDailyStartHour(22);
    scheduler.SetRetryDelay(5);
    scheduler.Start();

    const auto asked = [&] {
        const auto requests = tree.Server().Requests();
        return std::find(requests.begin(), requests.end(), GetParam().awaited) != requests.end();
    };
    for (int i = 0; i < 200 && !asked(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(asked());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // well inside the wait

    const auto before = std::chrono::steady_clock::now();
    scheduler.Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    for (const auto& entry : std::filesystem::directory_iterator(home.Path() / "INPUT")) {
        EXPECT_NE(entry.path().filename().string().rfind("CUR_", 0), 0u) << entry.path();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ShutdownTest,
    testing::Values(
        // State 2: the catch-up's listing never comes.
        SilentCase{"catch_up_listing", "/toster/", "/toster/"},
        // The report itself never comes (the listing did).
        SilentCase{"catch_up_report", "CUR_20121105", "/toster/CUR_20121105.TXT"},
        // The report crawls in, a byte at a time.
        SilentCase{"crawling_report", "CUR_20121105", "/toster/CUR_20121105.TXT", true},
        // State 1: the time request's socket gets no answer.
        SilentCase{"time_request", "/simple/", "/simple/"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace zarvex::acquisition
