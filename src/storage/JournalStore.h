#pragma once

#include "BackgroundWriter.h"
#include "JournalFile.h"

class StorageStatus;

// The journal of messages kept beside the draft with the same care:
// $XDG_STATE_HOME/quibbo/outbox.json, mode 0600, replaced whole, so that a quit, a crash or a
// restart loses none. Written on a thread of its own. A record that cannot be read is skipped,
// the others kept; a file that cannot be read at all is moved aside, never written over.
//
// One client of the user writes it: the first to take the lock beside it
// (outbox.json.lock, held while the client runs and let go by the system when it ends).
class JournalStore : public JournalFile
{
public:
    explicit JournalStore(QString filePath, StorageStatus* status = nullptr);
    ~JournalStore() override;
    static QString defaultFilePath();

    bool take() override;
    bool exists() const override;
    QList<Record> read() override;
    void write(const QList<Record>& records, QObject* context,
               std::function<void(int error)> written) override;
    // Waits for the writes under way.
    void wait() { writer.wait(); }

private:
    int writeLatest();

    QString path;
    StorageStatus* status;
    int lockFd = -1;
    QList<Record> latest;
    bool unwritten = false; // the latest failed, and StorageStatus retries it
    BackgroundWriter writer;
};
