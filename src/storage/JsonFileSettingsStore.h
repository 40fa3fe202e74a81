#pragma once

#include "SettingsStore.h"

#include <QJsonObject>

#include <chrono>

class StorageStatus;

// The settings store on disk: one JSON object in one file, rewritten atomically after every
// change, readable by the user alone. A file that cannot be parsed is moved aside under a new
// name and never overwritten, so a damaged file can still be recovered by hand.
//
// Two clients may share the file (without a session bus nothing keeps a second one from
// starting): each write holds a lock file, reads the file as it is on disk then and changes
// only the keys this client changed, so neither drops the other's. A write cut short by a crash
// leaves its temporary copy behind; the next start removes such copies.
//
// A change takes effect at once for every later read of this run, whether or not it reached the
// disk: one that could not be written (a full disk, a read-only folder) is kept, reported to the
// storage status, and written with the next write or the status's retry. Nothing here waits for
// the lock: while another client holds it for its write, the change waits for the retry.
class JsonFileSettingsStore : public SettingsStore
{
public:
    // Without a status (a tool that only reads, the fuzz target) a change that cannot be written
    // now is tried again with the next write and when the store is destroyed.
    explicit JsonFileSettingsStore(QString filePath, StorageStatus* status = nullptr);
    ~JsonFileSettingsStore() override;

    // $XDG_CONFIG_HOME/quibbo/settings.json
    static QString defaultFilePath();

    QString filePath() const { return path; }
    // Whether every change of this run is on disk.
    bool isSaved() const { return unsaved.isEmpty(); }

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
    // 0, or the errno that kept the damaged file where it is.
    int moveAside();
    // Writes this run's changes into the file as it is on disk now, under the lock: 0, or the
    // errno that stopped it (EWOULDBLOCK while another client holds the lock).
    int writeUnsaved(std::chrono::milliseconds lockWait);

    QString path;
    StorageStatus* status;
    // The file as last read, with this run's changes over it: what every read answers.
    QJsonObject values;
    // This run's changes that are not on disk yet.
    QJsonObject unsaved;
};
