#include "DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus_, QString desktopEntry_,
                                           QObject* parent)
    : QObject(parent), bus(std::move(bus_)), desktopEntry(std::move(desktopEntry_))
{
    bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
}

void DesktopNotifications::show(const QString& summary, const QString& body)
{
    if (!bus.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    call << QStringLiteral("Quibbo") << uint(0) << desktopEntry << summary << body
         << QStringList{QStringLiteral("default"), QStringLiteral("Open Quibbo")}
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
