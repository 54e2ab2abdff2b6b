#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zarvex::acquisition {

// Counts the actions that are running, so that their owner can wait for them before it goes.
class ActionTracker final {
public:
    void Begin();
    void End();
    // Blocks until no action runs.
    void WaitIdle();
    int Running() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int running_ = 0;
};

// A repeating timer: after each interval it starts its action in a new thread, until stopped
// or restarted. Stopping ends only the timer's own loop, at once, and never an action that
// has already started; a stopped or restarted timer never fires its old interval.
class Timer final {
public:
    using Action = std::function<void()>;

    // The real wait is the interval divided by time_scale, so a test can run hours in
    // seconds. The tracker counts the actions started by this timer.
    Timer(Action action, ActionTracker& tracker, double time_scale = 1.0);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Stops the loop if it runs, stores the interval and starts a new loop.
    void Start(std::int64_t seconds);
    void Stop();

    bool IsRunning() const;
    // False inside an action of this timer whose firing belongs to a loop that has been
    // stopped or restarted since (the action waited, for a lock say, while that happened):
    // such an action should do nothing. True anywhere else, e.g. an action called by hand.
    bool IsCurrentFiring() const;
    // The interval of the last Start (kept after Stop).
    std::int64_t Interval() const;

private:
    struct Loop;
    void StopLocked();

    Action action_;
    ActionTracker& tracker_;
    double time_scale_;
    mutable std::mutex mutex_;  // serialises Start and Stop
    std::shared_ptr<Loop> loop_;
    std::thread thread_;
    std::int64_t interval_ = 0;
};

}  // namespace zarvex::acquisition
