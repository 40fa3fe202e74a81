#pragma once

#include "SettingsStore.h"

#include <QJsonObject>

// The settings store on disk: one JSON object in one file, rewritten atomically after every
// change, readable by the user alone. A file that cannot be parsed is moved aside under a new
// name and never overwritten, so a damaged file can still be recovered by hand.
//
// Two clients may share the file (without a session bus nothing keeps a second one from
// starting): each write holds a lock file, reads the file as it is on disk then and changes
// only its own key, so neither drops the other's. A write cut short by a crash leaves its
// temporary copy behind; the next start removes such copies.
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
    enum class Read
    {
        Missing,
        Read,
        Unreadable
    };
    Read read(QJsonObject& into) const;
    void load();
    void moveAside();
    void save() const;

    QString path;
    QJsonObject values;
    bool keepInMemory = false;
};
