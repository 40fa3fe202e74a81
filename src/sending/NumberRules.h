#pragma once

#include "SettingsStore.h"

#include <QString>

#include <optional>

// A typed recipient number may be sent unless it is empty or holds a letter or combining mark
// of any script. Spaces, "+", brackets, dashes and other punctuation are all accepted.
bool isNumberValid(QStringView typed);

// The digits to send: the ASCII digits of the typed number, and with number translation on a
// leading 0 replaced by the home country code, so a national number becomes international.
QString formatNumber(QStringView typed, const std::optional<StringDictionary>& numberTranslation);
