#pragma once

#include "PendingReply.h"
#include "ServiceEndpoints.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <functional>
#include <optional>

class CurlReply;
class NetworkAccess;

// The three exchanges with the service's registration script. Each answer is a property-list
// dictionary whose "Error" entry is "None" on success; a failed fetch, or an answer that is not
// such a dictionary, is no answer at all. One exchange runs at a time.
class RegistrationExchange : public QObject
{
    Q_OBJECT
public:
    using Answer = std::optional<QVariantMap>;
    using Handler = std::function<void(const Answer&)>;

    RegistrationExchange(NetworkAccess& network, ServiceEndpoints endpoints,
                         QObject* parent = nullptr);

    bool isBusy() const { return bool(inFlight); }
    // Stops the exchange under way; its handler is never called.
    void abandon();

    void checkEmailAddress(const QString& email, Handler answered);
    void createPending(const QString& email, const QString& password, const QString& firstName,
                       const QString& surname, Handler answered);
    void checkConfirmed(const QString& email, const QString& password, Handler answered);

private:
    void fetch(const QString& stage, const QList<std::pair<QByteArray, QString>>& values,
               Handler answered);

    NetworkAccess& network;
    ServiceEndpoints endpoints;
    PendingReply inFlight{this};
};
