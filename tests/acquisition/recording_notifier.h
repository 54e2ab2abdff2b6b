#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/host.h"

namespace zarvex::test {

// Keeps every notification; an optional hook runs on each 560, as the window's handler would.
class RecordingNotifier final : public common::Notifier {
public:
    void NotifyStatus(std::string_view text) override {
        std::lock_guard guard(mutex_);
        statuses_.emplace_back(text);
    }
    void NotifyHistograms(int) override {}
    void NotifyDownloaded(common::DownloadedDays what) override {
        const int value = static_cast<int>(what);
        std::function<void(int)> hook;
        {
            std::lock_guard guard(mutex_);
            downloaded_.push_back(value);
            hook = on_downloaded_;
        }
        if (hook) {
            hook(value);
        }
    }

    void OnDownloaded(std::function<void(int)> hook) {
        std::lock_guard guard(mutex_);
        on_downloaded_ = std::move(hook);
    }
    std::vector<std::string> Statuses() const {
        std::lock_guard guard(mutex_);
        return statuses_;
    }
    std::vector<int> Downloaded() const {
        std::lock_guard guard(mutex_);
        return downloaded_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> statuses_;
    std::vector<int> downloaded_;
    std::function<void(int)> on_downloaded_;
};

}  // namespace zarvex::test
