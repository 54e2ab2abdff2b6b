#include "ui/auto_repeat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace zarvex::ui {
namespace {

using std::chrono::milliseconds;

// Lets the test run the repeat thread one sleep at a time.
class SteppedSleeper final : public AutoRepeat::Sleeper {
public:
    bool Sleep(milliseconds duration) override {
        std::unique_lock lock(mutex_);
        sleeps_.push_back(duration);
        changed_.notify_all();
        const std::size_t mine = sleeps_.size();
        changed_.wait(lock, [&] { return stopping_ || released_ >= mine; });
        return !stopping_;
    }
    void Wake() override {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    // Waits until the thread sleeps for the n-th time and returns that sleep.
    milliseconds AwaitSleep(std::size_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return sleeps_.size() >= n; });
        return sleeps_[n - 1];
    }
    void Release() {
        std::lock_guard lock(mutex_);
        ++released_;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<milliseconds> sleeps_;
    std::size_t released_ = 0;
    bool stopping_ = false;
};

TEST(AutoRepeatTest, FirstRepeatAfter250ThenEvery150UntilReleased) {
    SteppedSleeper sleeper;
    std::atomic<int> reports{0};
    AutoRepeat repeat(&sleeper);
    EXPECT_EQ(sleeper.AwaitSleep(1), milliseconds(50));
    const auto ticket = repeat.Arm([&] { ++reports; });
    sleeper.Release();
    EXPECT_EQ(sleeper.AwaitSleep(2), milliseconds(250));
    EXPECT_EQ(reports, 0);
    sleeper.Release();
    EXPECT_EQ(sleeper.AwaitSleep(3), milliseconds(150));
    EXPECT_EQ(reports, 1);
    sleeper.Release();
    EXPECT_EQ(sleeper.AwaitSleep(4), milliseconds(150));
    EXPECT_EQ(reports, 2);
    repeat.Disarm(ticket);
    sleeper.Release();
    EXPECT_EQ(sleeper.AwaitSleep(5), milliseconds(50));
    EXPECT_EQ(reports, 2);
    EXPECT_FALSE(repeat.IsArmed());
}

TEST(AutoRepeatTest, AnOlderTicketDoesNotStopANewerPress) {
    SteppedSleeper sleeper;
    AutoRepeat repeat(&sleeper);
    const auto first = repeat.Arm([] {});
    const auto second = repeat.Arm([] {});
    repeat.Disarm(first);
    EXPECT_TRUE(repeat.IsArmed());
    repeat.Disarm(second);
    EXPECT_FALSE(repeat.IsArmed());
}

TEST(AutoRepeatTest, RealClockStopsPromptlyWhenDestroyed) {
    std::atomic<int> reports{0};
    {
        AutoRepeat repeat;
        repeat.Arm([&] { ++reports; });
    }
    SUCCEED();
}

}  // namespace
}  // namespace zarvex::ui
