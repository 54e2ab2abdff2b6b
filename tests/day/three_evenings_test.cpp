// A program left open for days: the scheduler, with its real downloads against the stand-in
// server on a clock that runs 10,000 times faster than the wall, hands every downloaded day
// to the instrument list as the window's handler does. Three evenings give three days
// downloaded, extracted and unloaded, each on its own evening.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "acquisition/download_scheduler.h"
#include "acquisition/scheduler_services.h"
#include "common/plain_host.h"
#include "common/system_clock.h"
#include "common/text_table.h"
#include "day/instrument_list.h"
#include "reportgen/day_files.h"
#include "reportgen/report_generator.h"
#include "reportserver/report_server.h"
#include "storage/stage_flags.h"
#include "support/temp_folder.h"

namespace zarvex {
namespace {

using common::MakeDate;

constexpr double kScale = 10'000.0;

class Recorder final : public common::Notifier {
public:
    explicit Recorder(std::function<void(int)> on_downloaded)
        : on_downloaded_(std::move(on_downloaded)) {}
    void NotifyStatus(std::string_view) override {}
    void NotifyHistograms(int) override {}
    void NotifyDownloaded(common::DownloadedDays what) override {
        on_downloaded_(static_cast<int>(what));
    }

private:
    std::function<void(int)> on_downloaded_;
};

TEST(ThreeEvenings, EachEveningsDayIsDownloadedExtractedAndUnloaded) {
    test::TempProgramFolder home(test::MemoryTempBase());
    test::TempFolder served;
    reportgen::GeneratorOptions options;
    options.strikes = 4;
    const reportgen::ReportGenerator generator(options);
    for (common::Date day : reportgen::TradingDays(MakeDate(2012, 10, 25), MakeDate(2012, 12, 5))) {
        std::string error;
        ASSERT_TRUE(reportgen::WriteServerDay(generator.Generate(day), served.Path(), &error));
    }
    tools::ReportServer server(served.Path());
    ASSERT_TRUE(server.Start());
    // Monday 3 December 2012, 10:00 at the exchange (16:00 Greenwich), running fast.
    const common::Date start = MakeDate(2012, 12, 3, 16, 0);
    const auto origin = std::chrono::steady_clock::now();
    server.SetClock([&] {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - origin;
        return start + static_cast<common::Date>(elapsed.count() * kScale);
    });

    common::SystemClock clock;
    common::PlainHost plain;
    common::TextTable texts(common::Language::kEnglish);
    day::InstrumentList list(home.Folder(), plain.AsHost(&texts));

    acquisition::DownloadScheduler* scheduler_ptr = nullptr;
    std::mutex mutex;
    std::vector<std::string> runs;
    std::atomic<int> evenings{0};
    Recorder notifier([&](int value) {
        const common::Date day = scheduler_ptr->CurrentDay();
        const std::optional<common::Outcome> run =
            list.OnDownloaded(static_cast<common::DownloadedDays>(value), day);
        const int result = run ? run->Flag() : 1;
        std::lock_guard guard(mutex);
        runs.push_back(std::to_string(value) + ":" + common::DateKey(day) + "=" +
                       std::to_string(result));
        if (value == 2) {
            ++evenings;
        }
    });

    acquisition::NetworkServicesSetup services_setup;
    services_setup.folder = home.Folder();
    services_setup.report_host = server.HostText();
    services_setup.time_hosts = {server.HostText()};
    services_setup.clock = &clock;
    services_setup.host = plain.AsHost(&texts);
    services_setup.notifier = &notifier;
    services_setup.pause = std::chrono::milliseconds(0);
    services_setup.network_up = [] { return true; };
    acquisition::NetworkSchedulerServices services(services_setup);

    acquisition::SchedulerSetup setup;
    setup.services = &services;
    setup.host = plain.AsHost(&texts);
    setup.notifier = &notifier;
    setup.time_scale = kScale;
    acquisition::DownloadScheduler scheduler(setup);
    scheduler_ptr = &scheduler;
    scheduler.SetDailyStartHour(22);
    scheduler.SetRetryDelay(5);
    scheduler.Start();
    for (int i = 0; i < 3000 && evenings < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    scheduler.Shutdown();
    server.Stop();

    std::lock_guard guard(mutex);
    EXPECT_EQ(runs, (std::vector<std::string>{"1:20121203=1", "2:20121203=1", "2:20121204=1",
                                              "2:20121205=1"}));
    for (int i = 0; i < day::InstrumentList::kCount; ++i) {
        for (const char* key : {"20121203", "20121204", "20121205"}) {
            EXPECT_EQ(list.At(i).GetStageFlag(key, storage::kStageExtract), 1) << key;
            EXPECT_EQ(list.At(i).GetStageFlag(key, storage::kStageUpload), 1) << key;
            EXPECT_TRUE(std::filesystem::exists(home.Path() / "OUTPUT" /
                                                (list.At(i).Symbol() + key + ".TXT")));
        }
        EXPECT_EQ(list.At(i).GetStageFlag("20121130", storage::kStageExtract), 1);
    }
}

}  // namespace
}  // namespace zarvex
