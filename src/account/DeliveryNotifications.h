#pragma once

#include <QList>
#include <QObject>

class DesktopNotifications;
class MsgHistoryDataSource;
class Settings;
class QWidget;

// Tells the user through a desktop notification when the history shows that a message sent in
// this run was delivered or failed: once per message and state, never for messages from before
// this run, never while the main window is the active one, and not at all when the user turned
// it off.
class DeliveryNotifications : public QObject
{
    Q_OBJECT
public:
    DeliveryNotifications(MsgHistoryDataSource& history, DesktopNotifications& desktop,
                          Settings& settings, QWidget& mainWindow, QObject* parent = nullptr);

    // msisdn as sent (the service's digits), recipient as the user typed it.
    void messageSent(const QString& msisdn, const QString& recipient, const QString& message);

private:
    void historyRead();

    struct Sent
    {
        QString msisdn;
        QString recipient;
        QString message;
        bool delivered = false;
        bool failed = false;
    };

    MsgHistoryDataSource& history;
    DesktopNotifications& desktop;
    Settings& settings;
    QWidget& mainWindow;
    QList<Sent> sent;
};
