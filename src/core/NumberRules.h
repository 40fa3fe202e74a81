#pragma once

#include "Settings.h"

#include <QString>

#include <optional>

// A control or format character, a line or paragraph separator, or half a surrogate pair:
// something that would make the number on screen differ from the digits sent.
bool isInvisibleCharacter(char32_t codePoint);

// A typed recipient number may be sent unless it is empty or holds a letter or combining mark
// of any script, or an invisible character (control, format, line break). Spaces, "+",
// brackets, dashes and other punctuation are all accepted.
bool isNumberValid(QStringView typed);

// The digits to send: the decimal digits of the typed number, of any script, as ASCII digits;
// with number translation on a leading 0 replaced by the home country code, so a national
// number becomes international.
// The send traces the numbers it forms in the log; matching thousands of cards, or counting
// recipients at each keystroke, does not.
enum class NumberTrace
{
    Logged,
    Quiet
};
QString formatNumber(QStringView typed,
                     const std::optional<Settings::NumberTranslation>& numberTranslation,
                     NumberTrace trace = NumberTrace::Logged);
