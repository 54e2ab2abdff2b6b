#pragma once

#include <atomic>

namespace zarvex::acquisition {

// Set once when the program is closing. Transfers, socket waits and pauses look at it often,
// so that closing the window never waits for the network.
class StopFlag final {
public:
    void Request() { requested_.store(true, std::memory_order_release); }
    bool Requested() const { return requested_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> requested_{false};
};

// The flag may be absent (tools and tests that never stop).
inline bool StopRequested(const StopFlag* stop) {
    return stop != nullptr && stop->Requested();
}

}  // namespace zarvex::acquisition
