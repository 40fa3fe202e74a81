#include "Outbox.h"

#include "NetworkMonitor.h"
#include "TimerSource.h"

using namespace std::chrono_literals;
using Outcome = MessageJournal::Outcome;

namespace {
constexpr std::chrono::seconds firstInterval = 30s;
constexpr std::chrono::seconds longestInterval = 10min;
} // namespace

Outbox::Outbox(MessageJournal& journal_, NetworkMonitor& monitor_, TimerSource& timers,
               QObject* parent)
    : QObject(parent), journal(journal_), monitor(monitor_),
      retryTimer(timers.makeTimer(false, [this] { tryNext(); })), interval(firstInterval)
{
    connect(&monitor, &NetworkMonitor::becameAvailable, this, [this] {
        interval = firstInterval;
        tryNext();
    });
    connect(&journal, &MessageJournal::changed, this, &Outbox::changed);
    connect(&journal, &MessageJournal::settled, this, &Outbox::settled);
}

Outbox::~Outbox() = default;

void Outbox::load()
{
    if (messages().isEmpty())
        return;
    monitor.watch();
    // A moment after the window is up, not in its way.
    retryTimer->start(1s);
}

const Outbox::Message* Outbox::find(const QString& id) const
{
    const Message* message = journal.find(id);
    return message && !message->byHand ? message : nullptr;
}

QString Outbox::add(Message message)
{
    const QString id = journal.queue(std::move(message));
    if (id.isEmpty())
        return id;
    monitor.watch();
    scheduleRetry();
    return id;
}

bool Outbox::isTrying(const QString& id) const
{
    return find(id) && journal.isUnderWay(id);
}

void Outbox::sendNow()
{
    stopped = false;
    interval = firstInterval;
    journal.releaseHeld();
    tryNext();
}

void Outbox::settled(const Message& message, Outcome outcome)
{
    const bool ours = message.id == trying;
    if (ours)
        trying.clear();
    switch (outcome) {
    case Outcome::NotReached:
    case Outcome::NotRecorded:
        if (!ours)
            break;
        interval = std::min(interval * 2, longestInterval);
        scheduleRetry();
        return;
    case Outcome::InsufficientCredit:
        if (message.byHand && !ours)
            break;
        stopped = true;
        retryTimer->stop();
        return;
    case Outcome::Sent:
    case Outcome::SentLate:
        // The service answers again: the next message goes at once.
        interval = firstInterval;
        tryNext();
        return;
    case Outcome::Rejected:
    case Outcome::NotReceived:
    case Outcome::ReceiptUnknown:
        tryNext();
        return;
    }
    scheduleRetry();
}

void Outbox::tryNext()
{
    if (stopped || !trying.isEmpty())
        return;
    for (const Message& message : messages()) {
        if (message.state != Message::State::Waiting || !journal.tryWaiting(message.id))
            continue;
        retryTimer->stop();
        trying = message.id;
        emit tryDue(*journal.find(message.id));
        return;
    }
    // Nothing that can go now; a message that waits behind another of the same text goes once
    // that one has ended.
    retryTimer->stop();
    if (!messages().isEmpty())
        scheduleRetry();
}

void Outbox::scheduleRetry()
{
    const QList<Message> kept = messages();
    const bool waiting = std::any_of(kept.cbegin(), kept.cend(), [](const Message& message) {
        return message.state == Message::State::Waiting;
    });
    if (waiting && trying.isEmpty() && !stopped && !retryTimer->isActive())
        retryTimer->start(interval);
}
