#include "TimerSource.h"

#include <QTimer>

namespace {
class QtTimer : public Timer
{
public:
    QtTimer(bool repeating, std::function<void()> fired)
    {
        timer.setSingleShot(!repeating);
        QObject::connect(&timer, &QTimer::timeout, &timer, std::move(fired));
    }
    void start(std::chrono::milliseconds interval) override { timer.start(interval); }
    void stop() override { timer.stop(); }
    bool isActive() const override { return timer.isActive(); }

private:
    QTimer timer;
};
} // namespace

std::unique_ptr<Timer> QtTimerSource::makeTimer(bool repeating, std::function<void()> fired)
{
    return std::make_unique<QtTimer>(repeating, std::move(fired));
}

void QtTimerSource::singleShot(std::chrono::milliseconds delay, QObject* context,
                               std::function<void()> fired)
{
    QTimer::singleShot(delay, context, std::move(fired));
}
