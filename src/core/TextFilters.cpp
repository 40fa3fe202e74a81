#include "TextFilters.h"

#include "SmsText.h"

namespace {
qsizetype scanningStart(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() &&
           (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r' ||
            text[i] == QChar::LineSeparator || text[i] == QChar::ParagraphSeparator))
        ++i;
    return i;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
} // namespace

QString stopStringAtEscapeCharacters(QStringView text)
{
    const qsizetype start = scanningStart(text);
    qsizetype end = start;
    while (end < text.size() && !isEscapeCharacter(text[end]))
        ++end;
    return text.sliced(start, end - start).toString();
}

QString stopStringAtNonNumericCharacters(QStringView text)
{
    const qsizetype start = scanningStart(text);
    qsizetype end = start;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return text.sliced(start, end - start).toString();
}

bool checkForNonNumerics(QStringView text)
{
    const qsizetype start = scanningStart(text);
    qsizetype end = start;
    while (end < text.size() && (isDigit(text[end]) || text[end] == u'+'))
        ++end;
    // The run equals the whole text only when nothing came before it and nothing after it.
    return start != 0 || end != text.size();
}

FilteredText filterSenderId(QStringView typed)
{
    FilteredText result{stopStringAtEscapeCharacters(typed), 0};
    if (result.text != typed)
        ++result.refusals;
    const qsizetype limit = checkForNonNumerics(result.text) ? 11 : 16;
    if (result.text.size() > limit) {
        // A character outside the Basic Multilingual Plane is kept whole or left out whole.
        result.text.truncate(result.text.at(limit).isLowSurrogate() ? limit - 1 : limit);
        ++result.refusals;
    }
    return result;
}

FilteredText filterCountryCode(QStringView typed)
{
    FilteredText result{stopStringAtNonNumericCharacters(typed), 0};
    if (result.text != typed)
        ++result.refusals;
    if (result.text.size() > 6) {
        result.text.truncate(6);
        ++result.refusals;
    }
    return result;
}
