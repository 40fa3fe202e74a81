#include "NumberRules.h"

#include "QueryEscaping.h"
#include "SettingsKeys.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcNumbers, "quibbo.numbers")
}

bool isNumberValid(QStringView typed)
{
    if (typed.isEmpty())
        return false;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        char32_t codePoint = typed[i].unicode();
        if (typed[i].isHighSurrogate() && i + 1 < typed.size() && typed[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(typed[i], typed[i + 1]);
            ++i;
        }
        if (QChar::isLetter(codePoint) || QChar::isMark(codePoint))
            return false;
    }
    return true;
}

QString formatNumber(QStringView typed, const std::optional<StringDictionary>& numberTranslation)
{
    QString digits;
    for (QChar c : typed) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
    qCInfo(lcNumbers).noquote() << "formattedNumber =" << digits;

    if (!digits.startsWith(u'0'))
        return digits;
    if (!numberTranslation || numberTranslation->isEmpty())
        return digits;
    if (numberTranslation->value(SettingsKeys::translationState) == SettingsKeys::off)
        return digits;

    const auto code = numberTranslation->contains(SettingsKeys::countryCode)
                          ? std::optional(numberTranslation->value(SettingsKeys::countryCode))
                          : std::nullopt;
    const QString result = valueOrNullText(code) + digits.mid(1);
    qCInfo(lcNumbers).noquote() << "numberWithCountryCode =" << result;
    return result;
}
