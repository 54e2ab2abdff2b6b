#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zarvex::ui {

// Repeats a held mouse press: one thread for the life of the program. While a press is
// armed it reports the first repeat after 250 ms and then one every 150 ms; idle, it looks
// again every 50 ms. Reports are made under the slot's mutex and must only post (never
// block or touch widgets: they come from the repeat thread).
class AutoRepeat final {
public:
    using Report = std::function<void()>;

    // Waits for the given time; returns false when the wait was cut short because the
    // object is going away. Tests put in their own to step the thread.
    class Sleeper {
    public:
        virtual ~Sleeper() = default;
        virtual bool Sleep(std::chrono::milliseconds duration) = 0;
        virtual void Wake() = 0;
    };

    static constexpr std::chrono::milliseconds kIdlePoll{50};
    static constexpr std::chrono::milliseconds kFirstDelay{250};
    static constexpr std::chrono::milliseconds kInterval{150};

    // sleeper may be null: the real clock is used. The thread starts at once.
    explicit AutoRepeat(Sleeper* sleeper = nullptr);
    ~AutoRepeat();
    AutoRepeat(const AutoRepeat&) = delete;
    AutoRepeat& operator=(const AutoRepeat&) = delete;

    // Arms the slot for a press; returns its ticket, which Disarm takes so that a late
    // release of an older press does not stop a newer one.
    std::uint64_t Arm(Report report);
    void Disarm(std::uint64_t ticket);
    bool IsArmed() const;

private:
    class RealSleeper;
    void Run();

    std::unique_ptr<RealSleeper> real_sleeper_;
    Sleeper* sleeper_;
    mutable std::mutex mutex_;
    Report report_;
    std::uint64_t ticket_ = 0;
    bool armed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace zarvex::ui
