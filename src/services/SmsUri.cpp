#include "SmsUri.h"

#include "NumberRules.h"

#include <QByteArray>
#include <QUrl>

#include <algorithm>

namespace {
QString percentDecoded(QStringView part)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

// A line break or another invisible character in a recipient would show one number and send
// another.
bool holdsInvisible(const QString& recipient)
{
    const QList<uint> codePoints = recipient.toUcs4();
    return std::any_of(codePoints.begin(), codePoints.end(),
                       [](uint c) { return isInvisibleCharacter(char32_t(c)); });
}
} // namespace

std::optional<SmsUri> parseSmsUri(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1String("sms:"), Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView rest = QStringView(trimmed).mid(4);
    const qsizetype question = rest.indexOf(u'?');
    const QStringView recipientsPart = question < 0 ? rest : rest.left(question);

    SmsUri uri;
    for (QStringView recipient : recipientsPart.split(u',', Qt::SkipEmptyParts)) {
        // A recipient may carry parameters after ";" that name no number.
        const QString number = percentDecoded(recipient.left(recipient.indexOf(u';'))).trimmed();
        if (holdsInvisible(number))
            return std::nullopt;
        if (!number.isEmpty())
            uri.recipients.append(number);
    }
    if (question >= 0) {
        for (QStringView field : rest.mid(question + 1).split(u'&', Qt::SkipEmptyParts)) {
            const qsizetype eq = field.indexOf(u'=');
            if (eq > 0 && field.left(eq).compare(QLatin1String("body"), Qt::CaseInsensitive) == 0)
                uri.body = percentDecoded(field.mid(eq + 1));
        }
    }
    return uri;
}
