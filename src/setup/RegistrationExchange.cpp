#include "RegistrationExchange.h"

#include "NetworkAccess.h"
#include "PropertyList.h"

#include "CurlReply.h"

namespace {
constexpr qint64 answerLimit = 64 * 1024;
}

RegistrationExchange::RegistrationExchange(NetworkAccess& network_, ServiceEndpoints endpoints_,
                                           QObject* parent)
    : QObject(parent), network(network_), endpoints(std::move(endpoints_))
{}

std::optional<QString> RegistrationExchange::errorOf(const Answer& answer)
{
    if (!answer)
        return std::nullopt;
    const auto error = answer->constFind(QStringLiteral("Error"));
    if (error == answer->constEnd() || error->typeId() != QMetaType::QString)
        return std::nullopt;
    return error->toString();
}

Settings::Credentials RegistrationExchange::credentialsOf(const Answer& answer)
{
    const auto take = [&answer](const char* name) -> std::optional<QString> {
        if (!answer)
            return std::nullopt;
        const auto value = answer->constFind(QString::fromLatin1(name));
        if (value == answer->constEnd() || value->typeId() != QMetaType::QString)
            return std::nullopt;
        return value->toString();
    };
    return {.companyId = take("CompanyId"),
            .userId = take("InstallationId"),
            .password = take("InstallationPass")};
}

void RegistrationExchange::abandon()
{
    inFlight.abandon();
}

void RegistrationExchange::checkEmailAddress(const QString& email, Handler answered)
{
    fetch(QStringLiteral("chkemailaddress"), {{"email", email}}, std::move(answered));
}

void RegistrationExchange::createPending(const QString& email, const QString& password,
                                         const QString& firstName, const QString& surname,
                                         Handler answered)
{
    fetch(QStringLiteral("createpending"),
          {{"email", email}, {"pass", password}, {"firstname", firstName}, {"surname", surname}},
          std::move(answered));
}

void RegistrationExchange::checkConfirmed(const QString& email, const QString& password,
                                          Handler answered)
{
    fetch(QStringLiteral("chkconfirmedemail"), {{"email", email}, {"pass", password}},
          std::move(answered));
}

void RegistrationExchange::fetch(const QString& stage,
                                 const QList<std::pair<QByteArray, QString>>& values,
                                 Handler answered)
{
    if (isBusy())
        return;
    inFlight.start(network.get(endpoints.registration(stage, values), answerLimit),
                   [answered = std::move(answered)](CurlReply& reply) {
                       answered(NetworkAccess::succeeded(reply)
                                    ? propertyListDictionary(reply.readAll())
                                    : std::nullopt);
                   });
}
