#include "ui/auto_repeat.h"

#include <utility>

namespace zarvex::ui {

class AutoRepeat::RealSleeper final : public Sleeper {
public:
    bool Sleep(std::chrono::milliseconds duration) override {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, duration, [this] { return stopping_; });
    }
    void Wake() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

AutoRepeat::AutoRepeat(Sleeper* sleeper) {
    if (sleeper == nullptr) {
        real_sleeper_ = std::make_unique<RealSleeper>();
        sleeper = real_sleeper_.get();
    }
    sleeper_ = sleeper;
    thread_ = std::thread([this] { Run(); });
}

AutoRepeat::~AutoRepeat() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        armed_ = false;
    }
    sleeper_->Wake();
    thread_.join();
}

std::uint64_t AutoRepeat::Arm(Report report) {
    std::lock_guard lock(mutex_);
    report_ = std::move(report);
    armed_ = true;
    return ++ticket_;
}

void AutoRepeat::Disarm(std::uint64_t ticket) {
    std::lock_guard lock(mutex_);
    if (ticket == ticket_) {
        armed_ = false;
        report_ = nullptr;
    }
}

bool AutoRepeat::IsArmed() const {
    std::lock_guard lock(mutex_);
    return armed_;
}

void AutoRepeat::Run() {
    for (;;) {
        bool armed = false;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            armed = armed_;
        }
        if (!armed) {
            if (!sleeper_->Sleep(kIdlePoll)) {
                return;
            }
            continue;
        }
        if (!sleeper_->Sleep(kFirstDelay)) {
            return;
        }
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (stopping_) {
                    return;
                }
                if (!armed_) {
                    break;
                }
                report_();
            }
            if (!sleeper_->Sleep(kInterval)) {
                return;
            }
        }
    }
}

}  // namespace zarvex::ui
