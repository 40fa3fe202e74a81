#pragma once

#include <QJsonValue>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

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

protected:
    virtual QJsonValue value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QJsonValue& value) = 0;
};
