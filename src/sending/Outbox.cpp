#include "Outbox.h"

#include "NetworkMonitor.h"
#include "TimerSource.h"

#include <QUuid>

using namespace std::chrono_literals;

namespace {
constexpr std::chrono::seconds firstInterval = 30s;
constexpr std::chrono::seconds longestInterval = 10min;
} // namespace

Outbox::Outbox(OutboxStore& store_, NetworkMonitor& monitor_, TimerSource& timers, QObject* parent)
    : QObject(parent), store(store_), monitor(monitor_),
      retryTimer(timers.makeTimer(false, [this] { tryNext(); })), interval(firstInterval)
{
    connect(&monitor, &NetworkMonitor::becameAvailable, this, [this] {
        interval = firstInterval;
        tryNext();
    });
}

Outbox::~Outbox() = default;

void Outbox::load()
{
    waiting = store.read();
    if (waiting.isEmpty())
        return;
    emit changed();
    monitor.watch();
    // A moment after the window is up, not in its way.
    retryTimer->start(1s);
}

QString Outbox::add(Message message)
{
    message.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    message.tried = false;
    message.held = false;
    waiting.append(message);
    save();
    monitor.watch();
    scheduleRetry();
    return message.id;
}

std::optional<Outbox::Message> Outbox::take(const QString& id)
{
    if (isTrying(id))
        return std::nullopt;
    for (qsizetype i = 0; i < waiting.size(); ++i) {
        if (waiting.at(i).id != id)
            continue;
        Message message = waiting.takeAt(i);
        save();
        if (waiting.isEmpty())
            retryTimer->stop();
        return message;
    }
    return std::nullopt;
}

void Outbox::sendNow()
{
    stopped = false;
    interval = firstInterval;
    for (Message& message : waiting)
        message.held = false;
    save();
    tryNext();
}

void Outbox::tryPosting(const QString& id, std::optional<int> listedBefore)
{
    if (Message* message = changeable(id)) {
        message->tried = true;
        message->listedBefore = listedBefore;
        save();
    }
}

void Outbox::tryEnded(const QString& id, TryEnd end)
{
    if (trying == id)
        trying.clear();
    Message* message = changeable(id);
    switch (end) {
    case TryEnd::NotLeft:
        if (message)
            message->tried = false;
        interval = std::min(interval * 2, longestInterval);
        save();
        scheduleRetry();
        return;
    case TryEnd::Ended:
        waiting.removeIf([&id](const Message& m) { return m.id == id; });
        save();
        // The service answers again: the next message goes at once.
        interval = firstInterval;
        tryNext();
        return;
    case TryEnd::InsufficientCredit:
        if (message)
            message->tried = false;
        stopped = true;
        retryTimer->stop();
        save();
        return;
    case TryEnd::Unknown:
        if (message)
            message->held = true;
        save();
        tryNext();
        return;
    }
}

void Outbox::tryNext()
{
    if (!trying.isEmpty() || stopped)
        return;
    for (const Message& message : std::as_const(waiting)) {
        if (message.held)
            continue;
        retryTimer->stop();
        trying = message.id;
        emit tryDue(message);
        return;
    }
    retryTimer->stop();
}

void Outbox::scheduleRetry()
{
    if (trying.isEmpty() && !stopped && !retryTimer->isActive())
        retryTimer->start(interval);
}

void Outbox::save()
{
    store.write(waiting);
    emit changed();
}

const Outbox::Message* Outbox::find(const QString& id) const
{
    for (const Message& message : waiting)
        if (message.id == id)
            return &message;
    return nullptr;
}
