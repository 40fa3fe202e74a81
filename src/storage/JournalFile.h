#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// Where the journal of messages is kept: every message the user sent or queued whose fate is
// not settled yet. A seam, so that the journal's state machine can be run against a file that
// fails or finishes its writes whenever a test says.
class JournalFile
{
public:
    struct Record
    {
        enum class State
        {
            Posting,    // its request may be out: the service may have it
            Unanswered, // its request left and no answer came; the history is yet to be asked
            Checking,   // the history is being asked whether the service has it
            Sent,       // the service has it
            Refused,    // the service would not take it, or it never left (the fields keep it)
            Waiting,    // in the outbox, to be tried
            Held        // in the outbox, waiting for the user (reason says why)
        };

        QString id{};
        QDateTime queued{};
        QString number{}; // as typed
        QString msisdn{}; // as sent: formatted once, when it was sent or queued
        QString text{};
        std::optional<QString> senderID{}; // as it was set when the message was sent or queued
        State state = State::Waiting;
        bool byHand = false; // sent from the fields rather than from the outbox
        // How many messages of this text to this number the history listed before the post,
        // where known.
        std::optional<int> listedBefore{};
        QString reason{}; // why a held message waits
        friend bool operator==(const Record&, const Record&) = default;
    };

    virtual ~JournalFile() = default;

    // Takes the file for this client alone: false while another client (of this user, on any
    // session) has it.
    virtual bool take() = 0;
    // Whether an earlier run left anything: without it the lock is taken only when needed, so
    // that a start leaves no file behind.
    virtual bool exists() const = 0;
    virtual QList<Record> read() = 0;
    // Writes the whole journal, away from the window's thread; written runs on context's thread
    // with 0 once it is on disk, else the errno that kept it off. Writes finish in order.
    virtual void write(const QList<Record>& records, QObject* context,
                       std::function<void(int error)> written) = 0;
};
