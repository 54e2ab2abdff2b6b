#include "ui/background_work.h"

#include <QMetaObject>

namespace zarvex::ui {

namespace {

std::atomic<int> g_awaited{0};

}  // namespace

BackgroundWork::~BackgroundWork() {
    // No signal now: the view that listens is going.
    ++generation_;
    if (waiting_) {
        waiting_ = false;
        --g_awaited;
    }
    // A computation cannot be stopped halfway: the window waits for the last one to end (a
    // board of a year of days takes a fraction of a second) and its result is not delivered,
    // since the queued delivery dies with this object.
    for (Worker& worker : threads_) {
        if (worker.thread.joinable()) {
            worker.thread.join();
        }
    }
}

int BackgroundWork::Awaited() {
    return g_awaited.load();
}

std::uint64_t BackgroundWork::Begin() {
    JoinFinished();
    SetWaiting(true);
    return ++generation_;
}

void BackgroundWork::Drop() {
    ++generation_;
    SetWaiting(false);
}

void BackgroundWork::Post(std::uint64_t generation, std::function<void()> deliver) {
    // Runs on the worker's thread; the delivery runs on this object's.
    QMetaObject::invokeMethod(
        this,
        [this, generation, deliver = std::move(deliver)] {
            if (generation != generation_) {
                return;
            }
            deliver();
            // The delivery may have started another computation.
            if (generation == generation_) {
                SetWaiting(false);
            }
        },
        Qt::QueuedConnection);
}

void BackgroundWork::PostProgress(std::uint64_t generation, std::function<void()> said) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, said = std::move(said)] {
            if (generation == generation_) {
                said();
            }
        },
        Qt::QueuedConnection);
}

void BackgroundWork::SetWaiting(bool waiting) {
    if (waiting == waiting_) {
        return;
    }
    waiting_ = waiting;
    g_awaited += waiting ? 1 : -1;
    emit BusyChanged(waiting);
}

void BackgroundWork::JoinFinished() {
    for (auto worker = threads_.begin(); worker != threads_.end();) {
        if (worker->finished->load()) {
            worker->thread.join();
            worker = threads_.erase(worker);
        } else {
            ++worker;
        }
    }
}

}  // namespace zarvex::ui
