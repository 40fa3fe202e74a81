#include "TimerGate.h"

#include <QObject>
#include <QPointer>

TimerGate::TimerGate(TimerSource& timers_, bool held_) : timers(timers_), held(held_) {}

void TimerGate::release()
{
    held = false;
    const QList<std::function<void()>> due = std::exchange(heldBack, {});
    for (const auto& fire : due)
        fire();
}

std::unique_ptr<Timer> TimerGate::makeTimer(bool repeating, std::function<void()> fired)
{
    return timers.makeTimer(repeating, std::move(fired));
}

void TimerGate::singleShot(std::chrono::milliseconds delay, QObject* context,
                           std::function<void()> fired)
{
    QPointer<QObject> guard(context);
    timers.singleShot(delay, context, [this, guard, fired = std::move(fired)] {
        if (!held) {
            fired();
            return;
        }
        heldBack.append([guard, fired] {
            if (guard)
                fired();
        });
    });
}
