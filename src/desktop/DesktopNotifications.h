#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>

#include <optional>

// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus), with the client's icon and desktop entry. Without a service they go
// nowhere. Clicking one of ours emits activated(). A body is plain text: where the service
// reads markup in bodies, it is escaped.
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
    void notificationClosed(uint id);

private:
    void notify(const QString& summary, const QString& body);

    QDBusConnection bus;
    QString desktopEntry;
    bool listening = false; // for clicks and closes, from the first notification on
    QSet<uint> shown;       // those of ours the service has not closed yet
    // Whether the service reads markup in a body: unknown until it has said, and the
    // notifications meanwhile wait for its answer.
    std::optional<bool> bodyMarkup;
    QList<std::pair<QString, QString>> waiting;
};
