#include "ClientAddress.h"

QString ClientAddress::applicationPath()
{
    return QLatin1Char('/') + QString(busName).replace(QLatin1Char('.'), u'/');
}

QString ClientAddress::startupToken()
{
    for (const char* variable : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"})
        if (const QString token = qEnvironmentVariable(variable); !token.isEmpty())
            return token;
    return {};
}

QVariantMap ClientAddress::platformData(const QString& activationToken)
{
    if (activationToken.isEmpty())
        return {};
    return {{QStringLiteral("activation-token"), activationToken},
            {QStringLiteral("desktop-startup-id"), activationToken}};
}
