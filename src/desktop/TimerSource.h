#pragma once

#include <chrono>
#include <functional>
#include <memory>

class QObject;

// A timer owned by its caller. It never fires after it has been destroyed.
class Timer
{
public:
    virtual ~Timer() = default;
    // (Re)starts the timer; a running timer starts counting again from now.
    virtual void start(std::chrono::milliseconds interval) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The run-loop timers of the user-interface thread. Tests pass a source whose time they move on
// by hand, so that no test ever waits for a timer.
class TimerSource
{
public:
    virtual ~TimerSource() = default;

    virtual std::unique_ptr<Timer> makeTimer(bool repeating, std::function<void()> fired) = 0;
    // A one-shot timer that is dropped unfired when context is destroyed.
    virtual void singleShot(std::chrono::milliseconds delay, QObject* context,
                            std::function<void()> fired) = 0;
};

class QtTimerSource : public TimerSource
{
public:
    std::unique_ptr<Timer> makeTimer(bool repeating, std::function<void()> fired) override;
    void singleShot(std::chrono::milliseconds delay, QObject* context,
                    std::function<void()> fired) override;
};
