#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>

// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus), with the client's icon and desktop entry. Without a service they go
// nowhere. Clicking one of ours emits activated().
class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    DesktopNotifications(QDBusConnection bus, QString desktopEntry, QObject* parent = nullptr);

    void show(const QString& summary, const QString& body);

Q_SIGNALS:
    void activated();

private Q_SLOTS:
    // Called by the bus, which connects signals by their signatures only.
    void actionInvoked(uint id, const QString& action);

private:
    QDBusConnection bus;
    QString desktopEntry;
    QSet<uint> shown;
};
