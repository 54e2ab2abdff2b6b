#pragma once

#include <string>
#include <string_view>

#include "common/text_table.h"

namespace zarvex::common {

// The small interfaces through which core code reaches whoever hosts it: the desktop program
// implements them with Qt, the command-line program and the tests with plain code.

// The status field of the status bar. The text is shown as " " + text in the current status
// colours (busy colours while the UI lock is held).
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void ShowStatus(std::string_view text) = 0;
};

// The UI lock: while held, the main window is disabled and the status bar writes in red on
// light yellow. Enter and Leave nest.
class UiLock {
public:
    virtual ~UiLock() = default;
    virtual void Enter() = 0;
    virtual void Leave() = 0;
    virtual bool IsLocked() const = 0;
};

// Takes at most one waiting window message and dispatches it; long loops on the main thread
// call it between steps so that the window stays painted.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void PumpEvents() = 0;
};

// A message box with one OK button.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
};

// What notification 560 reports as downloaded.
enum class DownloadedDays { kPreviousDays = 1, kCurrentDay = 2 };

// The main window's private notifications, sent by worker threads. Each call returns only
// after the main thread has handled it.
class Notifier {
public:
    virtual ~Notifier() = default;
    // 410: a status text.
    virtual void NotifyStatus(std::string_view text) = 0;
    // 460: rebuild the histograms of the instrument at index 0..5.
    virtual void NotifyHistograms(int instrument_index) = 0;
    // 560: the previous days or the current day were downloaded.
    virtual void NotifyDownloaded(DownloadedDays what) = 0;
};

// Everything above, as handed to core objects. Null sinks are allowed: the core then skips
// that kind of report (see the helpers below). The text table is never null: English unless
// the host brings its own.
struct Host {
    StatusSink* status = nullptr;
    UiLock* lock = nullptr;
    EventPump* pump = nullptr;
    MessageSink* messages = nullptr;
    const common::TextTable* texts = &common::TextTable::English();

    // The one way to an interface text (common/text_id.h) in the host's language.
    const std::string& Text(int id) const {
        return (texts != nullptr ? *texts : common::TextTable::English()).Get(id);
    }

    void ShowStatus(std::string_view text) const {
        if (status != nullptr) {
            status->ShowStatus(text);
        }
    }
    void PumpEvents() const {
        if (pump != nullptr) {
            pump->PumpEvents();
        }
    }
    void ShowMessage(std::string_view title, std::string_view text) const {
        if (messages != nullptr) {
            messages->ShowMessage(title, text);
        }
    }
};

// A Host whose four sinks are one object (as the program's and the tests' hosts are),
// speaking the given table, or English when there is none.
template <typename Sinks>
Host HostOf(Sinks& sinks, const common::TextTable* texts) {
    Host host;
    host.status = &sinks;
    host.lock = &sinks;
    host.pump = &sinks;
    host.messages = &sinks;
    if (texts != nullptr) {
        host.texts = texts;
    }
    return host;
}

// Holds the UI lock for a scope.
class ScopedUiLock final {
public:
    explicit ScopedUiLock(UiLock* lock) : lock_(lock) {
        if (lock_ != nullptr) {
            lock_->Enter();
        }
    }
    ~ScopedUiLock() {
        if (lock_ != nullptr) {
            lock_->Leave();
        }
    }
    ScopedUiLock(const ScopedUiLock&) = delete;
    ScopedUiLock& operator=(const ScopedUiLock&) = delete;

private:
    UiLock* lock_;
};

}  // namespace zarvex::common
