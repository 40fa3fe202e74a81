#include "Credentials.h"

#include "SettingsKeys.h"

StringDictionary storedCredentials(const SettingsStore& settings)
{
    return settings.dictionaryForKey(SettingsKeys::QuibboAPIConnectionParams)
        .value_or(StringDictionary());
}

QMap<QString, QString> passwordEntries()
{
    return {{SettingsKeys::QuibboAPIConnectionParams, SettingsKeys::Password},
            {SettingsKeys::accountDetails, SettingsKeys::password}};
}
