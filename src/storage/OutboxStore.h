#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class StorageStatus;

// The messages waiting to be sent once the service can be reached, kept beside the draft with
// the same care: $XDG_STATE_HOME/quibbo/outbox.json, mode 0600, replaced whole, so that a quit, a
// crash or a restart loses none. A message that cannot be read is skipped, the others kept; a
// file that cannot be read at all is moved aside, never written over.
class OutboxStore
{
public:
    struct Message
    {
        QString id{};
        QDateTime queued{};
        QString number{}; // as typed
        QString text{};
        std::optional<QString> senderID{}; // as it was set when the message was put in
        // A try was posted and no answer came (or the client ended meanwhile): the service may
        // have it, so the history is asked before it is posted again.
        bool tried = false;
        // How many messages of this text to this number the history listed before that try,
        // where known.
        std::optional<int> listedBefore{};
        // Waits for the user: whether the service received a try is unknown.
        bool held = false;
        friend bool operator==(const Message&, const Message&) = default;
    };

    explicit OutboxStore(QString filePath, StorageStatus* status = nullptr);
    ~OutboxStore();
    static QString defaultFilePath();

    QList<Message> read();
    // An empty outbox removes the file.
    void write(const QList<Message>& messages);

private:
    int writeLatest();

    QString path;
    StorageStatus* status;
    QList<Message> latest;
};
