#include "Credentials.h"

#include "SettingsKeys.h"

StringDictionary storedCredentials(const SettingsStore& settings)
{
    return settings.dictionaryForKey(SettingsKeys::QuibboAPIConnectionParams)
        .value_or(StringDictionary());
}
