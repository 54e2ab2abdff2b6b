#include "acquisition/download_scheduler.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "common/plain_host.h"
#include "recording_notifier.h"
#include "support/case_name.h"

namespace zarvex::acquisition {
namespace {

using common::MakeDate;
using TimerId = DownloadScheduler::TimerId;

// Services whose answers the test sets; they record what the states asked for.
class FakeServices final : public SchedulerServices {
public:
    common::Date NetworkTime() override {
        std::lock_guard guard(mutex_);
        ++time_reads;
        return time;
    }
    bool IsNetworkUp() override {
        if (on_network_check) {
            on_network_check();
        }
        return network_up;
    }
    void DownloadForwardPointRange(common::Date t) override {
        std::lock_guard guard(mutex_);
        ranges.push_back(t);
    }
    common::Outcome DownloadPreviousDays(common::Date now) override {
        std::lock_guard guard(mutex_);
        previous_days.push_back(now);
        return Result(previous_result);
    }
    common::Outcome DownloadCurrentDay(common::Date now) override {
        std::lock_guard guard(mutex_);
        current_days.push_back(now);
        return Result(current_result);
    }

    common::Date time = 0;
    bool network_up = true;
    std::function<void()> on_network_check;
    int previous_result = 1;
    int current_result = 1;
    int time_reads = 0;
    std::vector<common::Date> ranges;
    std::vector<common::Date> previous_days;
    std::vector<common::Date> current_days;

private:
    static common::Outcome Result(int flag) {
        return flag == 1 ? common::Outcome::Done() : common::Outcome::Failed("the test said 0");
    }

    std::mutex mutex_;
};

// The timers wait in real time here (scale 1), so nothing fires by itself during a test: the
// test fires the actions by hand and reads how the timers were armed.
class SchedulerTest : public testing::Test {
protected:
    SchedulerTest() {
        SchedulerSetup setup;
        setup.services = &services_;
        setup.host = plain_.AsHost();
        setup.notifier = &notifier_;
        scheduler_ = std::make_unique<DownloadScheduler>(setup);
        scheduler_->SetDailyStartHour(22);
        scheduler_->SetRetryDelay(5);
    }

    // From start to state 3 at the given exchange time.
    void RunUpToWait(common::Date time) {
        services_.time = time;
        scheduler_->Start();
        EXPECT_EQ(scheduler_->State(), SchedulerState::kStart);
        EXPECT_EQ(scheduler_->TimerInterval(TimerId::kStep), 30);
        scheduler_->StepAction();  // state 1: forward points
        EXPECT_EQ(scheduler_->State(), SchedulerState::kPreviousDays);
        scheduler_->StepAction();  // state 2: catch-up
        EXPECT_EQ(scheduler_->State(), SchedulerState::kWait);
        scheduler_->StepAction();  // state 3: arms Timer_Run or Timer_Monitor
    }

    FakeServices services_;
    common::PlainHost plain_;
    test::RecordingNotifier notifier_;
    std::unique_ptr<DownloadScheduler> scheduler_;
};

struct WaitCase {
    int hour;
    int minute;
    int second;
    TimerId armed;
    std::int64_t interval;
};

class WaitStateTest : public SchedulerTest, public testing::WithParamInterface<WaitCase> {};

TEST_P(WaitStateTest, ArmsTheTimerOfTheHour) {
    const WaitCase& c = GetParam();
    RunUpToWait(MakeDate(2012, 12, 3, c.hour, c.minute, c.second));
    EXPECT_FALSE(scheduler_->IsTimerRunning(TimerId::kStep));
    EXPECT_TRUE(scheduler_->IsTimerRunning(c.armed));
    EXPECT_EQ(scheduler_->TimerInterval(c.armed), c.interval);
    const TimerId other = c.armed == TimerId::kRun ? TimerId::kMonitor : TimerId::kRun;
    EXPECT_FALSE(scheduler_->IsTimerRunning(other));
    EXPECT_EQ(scheduler_->State(), SchedulerState::kWait);
}

INSTANTIATE_TEST_SUITE_P(Hours, WaitStateTest,
                         testing::Values(WaitCase{10, 30, 0, TimerId::kRun, 41400},
                                         WaitCase{21, 59, 0, TimerId::kRun, 60},
                                         // Seconds are ignored.
                                         WaitCase{21, 59, 59, TimerId::kRun, 60},
                                         WaitCase{0, 0, 0, TimerId::kRun, 79200},
                                         WaitCase{22, 0, 0, TimerId::kMonitor, 300},
                                         WaitCase{22, 40, 0, TimerId::kMonitor, 300},
                                         WaitCase{23, 59, 0, TimerId::kMonitor, 300}),
                         [](const auto& one_case) {
                             return test::CaseName(one_case.index,
                                                   std::to_string(one_case.param.hour) + "h" +
                                                       std::to_string(one_case.param.minute) + "m" +
                                                       std::to_string(one_case.param.second) + "s");
                         });

TEST_F(SchedulerTest, StartStatesFetchForwardPointsAndCatchUp) {
    const common::Date time = MakeDate(2012, 12, 3, 10, 30);
    RunUpToWait(time);
    EXPECT_EQ(services_.ranges, std::vector<common::Date>{time});
    EXPECT_EQ(services_.previous_days, std::vector<common::Date>{time});
    EXPECT_EQ(
        notifier_.Statuses(),
        std::vector<std::string>{"Download for previous days has been completed "
                                 "successfully. After a while will be start data processing."});
    EXPECT_EQ(notifier_.Downloaded(), std::vector<int>{1});
    EXPECT_EQ(scheduler_->CurrentDay(), time);
}

TEST_F(SchedulerTest, FailedCatchUpRetriesAfter300Seconds) {
    services_.previous_result = 0;
    services_.time = MakeDate(2012, 12, 3, 10, 30);
    scheduler_->Start();
    scheduler_->StepAction();
    scheduler_->StepAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kPreviousDays);
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kStep), 300);
    EXPECT_TRUE(scheduler_->IsTimerRunning(TimerId::kStep));
    EXPECT_EQ(
        notifier_.Statuses().back(),
        "Download for previous days has not been completed. The process will restart in 5 min.");
    EXPECT_TRUE(notifier_.Downloaded().empty());
    services_.previous_result = 1;
    scheduler_->StepAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kWait);
}

