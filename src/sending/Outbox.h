#pragma once

#include "MessageJournal.h"

#include <QObject>

#include <chrono>
#include <memory>

class NetworkMonitor;
class Timer;
class TimerSource;

// When the messages of the outbox are tried: the messages the user put there because the
// service could not be reached, and those held for the user. One at a time, oldest first: when
// the desktop says a network is back, else at growing intervals. A held message waits for the
// user; insufficient credit stops the outbox until the user sends again. What a try does, and
// what becomes of the message, is the journal's.
class Outbox : public QObject
{
    Q_OBJECT
public:
    using Message = JournalFile::Record;

    Outbox(MessageJournal& journal, NetworkMonitor& monitor, TimerSource& timers,
           QObject* parent = nullptr);
    ~Outbox() override;

    // Starts trying what the journal kept from an earlier run.
    void load();

    QList<Message> messages() const { return journal.outbox(); }
    const Message* find(const QString& id) const;
    // Puts a message in and tries it later; returns its id (empty when another client has the
    // journal).
    QString add(Message message);
    // Takes a message out (to edit or drop); nothing for one being tried now.
    std::optional<Message> take(const QString& id) { return journal.take(id); }
    bool isTrying(const QString& id) const;
    bool isStopped() const { return stopped; }
    // The user's say: every message is tried now, those held and a stopped outbox's too.
    void sendNow();

Q_SIGNALS:
    void changed();
    // A message is being tried.
    void tryDue(const Outbox::Message& message);

private:
    void tryNext();
    void scheduleRetry();
    void settled(const Message& message, MessageJournal::Outcome outcome);

    MessageJournal& journal;
    NetworkMonitor& monitor;
    std::unique_ptr<Timer> retryTimer;
    QString trying;
    std::chrono::seconds interval;
    bool stopped = false;
};
