#pragma once

#include "SettingsStore.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Everything the client remembers between runs, typed. Each setting is named here once: its
// key in the settings file, the form it is stored in, its default and how a stored value reads.
// The stored forms are the ones older files hold, byte for byte, so those files still read; a
// value of another form reads as the default. A change a reader must follow at once is
// signalled.
class Settings : public QObject
{
    Q_OBJECT
public:
    explicit Settings(SettingsStore& store, QObject* parent = nullptr);

    // "QuibboAPIConnectionParams": a dictionary of strings, as the service handed it out. Every
    // request to the messaging interface carries these three; an entry not stored is absent.
    struct Credentials
    {
        std::optional<QString> companyId; // "CompanyId"
        std::optional<QString> userId;    // "UserId"
        std::optional<QString> password;  // "Password": in the keyring where there is one
    };
    Credentials credentials() const;
    // The entries given, and no others.
    void setCredentials(const Credentials& credentials);
    // The dictionary the service handed out, stored as it came, with any further entries.
    void setCredentialsAsHandedOut(const StringDictionary& handedOut);
    // All three entries stored (or the dictionary holds three or more). A password the keyring
    // withholds for now counts as stored: a locked keyring is no reason to set the account up
    // again.
    bool accountIsSetUp() const;
    // The password is stored, but the keyring will not hand it out now.
    bool credentialsPasswordWithheld() const;

    // "accountDetails": the e-mail address and password the user identified the account with,
    // a dictionary of "emailAddress" and "password" (lower case, unlike the credentials').
    // Absent when not stored or empty; an entry not stored reads as empty.
    struct AccountDetails
    {
        QString emailAddress;
        QString password;
    };
    std::optional<AccountDetails> accountDetails() const;
    void setAccountDetails(const AccountDetails& details);

    // "senderID": a string, the name or number recipients see. Absent until stored.
    std::optional<QString> senderID() const;
    void setSenderID(const QString& senderID);

    // "numberTranslation": a dictionary of "translationState" ("ON" or "OFF") and
    // "countryCode". Absent when not stored or empty.
    struct NumberTranslation
    {
        QString state; // as stored; empty when the entry is not
        std::optional<QString> countryCode;

        // The two readers of the state read it differently, on purpose, and older files rely on
        // both: numbers are translated unless the state is exactly "OFF", while the preferences'
        // tick box is ticked only for exactly "ON". A state stored in any other form (a
        // lower-case "on" written by hand, or none) translates numbers behind an unticked box.
        bool translates() const;
        bool ticked() const;
    };
    std::optional<NumberTranslation> numberTranslation() const;
    void setNumberTranslation(bool translate, const QString& countryCode);

    // "longSMSAllowed": "ON" or "OFF". Long messages are allowed only for exactly "ON", so they
    // are off by default; until a value is stored the preferences leave their tick box as the
    // form has it.
    bool longSMSAllowed() const;
    bool longSMSAllowedStored() const;
    void setLongSMSAllowed(bool allowed);

    // "deliveryNotifications": "ON" or "OFF". On unless exactly "OFF", so on by default.
    bool deliveryNotifications() const;
    void setDeliveryNotifications(bool wanted);

    // "RecentMsisdns": an array of strings, the numbers sent to, the newest first. Empty by
    // default.
    QStringList recentNumbers() const;
    void setRecentNumbers(const QStringList& numbers);

    // The passwords are kept by the store beneath: see SettingsStore.
    void whenPasswordsRead(QObject* context, std::function<void()> then);
    bool passwordsKeptInFile() const;

    // The dictionaries that hold a password, and the entry that holds it in each: what the
    // keyring keeps instead of the settings file.
    static QMap<QString, QString> passwordEntries();

Q_SIGNALS:
    void numberTranslationChanged();

private:
    SettingsStore& store;
};
