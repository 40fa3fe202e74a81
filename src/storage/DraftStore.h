#pragma once

#include "BackgroundWriter.h"

#include <QString>

#include <optional>

class StorageStatus;

// The message being typed and its recipient, kept beside the settings so that a quit, a crash or
// a logout loses nothing: $XDG_STATE_HOME/quibbo/draft.json, mode 0600, written atomically on a
// thread of its own (a flush can take seconds, and typing must not wait for it). A
// file that cannot be read as a draft is no draft. A draft that cannot be written (a full disk,
// a read-only folder) is reported to the storage status and written as soon as it can be.
class DraftStore
{
public:
    struct Draft
    {
        QString message;
        QString recipient;
        friend bool operator==(const Draft&, const Draft&) = default;
    };

    explicit DraftStore(QString filePath, StorageStatus* status = nullptr);
    ~DraftStore();
    static QString defaultFilePath();

    // Once the writes asked for have ended.
    std::optional<Draft> read();
    // An empty draft removes the file.
    void write(const Draft& draft);
    // Waits for the writes under way; the answers reach the storage status at the next turn of
    // the event loop.
    void wait() { writer.wait(); }
    // Waits for the writes under way and, when the newest draft is still not on disk, tries it
    // once more: 0 once it is there, else the errno that keeps it off. For a quit, which must
    // know before the window goes.
    int keep();

private:
    // 0, or the errno that kept the latest draft from the disk.
    int writeLatest();
    void report(int error);

    QString path;
    StorageStatus* status;
    Draft latest;
    // The errno of the last write that ended, or 0: the writes end in the order asked for.
    int failure = 0;
    BackgroundWriter writer;
};
