#include "FakeTime.h"

#include <algorithm>

class FakeTimer : public Timer
{
public:
    FakeTimer(FakeTime& time_, bool repeating_, std::function<void()> fired_)
        : time(time_), repeating(repeating_), fired(std::move(fired_))
    {}
    ~FakeTimer() override { stop(); }

    void start(std::chrono::milliseconds interval) override
    {
        stop();
        id = time.schedule({time.elapsed + interval.count(), interval.count(), repeating, [this] {
                                if (!repeating)
                                    id = 0;
                                fired();
                            }});
    }
    void stop() override
    {
        if (id)
            time.unschedule(id);
        id = 0;
    }
    bool isActive() const override { return id != 0; }

private:
    FakeTime& time;
    bool repeating;
    std::function<void()> fired;
    int id = 0;
};

FakeTime::FakeTime(QDateTime start_) : start(std::move(start_)) {}

QDateTime FakeTime::now() const
{
    return start.addMSecs(elapsed);
}

std::unique_ptr<Timer> FakeTime::makeTimer(bool repeating, std::function<void()> fired)
{
    return std::make_unique<FakeTimer>(*this, repeating, std::move(fired));
}

void FakeTime::singleShot(std::chrono::milliseconds delay, QObject* context,
                          std::function<void()> fired)
{
    QPointer<QObject> guard(context);
    schedule({elapsed + delay.count(), delay.count(), false, [guard, fired = std::move(fired)] {
                  if (guard)
                      fired();
              }});
}

int FakeTime::schedule(Scheduled entry)
{
    scheduled.emplace(nextId, std::move(entry));
    return nextId++;
}

void FakeTime::advance(std::chrono::milliseconds by)
{
    const qint64 target = elapsed + by.count();
    for (;;) {
        auto next =
            std::min_element(scheduled.begin(), scheduled.end(), [](const auto& a, const auto& b) {
                return a.second.due < b.second.due;
            });
        if (next == scheduled.end() || next->second.due > target)
            break;
        elapsed = next->second.due;
        std::function<void()> fired = next->second.fired;
        if (next->second.repeating)
            next->second.due += next->second.interval;
        else
            scheduled.erase(next);
        fired();
    }
    elapsed = target;
}

QList<qint64> FakeTime::pendingMilliseconds() const
{
    QList<qint64> left;
    for (const auto& [id, entry] : scheduled)
        left.append(entry.due - elapsed);
    std::sort(left.begin(), left.end());
    return left;
}
