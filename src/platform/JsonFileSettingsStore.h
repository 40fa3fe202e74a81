#pragma once

#include "SettingsStore.h"

#include <QJsonObject>

// The settings store on disk: one JSON object in one file, rewritten atomically after every
// change, readable by the user alone. A file that cannot be parsed is moved aside under a new
// name and never overwritten, so a damaged file can still be recovered by hand.
class JsonFileSettingsStore : public SettingsStore
{
public:
    explicit JsonFileSettingsStore(QString filePath);

    // $XDG_CONFIG_HOME/quibbo/settings.json
    static QString defaultFilePath();

    QString filePath() const { return path; }

protected:
    QJsonValue value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;

private:
    void load();
    void moveAside();
    void save() const;

    QString path;
    QJsonObject values;
    bool keepInMemory = false;
};
