#include "SettingsStore.h"

#include <QJsonArray>
#include <QJsonObject>

std::optional<QString> SettingsStore::stringForKey(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<StringDictionary> SettingsStore::dictionaryForKey(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isObject())
        return std::nullopt;
    StringDictionary result;
    const QJsonObject object = v.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString())
            result.insert(it.key(), it.value().toString());
    }
    return result;
}

std::optional<QStringList> SettingsStore::arrayForKey(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isArray())
        return std::nullopt;
    QStringList result;
    for (const QJsonValue& item : v.toArray()) {
        if (!item.isString())
            return std::nullopt;
        result.append(item.toString());
    }
    return result;
}

void SettingsStore::setString(const QString& key, const QString& v)
{
    setValue(key, v);
}

void SettingsStore::setDictionary(const QString& key, const StringDictionary& v)
{
    QJsonObject object;
    for (auto it = v.begin(); it != v.end(); ++it)
        object.insert(it.key(), it.value());
    setValue(key, object);
}

void SettingsStore::setArray(const QString& key, const QStringList& v)
{
    setValue(key, QJsonArray::fromStringList(v));
}

void SettingsStore::whenPasswordsRead(QObject*, std::function<void()> then)
{
    then();
}
