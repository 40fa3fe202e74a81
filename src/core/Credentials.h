#pragma once

#include "SettingsStore.h"

// The credentials the messaging interface asks for (CompanyId, UserId, Password), as stored by
// the assistant or the preferences; empty when none are.
StringDictionary storedCredentials(const SettingsStore& settings);

// The dictionaries that hold a password, and the entry that holds it in each: what the keyring
// keeps instead of the settings file.
QMap<QString, QString> passwordEntries();
