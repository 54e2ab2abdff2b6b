#include "acquisition/timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

namespace zarvex::acquisition {
namespace {

using namespace std::chrono_literals;

// Waits (bounded) until the condition holds.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 2000 && !condition(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    return condition();
}

TEST(TimerTest, FiresEveryIntervalEachTimeInAThreadOfItsOwn) {
    ActionTracker tracker;
    std::atomic<int> started{0};
    std::atomic<bool> on_test_thread{false};
    const auto test_thread = std::this_thread::get_id();
    // Every firing waits for the third to start: only firings in threads of their own get there.
    Timer timer(
        [&] {
            on_test_thread = on_test_thread || std::this_thread::get_id() == test_thread;
            ++started;
            Eventually([&] { return started >= 3; });
        },
        tracker, 1000.0);  // 10 s pass in 10 ms
    timer.Start(10);
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(timer.Interval(), 10);
    EXPECT_TRUE(Eventually([&] { return started >= 3; }));
    timer.Stop();
    tracker.WaitIdle();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_FALSE(on_test_thread.load());
}

TEST(TimerTest, StoppedOrRestartedTimerNeverFiresItsOldInterval) {
    ActionTracker tracker;
    std::atomic<int> firings{0};
    Timer timer([&] { ++firings; }, tracker, 1000.0);
    timer.Start(100);  // would fire after 100 ms
    timer.Start(1'000'000);
    Timer stopped([&] { ++firings; }, tracker, 1000.0);
    stopped.Start(100);
    stopped.Stop();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(firings.load(), 0);
    EXPECT_EQ(timer.Interval(), 1'000'000);
    EXPECT_FALSE(stopped.IsRunning());
}

TEST(TimerTest, StopLeavesARunningActionToFinish) {
    ActionTracker tracker;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    Timer timer(
        [&] {
            ++started;
            released.wait();
            ++finished;
        },
        tracker, 1000.0);
    timer.Start(5);
    ASSERT_TRUE(Eventually([&] { return started >= 1; }));
    timer.Stop();
    EXPECT_EQ(finished.load(), 0);
    EXPECT_GE(tracker.Running(), 1);
    release.set_value();
    tracker.WaitIdle();
    // Every firing that had begun before the stop ran to its end.
    EXPECT_EQ(finished.load(), started.load());
}

TEST(TimerTest, ActionMayRestartItsOwnTimer) {
    ActionTracker tracker;
    std::mutex mutex;
    bool restarted = false;
    int current_after_restart = 0;
    std::unique_ptr<Timer> timer;
    timer = std::make_unique<Timer>(
        [&] {
            std::lock_guard guard(mutex);
            if (!restarted) {
                timer->Start(1'000'000);
                restarted = true;
            } else if (timer->IsCurrentFiring()) {
                // On a busy machine the old loop may have fired again before the restart;
                // such a firing must know that it is stale. A current one would be a fault.
                ++current_after_restart;
            }
        },
        tracker, 1000.0);
    timer->Start(5);
    ASSERT_TRUE(Eventually([&] { return timer->Interval() == 1'000'000; }));
    std::this_thread::sleep_for(100ms);
    timer->Stop();
    tracker.WaitIdle();
    std::lock_guard guard(mutex);
    EXPECT_TRUE(restarted);
    EXPECT_EQ(current_after_restart, 0);
}

}  // namespace
}  // namespace zarvex::acquisition
