#pragma once

#include "SettingsStore.h"

#include <QJsonObject>
#include <QStringList>

// The settings store without a file. insertRaw() stores any JSON value, so tests can plant
// values of the wrong form. withheld stands for a locked keyring that keeps the password of
// those keys; asks counts how often the keyring would have been asked for it again (and shown
// its unlock prompt).
class MemorySettingsStore : public SettingsStore
{
public:
    void insertRaw(const QString& key, const QJsonValue& v) { values.insert(key, v); }
    bool contains(const QString& key) const { return values.contains(key); }

    bool isPasswordWithheld(const QString& key) const override { return withheld.contains(key); }
    void whenPasswordsRead(QObject* context, std::function<void()> then) override
    {
        if (!withheld.isEmpty())
            ++asks;
        SettingsStore::whenPasswordsRead(context, std::move(then));
    }

    QStringList withheld;
    int asks = 0;

protected:
    QJsonValue value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QJsonValue& v) override { values.insert(key, v); }

private:
    QJsonObject values;
};
