#include "QueryEscaping.h"

#include <QUrl>

QByteArray escapedQueryValue(const QString& value)
{
    return QUrl::toPercentEncoding(value, "!*'(),", "~");
}

QString valueOrNullText(const std::optional<QString>& value)
{
    return value ? *value : QStringLiteral("(null)");
}
