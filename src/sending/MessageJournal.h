#pragma once

#include "JournalFile.h"
#include "ReceiptCheck.h"

#include <QObject>

#include <functional>
#include <memory>

class SentHistory;
class TimerSource;

// The one path of every message the user sends, by hand or from the outbox: a record in the
// journal on disk from before its request leaves until its fate is known, so that nothing is
// posted twice, nothing vanishes, and an answer that never came is looked up in the service's
// history before the message may go again, in this run or the next.
//
//   send() ──► Posting ──200──► Sent
//                 │  ├─444, other status, nothing left──► Refused (by hand) / Waiting or Held
//                 │  └─left, no answer──► Unanswered ──► Checking ──listed──► Sent
//                 │                                        ├─not listed──► Refused / Waiting,
//                 │                                        │               or Posting again
//   queue() ──► Waiting ──tryWaiting()──► Posting          └─not known──► Refused / Held
//   a start: Posting, Unanswered, Checking ──► Checking
//
// A record's request leaves only once the journal holding it as Posting is on disk; a record
// that could not be written does not go. Records are told apart by their id; two of the same
// number and text (as the history lists them) are never out at once: a press of Send for a
// message that may be out follows that record instead of posting another, and an outbox message
// waits for it.
class MessageJournal : public QObject
{
    Q_OBJECT
public:
    using Record = JournalFile::Record;
    using State = Record::State;

    enum class Outcome
    {
        Sent,
        SentLate, // no answer came, but the history lists it
        InsufficientCredit,
        Rejected,      // any other status
        NotReached,    // nothing of the request left this machine
        NotRecorded,   // the journal could not be written, so the request did not leave
        NotReceived,   // no answer came, and the history does not list it
        ReceiptUnknown // no answer came, and the history could not tell
    };

    // What the journal asks of the window: whether the message view and the recipient box still
    // hold a message (one sent by hand that did not go moves to the outbox when they do not),
    // and the number to send for a number as typed (for records an earlier client kept
    // without it).
    struct Questions
    {
        std::function<bool(const Record&)> fieldsHold;
        std::function<QString(const QString& typed)> formatNumber;
    };

    MessageJournal(JournalFile& file, SentHistory& history, TimerSource& timers,
                   Questions questions, QObject* parent = nullptr);
    ~MessageJournal() override;

    // Takes the journal for this client and reads what an earlier run left: every message that
    // may have gone is looked up in the history. False while another client has it; asked
    // again at each send.
    bool load();
    // At a start: reads what an earlier run left, if anything; the journal is taken at the
    // first message otherwise.
    void loadKept();
    bool isOwned() const { return owned; }
    // Whether another client had the journal when it was last asked for.
    bool isRefused() const { return refused; }

    const QList<Record>& records() const { return journal; }
    const Record* find(const QString& id) const;
    // The outbox: the messages not sent by hand whose fate is open.
    QList<Record> outbox() const;
    // Whether a message of the same number and text may be out now.
    bool mayBeOut(const Record& message) const;
    // Whether the record is posted or being looked up now.
    bool isUnderWay(const QString& id) const;
    // Whether Send was pressed for the record again while it was out or looked up.
    bool isPressedAgain(const QString& id) const { return pressedAgain.contains(id); }
    // An error that kept the journal from the disk; 0 when it is written.
    int unwritten() const { return lastError; }

    // A press of Send: a new record, or the one of the same message that may be out or waits in
    // the outbox, which the fields now follow. Its id; empty when another client has the journal.
    QString send(Record message);
    // Puts a message in the outbox; its id, or empty when another client has the journal.
    // recorded() follows once it is on disk; until then the fields keep it.
    QString queue(Record message);
    // Posts an outbox message now: false when it cannot go (gone, under way, or another of the
    // same message may be out).
    bool tryWaiting(const QString& id);
    // Takes an outbox message out (to change or drop); nothing for one under way.
    std::optional<Record> take(const QString& id);
    // Every held message the service is known not to have waits to be tried again.
    void releaseHeld();

    // What came of a post that postDue() asked for.
    void answered(const QString& id, int status);
    void unanswered(const QString& id, bool requestLeft);

Q_SIGNALS:
    void changed();
    // The record is on disk as Posting: its request may leave now.
    void postDue(const JournalFile::Record& record);
    // A message put in the outbox is on disk.
    void recorded(const JournalFile::Record& record);
    // The history is being asked about a record.
    void checkStarted(const JournalFile::Record& record);
    // A post or a look-up ended; record is as it was when it ended (byHand: whether the fields
    // followed it, even where it now waits in the outbox).
    void settled(const JournalFile::Record& record, MessageJournal::Outcome outcome);

private:
    Record* changeable(const QString& id);
    void post(Record& record);
    void checkNext();
    void decided(const QString& id, ReceiptCheck::Verdict verdict);
    void remove(const QString& id);
    void end(const QString& id, Outcome outcome);
    void save(const QStringList& posting = {});
    void saved(quint64 write, int error);

    JournalFile& file;
    SentHistory& history;
    TimerSource& timers;
    Questions questions;
    QList<Record> journal;
    // The records the fields follow again after a press during their look-up: posted again
    // when the service does not have them.
    QStringList pressedAgain;
    QHash<QString, quint64> postedAt; // the history's mark at each post, for its counts
    QHash<QString, ReceiptCheck*> checks;
    QHash<QString, quint64> awaited; // the write each record waits for before it may go on
    quint64 writes = 0;
    bool owned = false;
    bool refused = false;
    int lastError = 0;
};
