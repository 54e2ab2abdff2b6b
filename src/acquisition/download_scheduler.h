#pragma once

#include <cstdint>
#include <mutex>

#include "acquisition/scheduler_services.h"
#include "acquisition/timer.h"
#include "common/date.h"
#include "common/host.h"

namespace zarvex::acquisition {

struct SchedulerSetup {
    SchedulerServices* services = nullptr;
    common::Host host;                     // UI lock (checked before each action) and texts
    common::Notifier* notifier = nullptr;  // 410 and 560, synchronous
    // Timers wait their interval divided by this: tests run a day's cycle in seconds.
    double time_scale = 1.0;
};

// Decides when what is downloaded: at start the forward points around today and the catch-up
// of the previous 30 days; then every evening, a few minutes after the daily start hour of the
// exchange's time, the day itself. Three timers drive four states:
//   1 start            forward-point range, then state 2
//   2 previous days    catch-up; success -> 560/1 and state 3, failure -> again in 300 s
//   3 wait             arms Timer_Run for the start hour (or Timer_Monitor when it has passed)
//   4 current day      reads the network time, downloads that day; success -> 560/2 and
//                      Timer_Run for the next evening, failure -> Timer_Monitor retries
// Timer_Run restarts itself for 24 hours and arms Timer_Monitor; Timer_Monitor sets state 4.
// Every firing runs in a thread of its own; the state handlers never overlap.
// The scheduler's states by their numbers; 0 before Start.
enum class SchedulerState {
    kNotStarted = 0,
    kStart = 1,
    kPreviousDays = 2,
    kWait = 3,
    kCurrentDay = 4
};

class DownloadScheduler final {
public:
    enum class TimerId { kStep, kRun, kMonitor };

    explicit DownloadScheduler(SchedulerSetup setup);
    // Stops the timers and waits for actions in progress: the host must keep answering
    // notifications until it returns.
    ~DownloadScheduler();
    DownloadScheduler(const DownloadScheduler&) = delete;
    DownloadScheduler& operator=(const DownloadScheduler&) = delete;

    void SetDailyStartHour(std::int64_t hours);
    std::int64_t DailyStartHour() const;
    void SetRetryDelay(std::int64_t minutes);
    std::int64_t RetryDelay() const;

    // State 1, and Timer_Step in 30 s.
    void Start();
    // Tells the services to stop (transfers under way are aborted, the catch-up ends at its
    // next step), stops all timers and waits for the actions in progress. The host must keep
    // answering notifications until it returns, or be closed first.
    void Shutdown();

    // The scheduler's current time: after 560/1 the day whose previous days were downloaded,
    // during 560/2 the day that was just downloaded. -1 when the network gave no time.
    common::Date CurrentDay() const;
    SchedulerState State() const;

    // The timers' actions; public so that a test can fire them by hand.
    void StepAction();
    void RunAction();
    void MonitorAction();

    bool IsTimerRunning(TimerId id) const;
    std::int64_t TimerInterval(TimerId id) const;

private:
    void StartState();
    void PreviousDaysState();
    void WaitState();
    void CurrentDayState();

    Timer& TimerOf(TimerId id) const;
    bool WindowLocked() const;
    void Status(const std::string& text) const;
    void Downloaded(common::DownloadedDays what) const;
    // Seconds since midnight by hour and minute of the time (seconds ignored), and the hour.
    static std::int64_t SecondsOfDay(common::Date time, std::int64_t* hour);
    void SetCurrentTime(common::Date time);

    SchedulerSetup setup_;
    ActionTracker tracker_;
    std::mutex handler_mutex_;  // one state handler or timer action at a time
    mutable std::mutex field_mutex_;
    std::int64_t daily_start_hour_ = 0;
    std::int64_t retry_delay_ = 0;
    common::Date current_time_ = 0;
    SchedulerState state_ = SchedulerState::kNotStarted;
    mutable Timer step_;
    mutable Timer run_;
    mutable Timer monitor_;
};

}  // namespace zarvex::acquisition
