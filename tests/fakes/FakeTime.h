#pragma once

#include "Clock.h"
#include "TimerSource.h"

#include <QDateTime>
#include <QPointer>

#include <chrono>
#include <map>

// A clock and timers that move only when a test says so: advance() fires every timer that
// falls due, in order, as if that much time had passed.
class FakeTime : public Clock, public TimerSource
{
public:
    explicit FakeTime(QDateTime start = QDateTime(QDate(2006, 3, 8), QTime(15, 7)));

    QDateTime now() const override;
    std::unique_ptr<Timer> makeTimer(bool repeating, std::function<void()> fired) override;
    void singleShot(std::chrono::milliseconds delay, QObject* context,
                    std::function<void()> fired) override;

    void advance(std::chrono::milliseconds by);
    // The time left on each pending timer, soonest first.
    QList<qint64> pendingMilliseconds() const;

private:
    friend class FakeTimer;
    struct Scheduled
    {
        qint64 due = 0;
        qint64 interval = 0;
        bool repeating = false;
        std::function<void()> fired;
    };
    int schedule(Scheduled entry);
    void unschedule(int id) { scheduled.erase(id); }

    QDateTime start;
    qint64 elapsed = 0;
    int nextId = 1;
    std::map<int, Scheduled> scheduled;
};
