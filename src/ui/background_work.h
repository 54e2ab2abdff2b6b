#pragma once

#include <QObject>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace zarvex::ui {

// Runs a view's reading of the databases off the window's thread and hands the result back on
// it. Only the latest computation counts: a result that a newer Start (another day, contract
// or setting) or Drop has overtaken is thrown away when it arrives. The computation must own
// what it reads (copies, its own database connections): it may outlive the request that
// started it, never the BackgroundWork, whose destructor waits for it.
class BackgroundWork final : public QObject {
    Q_OBJECT

public:
    BackgroundWork() = default;
    ~BackgroundWork() override;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    template <typename Result>
    void Start(std::function<Result()> compute, std::function<void(Result&)> deliver) {
        const std::uint64_t generation = Begin();
        auto finished = std::make_shared<std::atomic<bool>>(false);
        std::thread thread([this, generation, finished, compute = std::move(compute),
                            deliver = std::move(deliver)]() mutable {
            auto result = std::make_shared<std::optional<Result>>();
            try {
                result->emplace(compute());
            } catch (const std::exception&) {
                // Nothing crosses the thread: the view keeps what it shows.
            }
            Post(generation, [result, deliver = std::move(deliver)] {
                if (result->has_value()) {
                    deliver(**result);
                }
            });
            finished->store(true);
        });
        threads_.push_back({std::move(thread), std::move(finished)});
    }

    // How far a computation has come, said from its own thread.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    // As Start, for a computation that can say how far it has come: `progress` runs on this
    // object's thread with what the computation said, for as long as its result would still
    // be delivered. The computation should not say it more often than a reader can follow.
    template <typename Result>
    void StartWithProgress(std::function<Result(const Progress&)> compute,
                           std::function<void(Result&)> deliver, Progress progress) {
        const std::uint64_t upcoming = generation_ + 1;
        Progress said = [this, upcoming, progress = std::move(progress)](std::size_t done,
                                                                         std::size_t total) {
            PostProgress(upcoming, [progress, done, total] { progress(done, total); });
        };
        Start<Result>(
            [compute = std::move(compute), said = std::move(said)] { return compute(said); },
            std::move(deliver));
    }

    // Forgets the computation under way: its result will not be shown.
    void Drop();
    // A computation was started and its result has neither arrived nor been dropped.
    bool Busy() const { return waiting_; }

    // Computations of every view whose results are still awaited (the tests wait for none).
    static int Awaited();

signals:
    // Busy() changed.
    void BusyChanged(bool busy);

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    std::uint64_t Begin();
    void Post(std::uint64_t generation, std::function<void()> deliver);
    void PostProgress(std::uint64_t generation, std::function<void()> said);
    void SetWaiting(bool waiting);
    void JoinFinished();

    std::uint64_t generation_ = 0;
    bool waiting_ = false;
    std::vector<Worker> threads_;
};

}  // namespace zarvex::ui
