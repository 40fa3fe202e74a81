#pragma once

#include <QString>

#include <optional>

class StorageStatus;

// The message being typed and its recipient, kept beside the settings so that a quit, a crash or
// a logout loses nothing: $XDG_STATE_HOME/quibbo/draft.json, mode 0600, written atomically. A
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

    std::optional<Draft> read() const;
    // An empty draft removes the file.
    void write(const Draft& draft);

private:
    // 0, or the errno that kept the latest draft from the disk.
    int writeLatest();

    QString path;
    StorageStatus* status;
    Draft latest;
};
