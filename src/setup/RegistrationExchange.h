#pragma once

#include "PendingReply.h"
#include "ServiceEndpoints.h"
#include "Settings.h"

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

    // The answer's "Error" entry; an answer without one has no known outcome.
    static std::optional<QString> errorOf(const Answer& answer);
    // The credentials a confirmed account's answer hands out, under the messaging interface's
    // names: the registration script calls UserId and Password InstallationId and
    // InstallationPass. An entry that is not a string is left out.
    static Settings::Credentials credentialsOf(const Answer& answer);

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
