#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <functional>
#include <string_view>

#include "app/gui/main_thread_caller.h"
#include "common/host.h"

namespace zarvex::common {
class TextTable;
}

namespace zarvex::gui {

class NotificationHandler;

// The desktop program's host for the core: status texts, the UI lock, pumping, message
// boxes and the private notifications 410, 460 and 560. Every entry point may be called from
// any thread; the work is done on the main thread, synchronously where the caller needs the
// result (notifications, messages) and posted where it does not (the lock's window state).
class QtHost final : public common::StatusSink,
                     public common::UiLock,
                     public common::EventPump,
                     public common::MessageSink,
                     public common::Notifier {
public:
    // Shows one message box and returns when it is answered.
    using MessagePresenter = std::function<void(const QString& title, const QString& text)>;

    explicit QtHost(const common::TextTable* texts);

    // Until a handler is set, status texts and notifications are dropped.
    void SetHandler(NotificationHandler* handler) { handler_ = handler; }
    void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
    // The window the desktop's message boxes stand over: the start-up window while it is
    // open, the main window afterwards. Without one, the active window.
    void SetMessageOwner(QWidget* owner) { owner_ = owner; }
    // Time slice of one pump.
    void SetPumpSlice(std::chrono::milliseconds slice) { pump_slice_ = slice; }
    // Stops serving the workers: waiting notifications return, later ones are dropped.
    void Close() { caller_.Close(); }

    common::Host AsHost();
    const common::TextTable* Texts() const { return texts_; }
    MainThreadCaller& Caller() { return caller_; }

    void ShowStatus(std::string_view text) override;
    void Enter() override;
    void Leave() override;
    bool IsLocked() const override;
    void PumpEvents() override;
    void ShowMessage(std::string_view title, std::string_view text) override;
    void NotifyStatus(std::string_view text) override;
    void NotifyHistograms(int instrument_index) override;
    void NotifyDownloaded(common::DownloadedDays what) override;

    // The message box of the desktop: modal, one OK button, over the owner (kept above other
    // windows with it when the owner is). Carriage returns of the texts become line breaks.
    static void ShowMessageBox(const QString& title, const QString& text, QWidget* owner);

private:
    void LockChanged();

    const common::TextTable* texts_;
    MainThreadCaller caller_;
    NotificationHandler* handler_ = nullptr;
    MessagePresenter presenter_;
    QPointer<QWidget> owner_;
    std::atomic<int> lock_depth_{0};
    std::chrono::milliseconds pump_slice_{10};
};

}  // namespace zarvex::gui
