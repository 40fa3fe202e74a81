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
