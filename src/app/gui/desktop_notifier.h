#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "day/evening_board.h"

namespace zarvex::gui {

// Hands a finished evening to the window (the board redraws) and sends its fired alerts to the
// desktop's notification service (org.freedesktop.Notifications on the session bus). The call
// does not wait for an answer: without a session bus, or when the service fails or does not
// answer, the alerts stay in the status bar and on the board, and the status bar says so once.
class DesktopNotifier final : public QObject, public day::EveningSink {
    Q_OBJECT

public:
    using Status = std::function<void(const QString&)>;
    using Done = std::function<void(const day::EveningReport&)>;

    DesktopNotifier(Done done, Status status, QString unavailable_text, QObject* parent = nullptr);

    void EveningDone(const day::EveningReport& report) override;
    // Sends one notification; false when no session bus is there to take it.
    bool Send(const QString& summary, const QString& body);

private:
    void Unavailable();

    Done done_;
    Status status_;
    QString unavailable_text_;
    bool told_unavailable_ = false;
};

}  // namespace zarvex::gui
