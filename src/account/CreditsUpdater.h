#pragma once

#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QObject>
#include <QPointer>

class CurlReply;
class NetworkAccess;
class QLabel;
class Settings;
class TimerSource;
struct Platform;

// Shows the account's credit balance, fetched from the messaging interface 15 s after start and
// whenever another part asks. Only the answer to the latest request is shown, and only an
// answer the service gave with success: an error page or a lost connection changes nothing.
class CreditsUpdater : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QLabel& creditsDisplay;
    };

    CreditsUpdater(const Controls& controls, const Platform& platform, ServiceEndpoints endpoints,
                   QObject* parent = nullptr);

    const Controls controls;

    void awakeFromNib();

public Q_SLOTS:
    void updateCredits();

Q_SIGNALS:
    // The latest request has ended, whatever it brought.
    void exchangeFinished();

private:
    void answered(CurlReply* reply);

    Settings& settings;
    TimerSource& timers;
    NetworkAccess& network;
    ServiceEndpoints endpoints;
    PendingReply latest{this};
};
