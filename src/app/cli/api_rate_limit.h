#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace zarvex::cli {

// At most `limit` requests of a client within any second; a client is its address.
class ApiRateLimit final {
public:
    using Clock = std::chrono::steady_clock;

    explicit ApiRateLimit(std::size_t limit = 20) : limit_(limit) {}

    // Counts a request of the client at `now`; false when it is one too many.
    bool Admit(const std::string& client, Clock::time_point now = Clock::now());

private:
    std::size_t limit_;
    std::mutex mutex_;
    std::map<std::string, std::deque<Clock::time_point>> recent_;
};

}  // namespace zarvex::cli
