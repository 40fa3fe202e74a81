#pragma once

#include <QDBusConnection>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <chrono>
#include <functional>

namespace QKeychain {
class Job;
} // namespace QKeychain

// The thread the desktop's keyring is asked on. The keyring's library answers on the thread that
// asked, so a quit can wait here for the last write while the window's event loop, with its
// timers and bus calls, stays stopped. QtKeychain runs every job of a process through one
// executor that stays on the thread of the first job, so a process has one such thread, made in
// main() and handed to the keyring's store.
//
// The keyring's library keeps its session with the keyring for the whole process; when the
// keyring restarts (a crash, an update, a new login) that session is gone, so the session is
// dropped whenever another process takes the keyring's name on the bus.
class KeyringThread : public QObject
{
public:
    struct Answer
    {
        int error = 0; // QKeychain::Error
        QString errorText;
        QString password; // of a read
    };

    explicit KeyringThread(const QDBusConnection& bus);
    ~KeyringThread() override;
    Q_DISABLE_COPY_MOVE(KeyringThread)

    // Runs the job that make() builds on the keyring's thread; done gets its answer on this
    // object's thread (the window's), in the order the jobs ended.
    void run(std::function<QKeychain::Job*()> make, std::function<void(const Answer&)> done);
    // Waits until every job has been answered, for at most limit, then hands over the answers
    // that came meanwhile, and runs nothing else.
    void waitForJobs(std::chrono::milliseconds limit);

private:
    // On the keyring's thread.
    void start(const std::function<QKeychain::Job*()>& make,
               const std::function<void(const Answer&)>& done, bool firstTry);
    void ended(std::function<void(const Answer&)> done, const Answer& answer);

    QThread thread;
    QObject* worker; // on the keyring's thread
    QMutex mutex;
    QWaitCondition idle;
    int running = 0; // under the mutex
};
