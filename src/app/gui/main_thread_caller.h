#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace zarvex::gui {

// Runs a function on the main thread and waits for it: the synchronous notification of the
// workers. Called on the main thread it runs the function at once (queuing it there would
// wait for ever). Close() ends the service: waiting callers return and later calls are
// refused, so that the workers can be stopped while the main thread no longer serves them.
class MainThreadCaller final : public QObject {
    Q_OBJECT

public:
    explicit MainThreadCaller(QObject* parent = nullptr);
    ~MainThreadCaller() override;

    // True when the function ran; false when the caller was closed before it could.
    bool Call(const std::function<void()>& function);
    // Posts the function to the main thread without waiting.
    void Post(std::function<void()> function);
    void Close();
    bool IsClosed() const { return closed_; }
    bool OnMainThread() const;

private:
    struct Pending;

    std::atomic<bool> closed_{false};
    std::mutex mutex_;
    std::condition_variable finished_;
};

}  // namespace zarvex::gui
