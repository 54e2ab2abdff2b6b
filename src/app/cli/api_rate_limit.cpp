#include "app/cli/api_rate_limit.h"

namespace zarvex::cli {

bool ApiRateLimit::Admit(const std::string& client, Clock::time_point now) {
    constexpr auto kWindow = std::chrono::seconds(1);
    const std::lock_guard lock(mutex_);
    // Clients that went quiet are forgotten, so that the map stays as small as the busy ones.
    if (recent_.size() > 256) {
        for (auto it = recent_.begin(); it != recent_.end();) {
            it = (it->second.empty() || now - it->second.back() >= kWindow) ? recent_.erase(it)
                                                                            : std::next(it);
        }
    }
    std::deque<Clock::time_point>& times = recent_[client];
    while (!times.empty() && now - times.front() >= kWindow) {
        times.pop_front();
    }
    if (times.size() >= limit_) {
        return false;
    }
    times.push_back(now);
    return true;
}

}  // namespace zarvex::cli
