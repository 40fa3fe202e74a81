#pragma once

#include "TimerSource.h"

#include <QList>

// Holds back the one-shot timers of the main window while the first-run assistant is up: a
// timer that falls due while the gate is held fires as soon as it is released. Repeating and
// owned timers pass straight through.
class TimerGate : public TimerSource
{
public:
    explicit TimerGate(TimerSource& timers, bool held = false);

    void release();

    std::unique_ptr<Timer> makeTimer(bool repeating, std::function<void()> fired) override;
    void singleShot(std::chrono::milliseconds delay, QObject* context,
                    std::function<void()> fired) override;

private:
    TimerSource& timers;
    bool held;
    QList<std::function<void()>> heldBack;
};
