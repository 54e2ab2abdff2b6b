#include "app/gui/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace zarvex::gui {

namespace {

// How long the service may take before its answer no longer matters.
constexpr int kAnswerTimeoutMs = 5000;

}  // namespace

DesktopNotifier::DesktopNotifier(Done done, Status status, QString unavailable_text,
                                 QObject* parent)
    : QObject(parent),
      done_(std::move(done)),
      status_(std::move(status)),
      unavailable_text_(std::move(unavailable_text)) {}

void DesktopNotifier::EveningDone(const day::EveningReport& report) {
    if (done_) {
        done_(report);
    }
    if (report.fired.empty()) {
        return;
    }
    QString body;
    for (const analytics::FiredAlert& alert : report.fired) {
        body += (body.isEmpty() ? QString() : QStringLiteral("\n")) +
                QString::fromStdString(alert.message);
    }
    Send(QStringLiteral("Zarvex: ") + QString::number(report.fired.size()), body);
}

bool DesktopNotifier::Send(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Unavailable();
        return false;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    message << QStringLiteral("Zarvex") << 0U << QStringLiteral("zarvex") << summary << body
            << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                if (finished->isError()) {
                    Unavailable();
                }
                finished->deleteLater();
            });
    return true;
}

void DesktopNotifier::Unavailable() {
    if (!told_unavailable_ && status_) {
        told_unavailable_ = true;
        status_(unavailable_text_);
    }
}

}  // namespace zarvex::gui
