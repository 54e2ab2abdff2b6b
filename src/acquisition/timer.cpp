#include "acquisition/timer.h"

#include <algorithm>

namespace zarvex::acquisition {

namespace {
// Which timer, and which run of its loop, started the action of the calling thread.
thread_local const void* firing_timer = nullptr;
thread_local const void* firing_loop = nullptr;
}  // namespace

void ActionTracker::Begin() {
    std::lock_guard guard(mutex_);
    ++running_;
}

void ActionTracker::End() {
    std::lock_guard guard(mutex_);
    --running_;
    idle_.notify_all();
}

void ActionTracker::WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return running_ == 0; });
}

int ActionTracker::Running() const {
    std::lock_guard guard(mutex_);
    return running_;
}

// The state of one run of the loop; a restart makes a new one, so an old loop can only ever
// see its own cancel flag.
struct Timer::Loop {
    std::mutex mutex;
    std::condition_variable wake;
    bool cancelled = false;
};

Timer::Timer(Action action, ActionTracker& tracker, double time_scale)
    : action_(std::move(action)),
      tracker_(tracker),
      time_scale_(time_scale > 0 ? time_scale : 1.0) {}

Timer::~Timer() {
    Stop();
}

void Timer::Start(std::int64_t seconds) {
    std::lock_guard guard(mutex_);
    StopLocked();
    interval_ = seconds;
    auto loop = std::make_shared<Loop>();
    loop_ = loop;
    // At least a millisecond, so that a zero interval cannot spin.
    const auto wait = std::max<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(1),
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(static_cast<double>(seconds > 0 ? seconds : 0) /
                                          time_scale_)));
    thread_ = std::thread([this, loop, wait] {
        auto deadline = std::chrono::steady_clock::now() + wait;
        while (true) {
            std::unique_lock lock(loop->mutex);
            if (loop->wake.wait_until(lock, deadline, [&] { return loop->cancelled; })) {
                return;
            }
            // Counted before the thread exists, so an owner waiting for idle cannot miss it.
            tracker_.Begin();
            lock.unlock();
            // The loop is held by the action, so no later loop can take its address.
            std::thread([action = action_, &tracker = tracker_, timer = this, loop] {
                firing_timer = timer;
                firing_loop = loop.get();
                action();
                tracker.End();
            }).detach();
            deadline += wait;
        }
    });
}

void Timer::Stop() {
    std::lock_guard guard(mutex_);
    StopLocked();
}

void Timer::StopLocked() {
    if (!loop_) {
        return;
    }
    {
        std::lock_guard lock(loop_->mutex);
        loop_->cancelled = true;
    }
    loop_->wake.notify_all();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach();  // cannot happen with actions in threads of their own; be safe
        } else {
            thread_.join();
        }
    }
    loop_.reset();
}

bool Timer::IsRunning() const {
    std::lock_guard guard(mutex_);
    return loop_ != nullptr;
}

bool Timer::IsCurrentFiring() const {
    if (firing_timer != this) {
        return true;
    }
    std::lock_guard guard(mutex_);
    return loop_.get() == firing_loop;
}

std::int64_t Timer::Interval() const {
    std::lock_guard guard(mutex_);
    return interval_;
}

}  // namespace zarvex::acquisition
