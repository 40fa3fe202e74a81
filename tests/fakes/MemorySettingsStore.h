#pragma once

#include "SettingsStore.h"

#include <QJsonObject>

// The settings store without a file. insertRaw() stores any JSON value, so tests can plant
// values of the wrong form.
class MemorySettingsStore : public SettingsStore
{
public:
    void insertRaw(const QString& key, const QJsonValue& v) { values.insert(key, v); }
    bool contains(const QString& key) const { return values.contains(key); }

protected:
    QJsonValue value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QJsonValue& v) override { values.insert(key, v); }

private:
    QJsonObject values;
};
