#include "SmsText.h"

bool isEscapeCharacter(QChar c)
{
    switch (c.unicode()) {
    case 0x20AC: // euro sign
    case u'[':
    case u'\\':
    case u']':
    case u'^':
    case u'{':
    case u'|':
    case u'}':
    case u'~':
        return true;
    default:
        return false;
    }
}

qsizetype countedLength(QStringView text)
{
    qsizetype length = text.size();
    for (QChar c : text)
        length += isEscapeCharacter(c) ? 1 : 0;
    return length;
}

PartsAndFill partsAndFill(qsizetype countedLength)
{
    if (countedLength <= 0)
        return {1, 0};
    const qsizetype parts = (countedLength - 1) / positionsPerPart + 1;
    return {parts, countedLength - positionsPerPart * (parts - 1)};
}

qsizetype fittingPrefixLength(QStringView text, qsizetype limit)
{
    qsizetype used = 0;
    qsizetype n = 0;
    for (; n < text.size(); ++n) {
        used += isEscapeCharacter(text[n]) ? 2 : 1;
        if (used > limit)
            break;
    }
    if (n > 0 && n < text.size() && text[n - 1].isHighSurrogate() && text[n].isLowSurrogate())
        --n;
    return n;
}
