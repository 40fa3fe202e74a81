#include "ServiceEndpoints.h"

#include "QueryEscaping.h"

#include <QtGlobal>

ServiceEndpoints::ServiceEndpoints(QUrl secureBase, QUrl publicBase)
    : secure(std::move(secureBase)), site(std::move(publicBase))
{}

ServiceEndpoints ServiceEndpoints::fromEnvironment()
{
    const auto fromEnv = [](const char* name, const char* fallback) {
        const QString value = qEnvironmentVariable(name);
        return QUrl(value.isEmpty() ? QString::fromLatin1(fallback) : value);
    };
    return {fromEnv("QUIBBO_SECURE_URL", "https://secure.quibbo.example"),
            fromEnv("QUIBBO_WEB_URL", "http://www.quibbo.example")};
}

QUrl ServiceEndpoints::join(const QUrl& base, const QString& path, const QByteArray& encodedQuery)
{
    QUrl url = base;
    QString basePath = base.path();
    if (basePath.endsWith(QLatin1Char('/')))
        basePath.chop(1);
    url.setPath(basePath + path);
    if (!encodedQuery.isEmpty())
        url.setQuery(QString::fromLatin1(encodedQuery), QUrl::StrictMode);
    return url;
}

QUrl ServiceEndpoints::sendMessage() const
{
    return join(secure, QStringLiteral("/quib/sendMessage"));
}

QUrl ServiceEndpoints::buyCredits(const QString& emailAddress) const
{
    return join(site, QStringLiteral("/getcredits.php"),
                "quibboacc=" + escapedQueryValue(emailAddress));
}

QUrl ServiceEndpoints::accountInformation(const Settings::Credentials& credentials,
                                          const QString& action) const
{
    const auto value = [](const std::optional<QString>& entry) {
        return escapedQueryValue(valueOrNullText(entry));
    };
    return join(
        secure, QStringLiteral("/quib/accountInformation"),
        "CompanyId=" + value(credentials.companyId) + "&UserId=" + value(credentials.userId) +
            "&Password=" + value(credentials.password) + "&Action=" + escapedQueryValue(action));
}

QUrl ServiceEndpoints::registration(const QString& stage,
                                    const QList<std::pair<QByteArray, QString>>& values) const
{
    QByteArray query = "stage=" + escapedQueryValue(stage);
    for (const auto& [key, value] : values)
        query += '&' + key + '=' + escapedQueryValue(value);
    return join(secure, QStringLiteral("/asterisk/mac_account_create.php"), query);
}

QUrl ServiceEndpoints::companyCredentials(const QString& emailAddress,
                                          const QString& password) const
{
    return join(secure, QStringLiteral("/quib/accountInformation"),
                "CompanyId=Unknown&UserId=" + escapedQueryValue(emailAddress) +
                    "&Password=" + escapedQueryValue(password) + "&Action=company");
}

QUrl ServiceEndpoints::versionFile() const
{
    return join(secure, QStringLiteral("/quib/quibbo-mac-10-3.txt"));
}

QUrl ServiceEndpoints::passwordReminder() const
{
    return join(site, QStringLiteral("/pwreminder.php"));
}

QUrl ServiceEndpoints::privacyPolicy() const
{
    return join(site, QStringLiteral("/privacy_policy.html"));
}