TEST_F(SchedulerTest, CatchUpWithoutATimeAsksTheNetworkAgain) {
    // The start got no time: the catch-up must not count back from 1970, and its retry must
    // work once the network answers.
    services_.time = -1;
    scheduler_->Start();
    scheduler_->StepAction();  // state 1
    scheduler_->StepAction();  // state 2, still no time
    EXPECT_TRUE(services_.previous_days.empty());
    EXPECT_EQ(scheduler_->State(), SchedulerState::kPreviousDays);
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kStep), 300);
    EXPECT_EQ(
        notifier_.Statuses().back(),
        "Download for previous days has not been completed. The process will restart in 5 min.");
    const common::Date time = MakeDate(2012, 12, 3, 10, 30);
    services_.time = time;
    scheduler_->StepAction();
    EXPECT_EQ(services_.previous_days, std::vector<common::Date>{time});
    EXPECT_EQ(scheduler_->State(), SchedulerState::kWait);
    EXPECT_EQ(scheduler_->CurrentDay(), time);
}

TEST_F(SchedulerTest, EveningCycleDownloadsTheDayAndArmsTheNextEvening) {
    RunUpToWait(MakeDate(2012, 12, 3, 10, 30));
    services_.time = MakeDate(2012, 12, 3, 22, 0);
    scheduler_->RunAction();
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kRun), 86400);
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kMonitor), 300);
    EXPECT_TRUE(scheduler_->IsTimerRunning(TimerId::kMonitor));
    scheduler_->MonitorAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kCurrentDay);
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kStep), 5);
    services_.time = MakeDate(2012, 12, 3, 22, 7);
    notifier_.OnDownloaded([&](int value) {
        if (value == 2) {
            // The handler of 560/2 reads the day that was just downloaded.
            EXPECT_EQ(scheduler_->CurrentDay(), MakeDate(2012, 12, 3, 22, 7));
        }
    });
    scheduler_->StepAction();
    EXPECT_EQ(services_.current_days, std::vector<common::Date>{MakeDate(2012, 12, 3, 22, 7)});
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kRun), 85980);
    EXPECT_FALSE(scheduler_->IsTimerRunning(TimerId::kMonitor));
    EXPECT_FALSE(scheduler_->IsTimerRunning(TimerId::kStep));
    EXPECT_EQ(scheduler_->State(), SchedulerState::kCurrentDay);
    EXPECT_EQ(notifier_.Statuses().back(),
              "Download the current day has been completed successfully. After a while will be "
              "start data processing.");
    EXPECT_EQ(notifier_.Downloaded(), (std::vector<int>{1, 2}));
}

TEST_F(SchedulerTest, EachEveningDownloadsItsOwnDay) {
    RunUpToWait(MakeDate(2012, 12, 3, 10, 30));
    for (int day = 3; day <= 5; ++day) {
        services_.time = MakeDate(2012, 12, day, 22, 5);
        scheduler_->RunAction();
        scheduler_->MonitorAction();
        scheduler_->StepAction();
    }
    EXPECT_EQ(services_.current_days,
              (std::vector<common::Date>{MakeDate(2012, 12, 3, 22, 5), MakeDate(2012, 12, 4, 22, 5),
                                         MakeDate(2012, 12, 5, 22, 5)}));
}

