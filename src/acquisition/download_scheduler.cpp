#include "acquisition/download_scheduler.h"

#include "common/log.h"
#include "common/text.h"
#include "common/text_id.h"

namespace zarvex::acquisition {

namespace {

constexpr std::int64_t kStepDelay = 30;
constexpr std::int64_t kCatchUpRetry = 300;
constexpr std::int64_t kLockedRetry = 30;
constexpr std::int64_t kDay = 86400;

}  // namespace

DownloadScheduler::DownloadScheduler(SchedulerSetup setup)
    : setup_(setup),
      step_([this] { StepAction(); }, tracker_, setup.time_scale),
      run_([this] { RunAction(); }, tracker_, setup.time_scale),
      monitor_([this] { MonitorAction(); }, tracker_, setup.time_scale) {}

DownloadScheduler::~DownloadScheduler() {
    Shutdown();
}

void DownloadScheduler::Shutdown() {
    if (setup_.services != nullptr) {
        setup_.services->RequestStop();
    }
    // An action may restart a timer on its way out, so stop them again once all are idle.
    for (int round = 0; round < 2; ++round) {
        step_.Stop();
        run_.Stop();
        monitor_.Stop();
        tracker_.WaitIdle();
    }
}

void DownloadScheduler::SetDailyStartHour(std::int64_t hours) {
    std::lock_guard guard(field_mutex_);
    daily_start_hour_ = hours;
}

std::int64_t DownloadScheduler::DailyStartHour() const {
    std::lock_guard guard(field_mutex_);
    return daily_start_hour_;
}

void DownloadScheduler::SetRetryDelay(std::int64_t minutes) {
    std::lock_guard guard(field_mutex_);
    retry_delay_ = minutes;
}

std::int64_t DownloadScheduler::RetryDelay() const {
    std::lock_guard guard(field_mutex_);
    return retry_delay_;
}

common::Date DownloadScheduler::CurrentDay() const {
    std::lock_guard guard(field_mutex_);
    return current_time_;
}

SchedulerState DownloadScheduler::State() const {
    std::lock_guard guard(field_mutex_);
    return state_;
}

void DownloadScheduler::SetCurrentTime(common::Date time) {
    std::lock_guard guard(field_mutex_);
    current_time_ = time;
}

Timer& DownloadScheduler::TimerOf(TimerId id) const {
    switch (id) {
        case TimerId::kStep:
            return step_;
        case TimerId::kRun:
            return run_;
        case TimerId::kMonitor:
            return monitor_;
    }
    return step_;
}

bool DownloadScheduler::IsTimerRunning(TimerId id) const {
    return TimerOf(id).IsRunning();
}

std::int64_t DownloadScheduler::TimerInterval(TimerId id) const {
    return TimerOf(id).Interval();
}

bool DownloadScheduler::WindowLocked() const {
    return setup_.host.lock != nullptr && setup_.host.lock->IsLocked();
}

void DownloadScheduler::Status(const std::string& text) const {
    if (setup_.notifier != nullptr) {
        setup_.notifier->NotifyStatus(text);
    }
}

void DownloadScheduler::Downloaded(common::DownloadedDays what) const {
    if (setup_.notifier != nullptr) {
        setup_.notifier->NotifyDownloaded(what);
    }
}

std::int64_t DownloadScheduler::SecondsOfDay(common::Date time, std::int64_t* hour) {
    const std::string text = common::FormatDate(time, "%hh.%ii");
    const std::int64_t h = common::ToInt(text.substr(0, 2));
    const std::int64_t m = common::ToInt(text.substr(text.size() - 2));
    *hour = h;
    return h * 3600 + m * 60;
}

void DownloadScheduler::Start() {
    common::Log("scheduler start");
    {
        std::lock_guard guard(field_mutex_);
        state_ = SchedulerState::kStart;
    }
    step_.Start(kStepDelay);
}

void DownloadScheduler::StepAction() {
    std::lock_guard handler(handler_mutex_);
    if (!step_.IsCurrentFiring()) {
        return;  // fired before a handler stopped or restarted the timer, and waited for it
    }
    if (WindowLocked()) {
        common::Log("Timer_Step: window locked");
        return;  // the timer stays armed and tries again
    }
    if (!setup_.services->IsNetworkUp()) {
        common::Log("Timer_Step: no network");
        return;
    }
    switch (State()) {
        case SchedulerState::kStart:
            StartState();
            break;
        case SchedulerState::kPreviousDays:
            PreviousDaysState();
            break;
        case SchedulerState::kWait:
            WaitState();
            break;
        case SchedulerState::kCurrentDay:
            CurrentDayState();
            break;
        case SchedulerState::kNotStarted:
            break;
    }
}

void DownloadScheduler::StartState() {
    common::Log("state 1");
    step_.Stop();
    const common::Date now = setup_.services->NetworkTime();
    SetCurrentTime(now);
    setup_.services->DownloadForwardPointRange(now);
    {
        std::lock_guard guard(field_mutex_);
        state_ = SchedulerState::kPreviousDays;
    }
    step_.Start(kStepDelay);
}

void DownloadScheduler::PreviousDaysState() {
    common::Log("state 2");
    step_.Stop();
    // When the start got no time, a catch-up from it would count back from 1970 on every
    // retry for the rest of the run (and feed the failure counter): ask the network again.
    common::Date now = CurrentDay();
    if (now <= 0) {
        now = setup_.services->NetworkTime();
        SetCurrentTime(now);
    }
    const bool done = now > 0 && setup_.services->DownloadPreviousDays(now).IsDone();
    std::int64_t delay = kStepDelay;
    if (done) {
        {
            std::lock_guard guard(field_mutex_);
            state_ = SchedulerState::kWait;
        }
        Status(setup_.host.Text(common::text::kPreviousDaysDownloaded));
        Downloaded(common::DownloadedDays::kPreviousDays);
    } else {
        delay = kCatchUpRetry;
        Status(setup_.host.Text(common::text::kPreviousDaysNotDownloaded) +
               std::to_string(delay / 60) + setup_.host.Text(common::text::kMinutes));
    }
    step_.Start(delay);
    common::Log(delay, " сек.");
}

void DownloadScheduler::WaitState() {
    common::Log("state 3");
    step_.Stop();
    const common::Date now = setup_.services->NetworkTime();
    SetCurrentTime(now);
    std::int64_t hour = 0;
    const std::int64_t now_seconds = SecondsOfDay(now, &hour);
    const std::int64_t start_hour = DailyStartHour();
    if (hour < start_hour) {
        run_.Start(start_hour * 3600 - now_seconds);
    } else {
        monitor_.Start(RetryDelay() * 60);
    }
}

void DownloadScheduler::RunAction() {
    std::lock_guard handler(handler_mutex_);
    if (!run_.IsCurrentFiring()) {
        return;
    }
    if (WindowLocked()) {
        run_.Start(kLockedRetry);
        return;
    }
    run_.Start(kDay);
    common::Log("--- перезапускаем таймер  Timer_Run через 24 часа");
    monitor_.Start(RetryDelay() * 60);
    common::Log("--- активирован Timer_Monitor на срабатывание через ", RetryDelay(), "мин.");
}

void DownloadScheduler::MonitorAction() {
    std::lock_guard handler(handler_mutex_);
    if (!monitor_.IsCurrentFiring()) {
        return;
    }
    if (WindowLocked()) {
        monitor_.Start(kLockedRetry);
        return;
    }
    {
        std::lock_guard guard(field_mutex_);
        state_ = SchedulerState::kCurrentDay;
    }
    step_.Start(5);
}

void DownloadScheduler::CurrentDayState() {
    common::Log("state 4");
    step_.Stop();
    monitor_.Stop();
    // The evening's own day: a program left open for days must not download the day it
    // stored the evening before again.
    const common::Date day = setup_.services->NetworkTime();
    SetCurrentTime(day);
    const bool done = day > 0 && setup_.services->DownloadCurrentDay(day).IsDone();
    if (done) {
        common::Date now = setup_.services->NetworkTime();
        if (now <= 0) {
            now = day;
        }
        std::int64_t hour = 0;
        const std::int64_t now_seconds = SecondsOfDay(now, &hour);
        run_.Start(kDay - (now_seconds - DailyStartHour() * 3600));
        Status(setup_.host.Text(common::text::kCurrentDayDownloaded));
        Downloaded(common::DownloadedDays::kCurrentDay);
    } else {
        const std::int64_t delay = RetryDelay() * 60;
        monitor_.Start(delay);
        Status(setup_.host.Text(common::text::kCurrentDayNotDownloaded) +
               std::to_string(delay / 60) + setup_.host.Text(common::text::kMinutes));
    }
}

}  // namespace zarvex::acquisition
