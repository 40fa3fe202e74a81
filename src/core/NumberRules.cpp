#include "NumberRules.h"

#include "QueryEscaping.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcNumbers, "quibbo.numbers")
}

namespace {
// Calls f with each code point of the text; a lone surrogate comes as itself.
template <typename F> void forEachCodePoint(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        f(codePoint);
    }
}
} // namespace

bool isInvisibleCharacter(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

bool isNumberValid(QStringView typed)
{
    if (typed.isEmpty())
        return false;
    bool valid = true;
    forEachCodePoint(typed, [&valid](char32_t codePoint) {
        if (isInvisibleCharacter(codePoint) || QChar::isLetter(codePoint) ||
            QChar::isMark(codePoint))
            valid = false;
    });
    return valid;
}

QString formatNumber(QStringView typed,
                     const std::optional<Settings::NumberTranslation>& numberTranslation,
                     NumberTrace trace)
{
    // A decimal digit of any script counts as its value: an Arabic-Indic seven is a 7.
    QString digits;
    forEachCodePoint(typed, [&digits](char32_t codePoint) {
        if (QChar::category(codePoint) == QChar::Number_DecimalDigit)
            digits.append(QLatin1Char(char('0' + QChar::digitValue(codePoint))));
    });
    const bool logged = trace == NumberTrace::Logged;
    if (logged)
        qCInfo(lcNumbers).noquote() << "formattedNumber =" << digits;

    if (!digits.startsWith(u'0'))
        return digits;
    if (!numberTranslation || !numberTranslation->translates())
        return digits;

    const QString result = valueOrNullText(numberTranslation->countryCode) + digits.mid(1);
    if (logged)
        qCInfo(lcNumbers).noquote() << "numberWithCountryCode =" << result;
    return result;
}
