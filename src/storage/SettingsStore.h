#pragma once

#include <QJsonValue>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;

using StringDictionary = QMap<QString, QString>;

// The per-user key/value store that holds everything the client remembers between runs.
// Values have three forms only: strings, dictionaries of strings and arrays of strings.
// A value of another form reads as absent, so every reader can treat a damaged value like a
// key that was never written.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    std::optional<QString> stringForKey(const QString& key) const;
    // Entries that are not strings are left out of the dictionary.
    std::optional<StringDictionary> dictionaryForKey(const QString& key) const;
    // An array holding anything but strings reads as absent.
    std::optional<QStringList> arrayForKey(const QString& key) const;

    void setString(const QString& key, const QString& value);
    void setDictionary(const QString& key, const StringDictionary& value);
    void setArray(const QString& key, const QStringList& value);

    // Runs `then` once the account's passwords can be read: at once for a store that keeps them
    // itself, after the keyring's answer for one that asks the desktop's keyring (asked again
    // for a password it withheld). Nothing runs if `context` is gone by then.
    virtual void whenPasswordsRead(QObject* context, std::function<void()> then);
    // Whether the passwords are kept in the settings file (readable by the user alone) because
    // no keyring would take them.
    virtual bool passwordsKeptInFile() const { return true; }
    // Whether the password of the dictionary under key is stored, but in a keyring that will not
    // hand it out now (locked, its prompt dismissed, gone from the bus): the dictionary then
    // reads without it, and whenPasswordsRead() asks for it again.
    virtual bool isPasswordWithheld(const QString&) const { return false; }

protected:
    // A store in front of another one reads and writes through it.
    friend class KeyringSettingsStore;

    virtual QJsonValue value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QJsonValue& value) = 0;
};
