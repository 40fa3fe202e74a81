#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

// The desktop's notification service, on a connection of its own to the test's private bus.
class NotificationServer : public QObject
{
    Q_OBJECT
public:
    struct Shown
    {
        QString icon, summary, body;
        QVariantMap hints;
    };

    NotificationServer();
    ~NotificationServer() override;

    void click(uint id);

    // Whatever the client sent the notification server before this, the server has read by
    // now: calls on one connection arrive in order, and a notification the client holds until
    // the server's capabilities are known goes out when their answer comes, before the second
    // probe.
    static bool everyCallArrived();

    QList<Shown> shown;
    QStringList capabilities{"actions", "body"};

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities; }

    uint Notify(const QString&, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int)
    {
        shown.append({icon, summary, body, hints});
        return uint(shown.size());
    }

private:
    QDBusConnection bus;
};
