#pragma once

#include "BackgroundWriter.h"
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
// disk, and is written on a thread of its own (a flush can take seconds on a slow disk or a
// network home folder, and the window must not wait for it). One that could not be written (a
// full disk, a read-only folder) is kept, reported to the storage status, and written with the
// next write or the status's retry. No write waits for the lock: while another client holds it
// for its write, the change waits for the retry.
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
    // Whether every change of this run is on disk, once the writes under way have ended.
    bool isSaved();
    // Waits for the writes under way and takes in their answers, for a tool or a test that
    // reads the file next.
    void wait() { writer.settle(); }

protected:
    QJsonValue value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;

private:
    // Starts a write of every change not on disk yet.
    void writeUnsaved();
    // Writes them now, after the writes under way, for a retry or a quit: 0, or the errno.
    int writeUnsavedNow(std::chrono::milliseconds lockWait);
    // Takes in what a write of changes gave (the file as it left it, or the errno that stopped
    // it), unless a later write's answer is in already: whether it was taken.
    bool take(quint64 write, const QJsonObject& changes, const QJsonObject& onDisk, int error);

    QString path;
    StorageStatus* status;
    // The file as last read, with this run's changes over it: what every read answers.
    QJsonObject values;
    // This run's changes that are not on disk yet.
    QJsonObject unsaved;
    // The writes asked for, and the last whose answer is taken in: an answer older than a write
    // made since on the window's thread says nothing.
    quint64 asked = 0;
    quint64 answered = 0;
    BackgroundWriter writer;
};
