#include "Settings.h"

namespace {
// The keys of the settings file and of its dictionaries, as stored files hold them.
const QString credentialsKey = QStringLiteral("QuibboAPIConnectionParams");
const QString companyIdEntry = QStringLiteral("CompanyId");
const QString userIdEntry = QStringLiteral("UserId");
const QString credentialsPasswordEntry = QStringLiteral("Password");
const QString accountDetailsKey = QStringLiteral("accountDetails");
const QString emailAddressEntry = QStringLiteral("emailAddress");
const QString accountPasswordEntry = QStringLiteral("password");
const QString senderIDKey = QStringLiteral("senderID");
const QString numberTranslationKey = QStringLiteral("numberTranslation");
const QString translationStateEntry = QStringLiteral("translationState");
const QString countryCodeEntry = QStringLiteral("countryCode");
const QString longSMSAllowedKey = QStringLiteral("longSMSAllowed");
const QString deliveryNotificationsKey = QStringLiteral("deliveryNotifications");
const QString recentNumbersKey = QStringLiteral("RecentMsisdns");

// The two values of a flag.
const QString on = QStringLiteral("ON");
const QString off = QStringLiteral("OFF");

QString flag(bool value)
{
    return value ? on : off;
}

std::optional<QString> entry(const StringDictionary& dictionary, const QString& key)
{
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? std::nullopt : std::optional(*found);
}
} // namespace

Settings::Settings(SettingsStore& store_, QObject* parent) : QObject(parent), store(store_) {}

Settings::Credentials Settings::credentials() const
{
    const StringDictionary stored =
        store.dictionaryForKey(credentialsKey).value_or(StringDictionary());
    return {.companyId = entry(stored, companyIdEntry),
            .userId = entry(stored, userIdEntry),
            .password = entry(stored, credentialsPasswordEntry)};
}

void Settings::setCredentials(const Credentials& credentials)
{
    StringDictionary stored;
    const auto put = [&stored](const QString& key, const std::optional<QString>& value) {
        if (value)
            stored.insert(key, *value);
    };
    put(companyIdEntry, credentials.companyId);
    put(userIdEntry, credentials.userId);
    put(credentialsPasswordEntry, credentials.password);
    store.setDictionary(credentialsKey, stored);
}

void Settings::setCredentialsAsHandedOut(const StringDictionary& handedOut)
{
    store.setDictionary(credentialsKey, handedOut);
}

bool Settings::accountIsSetUp() const
{
    const qsizetype stored =
        store.dictionaryForKey(credentialsKey).value_or(StringDictionary()).size();
    return stored + (credentialsPasswordWithheld() ? 1 : 0) > 2;
}

bool Settings::credentialsPasswordWithheld() const
{
    return store.isPasswordWithheld(credentialsKey);
}

std::optional<Settings::AccountDetails> Settings::accountDetails() const
{
    const std::optional<StringDictionary> stored = store.dictionaryForKey(accountDetailsKey);
    if (!stored || stored->isEmpty())
        return std::nullopt;
    return AccountDetails{.emailAddress = stored->value(emailAddressEntry),
                          .password = stored->value(accountPasswordEntry)};
}

void Settings::setAccountDetails(const AccountDetails& details)
{
    store.setDictionary(accountDetailsKey, {{emailAddressEntry, details.emailAddress},
                                            {accountPasswordEntry, details.password}});
}

std::optional<QString> Settings::senderID() const
{
    return store.stringForKey(senderIDKey);
}

void Settings::setSenderID(const QString& senderID)
{
    store.setString(senderIDKey, senderID);
}

bool Settings::NumberTranslation::translates() const
{
    return state != off;
}

bool Settings::NumberTranslation::ticked() const
{
    return state == on;
}

std::optional<Settings::NumberTranslation> Settings::numberTranslation() const
{
    const std::optional<StringDictionary> stored = store.dictionaryForKey(numberTranslationKey);
    if (!stored || stored->isEmpty())
        return std::nullopt;
    return NumberTranslation{.state = stored->value(translationStateEntry),
                             .countryCode = entry(*stored, countryCodeEntry)};
}

void Settings::setNumberTranslation(bool translate, const QString& countryCode)
{
    store.setDictionary(numberTranslationKey, {{translationStateEntry, flag(translate)},
                                               {countryCodeEntry, countryCode}});
    emit numberTranslationChanged();
}

bool Settings::longSMSAllowed() const
{
    return store.stringForKey(longSMSAllowedKey) == on;
}

bool Settings::longSMSAllowedStored() const
{
    return store.stringForKey(longSMSAllowedKey).has_value();
}

void Settings::setLongSMSAllowed(bool allowed)
{
    store.setString(longSMSAllowedKey, flag(allowed));
}

bool Settings::deliveryNotifications() const
{
    return store.stringForKey(deliveryNotificationsKey) != off;
}

void Settings::setDeliveryNotifications(bool wanted)
{
    store.setString(deliveryNotificationsKey, flag(wanted));
}

QStringList Settings::recentNumbers() const
{
    return store.arrayForKey(recentNumbersKey).value_or(QStringList());
}

void Settings::setRecentNumbers(const QStringList& numbers)
{
    store.setArray(recentNumbersKey, numbers);
}

void Settings::whenPasswordsRead(QObject* context, std::function<void()> then)
{
    store.whenPasswordsRead(context, std::move(then));
}

bool Settings::passwordsKeptInFile() const
{
    return store.passwordsKeptInFile();
}

QMap<QString, QString> Settings::passwordEntries()
{
    return {{credentialsKey, credentialsPasswordEntry}, {accountDetailsKey, accountPasswordEntry}};
}
