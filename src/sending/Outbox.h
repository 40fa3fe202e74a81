#pragma once

#include "OutboxStore.h"

#include <QObject>

#include <chrono>
#include <memory>

class NetworkMonitor;
class Timer;
class TimerSource;

// The messages that never left this machine because the service could not be reached, put here
// by the user. They are tried one at a time, oldest first: when the desktop says a network is
// back, else at growing intervals. A try whose outcome is unknown holds its message for the user;
// insufficient credit stops the outbox until the user sends again. Kept on disk, so a quit, a
// crash or a restart loses none, and one posted when the client ended is checked against the
// history before it is posted again.
class Outbox : public QObject
{
    Q_OBJECT
public:
    using Message = OutboxStore::Message;
    // How a try ended, as the sender saw it.
    enum class TryEnd
    {
        NotLeft,            // nothing reached the service: the message waits again
        Ended,              // sent or refused for good: the message leaves the outbox
        InsufficientCredit, // waits, and the outbox stops
        Unknown             // may have been received: the message waits for the user
    };

    Outbox(OutboxStore& store, NetworkMonitor& monitor, TimerSource& timers,
           QObject* parent = nullptr);
    ~Outbox() override;

    // Reads the messages kept from an earlier run and starts trying them.
    void load();

    const QList<Message>& messages() const { return waiting; }
    // The waiting message of that id, or nullptr.
    const Message* find(const QString& id) const;
    // Puts a message in and tries it later; returns its id.
    QString add(Message message);
    // Takes a message out (to edit or drop); nothing for one being tried now.
    std::optional<Message> take(const QString& id);
    bool isTrying(const QString& id) const { return !id.isEmpty() && trying == id; }
    bool isStopped() const { return stopped; }
    // The user's say: every message is tried now, those held and a stopped outbox's too.
    void sendNow();

    // For the sender: the try is about to be posted. Kept on disk first, so that a crash
    // before its answer makes the next run ask the history.
    void tryPosting(const QString& id, std::optional<int> listedBefore);
    void tryEnded(const QString& id, TryEnd end);

Q_SIGNALS:
    void changed();
    // A message is due to be tried; tryEnded() must follow.
    void tryDue(const Outbox::Message& message);

private:
    void tryNext();
    void scheduleRetry();
    void save();
    Message* changeable(const QString& id)
    {
        return const_cast<Message*>(std::as_const(*this).find(id));
    }

    OutboxStore& store;
    NetworkMonitor& monitor;
    std::unique_ptr<Timer> retryTimer;
    QList<Message> waiting;
    QString trying;
    std::chrono::seconds interval;
    bool stopped = false;
};
