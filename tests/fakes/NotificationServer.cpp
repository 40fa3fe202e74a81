#include "NotificationServer.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QSignalSpy>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

NotificationServer::NotificationServer()
    : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                        QStringLiteral("notification-server")))
{
    bus.registerObject(path, service, this, QDBusConnection::ExportAllSlots);
    bus.registerService(service);
}

NotificationServer::~NotificationServer()
{
    bus.unregisterService(service);
    QDBusConnection::disconnectFromBus(QStringLiteral("notification-server"));
}

void NotificationServer::click(uint id)
{
    QDBusMessage signal =
        QDBusMessage::createSignal(path, service, QStringLiteral("ActionInvoked"));
    signal << id << QStringLiteral("default");
    bus.send(signal);
}

bool NotificationServer::everyCallArrived()
{
    for (int probe = 0; probe < 2; ++probe) {
        QDBusPendingCallWatcher asked(
            QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
                service, path, service, QStringLiteral("GetCapabilities"))));
        if (!QSignalSpy(&asked, &QDBusPendingCallWatcher::finished).wait())
            return false;
    }
    return true;
}
