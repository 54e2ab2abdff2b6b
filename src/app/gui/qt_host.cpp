#include "app/gui/qt_host.h"

#include <QApplication>
#include <QMessageBox>
#include <string>

#include "app/gui/notification_handler.h"

namespace zarvex::gui {

QtHost::QtHost(const common::TextTable* texts)
    : texts_(texts), presenter_([this](const QString& title, const QString& text) {
          ShowMessageBox(title, text, owner_);
      }) {}

common::Host QtHost::AsHost() {
    return common::HostOf(*this, texts_);
}

void QtHost::ShowStatus(std::string_view text) {
    const std::string copy(text);
    caller_.Call([this, copy] {
        if (handler_ != nullptr) {
            handler_->HandleStatus(copy, IsLocked());
        }
    });
}

void QtHost::NotifyStatus(std::string_view text) {
    ShowStatus(text);
}

void QtHost::NotifyHistograms(int instrument_index) {
    caller_.Call([this, instrument_index] {
        if (handler_ != nullptr) {
            handler_->HandleHistograms(instrument_index);
        }
    });
}

void QtHost::NotifyDownloaded(common::DownloadedDays what) {
    caller_.Call([this, what] {
        if (handler_ != nullptr) {
            handler_->HandleDownloaded(what);
        }
    });
}

void QtHost::Enter() {
    if (lock_depth_++ == 0) {
        LockChanged();
    }
}

void QtHost::Leave() {
    int depth = lock_depth_.load();
    while (depth > 0 && !lock_depth_.compare_exchange_weak(depth, depth - 1)) {
    }
    if (depth == 1) {
        LockChanged();
    }
}

bool QtHost::IsLocked() const {
    return lock_depth_ > 0;
}

void QtHost::LockChanged() {
    // The window follows the lock's state at the time it is served, so a quick Enter and Leave
    // from a worker cannot leave it blocked.
    auto apply = [this] {
        if (handler_ != nullptr) {
            handler_->HandleLock(IsLocked());
        }
    };
    if (caller_.OnMainThread()) {
        apply();
    } else {
        caller_.Post(apply);
    }
}

void QtHost::PumpEvents() {
    if (!caller_.OnMainThread() || QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(pump_slice_.count()));
}

void QtHost::ShowMessage(std::string_view title, std::string_view text) {
    const QString shown_title =
        QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    QString shown_text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown_text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown_text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (shown_text.endsWith(QLatin1Char('\n'))) {
        shown_text.chop(1);
    }
    caller_.Call([this, shown_title, shown_text] {
        if (presenter_) {
            presenter_(shown_title, shown_text);
        }
    });
}

void QtHost::ShowMessageBox(const QString& title, const QString& text, QWidget* owner) {
    if (owner == nullptr || !owner->isVisible()) {
        owner = QApplication::activeWindow();
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
    // A box under a window that stays on top (the start-up window) would open behind it.
    if (owner != nullptr && owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}

}  // namespace zarvex::gui
