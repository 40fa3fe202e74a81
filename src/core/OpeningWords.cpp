#include "OpeningWords.h"

QString openingWords(const QString& message)
{
    constexpr qsizetype room = 60;
    const QString text = message.simplified();
    if (text.size() <= room)
        return text;
    qsizetype cut = text.lastIndexOf(QLatin1Char(' '), room);
    if (cut <= 0)
        cut = text.at(room - 1).isHighSurrogate() ? room - 1 : room;
    return text.left(cut) + QChar(0x2026);
}
