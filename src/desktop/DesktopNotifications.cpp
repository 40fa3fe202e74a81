#include "DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus_, QString desktopEntry_,
                                           QObject* parent)
    : QObject(parent), bus(std::move(bus_)), desktopEntry(std::move(desktopEntry_))
{}

void DesktopNotifications::show(const QString& summary, const QString& body)
{
    if (!bus.isConnected())
        return;
    // Listening costs a look-up of the service's owner on the bus, so it waits for the first
    // notification rather than delaying the start.
    if (!listening) {
        listening = true;
        bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(service, path, service, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint)));
        // Another notification service (a desktop restarted, another daemon) may read bodies
        // otherwise: it is asked anew, and the ids of the last one's notifications are void.
        auto* owner =
            new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
            bodyMarkup.reset();
            shown.clear();
        });
    }
    if (bodyMarkup) {
        notify(summary, body);
        return;
    }
    waiting.append({summary, body});
    if (waiting.size() > 1)
        return; // the service was asked already
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(service, path, service, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<QStringList> capabilities = *done;
                bodyMarkup = capabilities.isValid() &&
                             capabilities.value().contains(QStringLiteral("body-markup"));
                for (const auto& [waitingSummary, waitingBody] : std::exchange(waiting, {}))
                    notify(waitingSummary, waitingBody);
                done->deleteLater();
            });
}

void DesktopNotifications::notify(const QString& summary, const QString& body)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    call << QStringLiteral("Quibbo") << uint(0) << desktopEntry << summary
         << (*bodyMarkup ? body.toHtmlEscaped() : body)
         << QStringList{QStringLiteral("default"), tr("Open Quibbo")}
         << QVariantMap{{QStringLiteral("desktop-entry"), desktopEntry}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isValid())
                    shown.insert(reply.value());
                done->deleteLater();
            });
}

void DesktopNotifications::actionInvoked(uint id, const QString& action)
{
    if (action == QLatin1String("default") && shown.contains(id))
        emit activated();
}

void DesktopNotifications::notificationClosed(uint id)
{
    shown.remove(id);
}