TEST_F(SchedulerTest, FailedCurrentDayRetriesThroughTheMonitor) {
    RunUpToWait(MakeDate(2012, 12, 3, 22, 40));
    services_.current_result = 0;
    scheduler_->MonitorAction();
    scheduler_->StepAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kCurrentDay);
    EXPECT_TRUE(scheduler_->IsTimerRunning(TimerId::kMonitor));
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kMonitor), 300);
    EXPECT_FALSE(scheduler_->IsTimerRunning(TimerId::kRun));
    EXPECT_EQ(
        notifier_.Statuses().back(),
        "Download the current day has not been completed. The process will restart in 5 min.");
    EXPECT_EQ(notifier_.Downloaded(), std::vector<int>{1});
}

TEST_F(SchedulerTest, NoNetworkTimeMeansNoDownloadAndARetry) {
    RunUpToWait(MakeDate(2012, 12, 3, 22, 40));
    services_.time = -1;
    scheduler_->MonitorAction();
    scheduler_->StepAction();
    EXPECT_TRUE(services_.current_days.empty());
    EXPECT_TRUE(scheduler_->IsTimerRunning(TimerId::kMonitor));
    EXPECT_EQ(scheduler_->CurrentDay(), -1);
}

TEST_F(SchedulerTest, LockedWindowPostponesEveryAction) {
    RunUpToWait(MakeDate(2012, 12, 3, 10, 30));
    const int reads = services_.time_reads;
    plain_.Enter();
    scheduler_->MonitorAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kWait);
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kMonitor), 30);
    scheduler_->RunAction();
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kRun), 30);
    EXPECT_EQ(scheduler_->TimerInterval(TimerId::kMonitor), 30);
    scheduler_->StepAction();
    EXPECT_EQ(services_.time_reads, reads);
    plain_.Leave();
    scheduler_->MonitorAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kCurrentDay);
}

TEST_F(SchedulerTest, NoNetworkLeavesTheStateAsItIs) {
    services_.network_up = false;
    services_.time = MakeDate(2012, 12, 3, 10, 30);
    scheduler_->Start();
    scheduler_->StepAction();
    EXPECT_EQ(scheduler_->State(), SchedulerState::kStart);
    EXPECT_TRUE(services_.ranges.empty());
    EXPECT_TRUE(scheduler_->IsTimerRunning(TimerId::kStep));
}

TEST_F(SchedulerTest, SaturdayEveningCountsAsDone) {
    // DownloadDay answers 1 for a day without trading; the scheduler reports it like any day.
    RunUpToWait(MakeDate(2012, 12, 8, 22, 5));
    scheduler_->MonitorAction();
    scheduler_->StepAction();
    EXPECT_EQ(notifier_.Downloaded(), (std::vector<int>{1, 2}));
}

TEST(SchedulerFiringTest, FiringThatWaitedWhileItsTimerStoppedIsDropped) {
    // The timers run on their own here (1,000 times fast: Timer_Monitor every 300 ms). While
    // the current-day step waits for its network check, Timer_Monitor and Timer_Step fire
    // again and their actions wait behind it; the step then stops both timers and downloads
    // the day. Those waiting firings belong to stopped timers and must not start the day again.
    FakeServices services;
    services.time = MakeDate(2012, 12, 3, 22, 40);
    common::PlainHost plain;
    test::RecordingNotifier notifier;
    SchedulerSetup setup;
    setup.services = &services;
    setup.host = plain.AsHost();
    setup.notifier = &notifier;
    setup.time_scale = 1000.0;
    DownloadScheduler scheduler(setup);
    scheduler.SetDailyStartHour(22);
    scheduler.SetRetryDelay(5);

    std::mutex mutex;
    std::condition_variable changed;
    bool waiting = false;
    bool open = false;
    services.on_network_check = [&] {
        if (scheduler.State() != SchedulerState::kCurrentDay) {
            return;
        }
        std::unique_lock lock(mutex);
        waiting = true;
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
    };
    scheduler.Start();
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return waiting; }));
    }
    // Long enough for Timer_Monitor to fire twice more behind the waiting step.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    {
        std::lock_guard lock(mutex);
        open = true;
    }
    changed.notify_all();
    for (int i = 0; i < 600 && notifier.Downloaded().size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Room for any waiting firing to run before the timers stop.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    scheduler.Shutdown();
    EXPECT_EQ(notifier.Downloaded(), (std::vector<int>{1, 2}));
    EXPECT_EQ(services.current_days.size(), 1u);
}

}  // namespace
}  // namespace zarvex::acquisition
