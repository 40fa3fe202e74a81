#include "BalanceText.h"

#include <QString>
#include <QStringDecoder>

#include <limits>

std::optional<int> balanceFromBody(const QByteArray& body)
{
    if (body.isEmpty())
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(body);
    if (decoder.hasError())
        return 0;

    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    constexpr qint64 beyond = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), beyond);
    if (negative)
        return static_cast<int>(std::max(-value, qint64(std::numeric_limits<int>::min())));
    return static_cast<int>(std::min(value, qint64(std::numeric_limits<int>::max())));
}
