#pragma once

#include <QString>

// The typing filters of the own-number and sender ID fields. Each routine first passes over
// white space (spaces, tabs, line ends) at the very start, which is never part of a result.

// The text up to, not including, the first escape character (see isEscapeCharacter()).
QString stopStringAtEscapeCharacters(QStringView text);
// The leading run of the digits 0 to 9.
QString stopStringAtNonNumericCharacters(QStringView text);
// Whether the text holds anything but "+" and the digits 0 to 9; leading white space counts.
bool checkForNonNumerics(QStringView text);

// A filter's result: the text to put back into the field, and how many times the refusal sound
// is to be heard (once for a cut at an escape character or a non-digit, once more for a cut to
// the length limit).
struct FilteredText
{
    QString text;
    int refusals = 0;
};
// Cut at the first escape character, then to 11 characters, or 16 when only "+" and digits.
FilteredText filterSenderId(QStringView typed);
// A country dialling code: digits only, at most 6.
FilteredText filterCountryCode(QStringView typed);
