#include "app/gui/main_thread_caller.h"

#include <QThread>
#include <memory>
#include <utility>

namespace zarvex::gui {

struct MainThreadCaller::Pending {
    bool done = false;
};

MainThreadCaller::MainThreadCaller(QObject* parent) : QObject(parent) {}

MainThreadCaller::~MainThreadCaller() {
    Close();
}

bool MainThreadCaller::OnMainThread() const {
    return QThread::currentThread() == thread();
}

bool MainThreadCaller::Call(const std::function<void()>& function) {
    if (closed_) {
        return false;
    }
    if (OnMainThread()) {
        function();
        return true;
    }
    auto pending = std::make_shared<Pending>();
    // The function is copied: a caller that was released by Close() may be gone by the time
    // the main thread gets to it, and then it is not run at all.
    QMetaObject::invokeMethod(
        this,
        [this, pending, function] {
            if (!closed_) {
                function();
            }
            {
                std::lock_guard lock(mutex_);
                pending->done = true;
            }
            finished_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return pending->done || closed_; });
    return pending->done;
}

void MainThreadCaller::Post(std::function<void()> function) {
    if (closed_) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, function = std::move(function)] {
            if (!closed_) {
                function();
            }
        },
        Qt::QueuedConnection);
}

void MainThreadCaller::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    finished_.notify_all();
}

}  // namespace zarvex::gui
