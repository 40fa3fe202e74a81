#include "KeyringThread.h"

#include "RuntimeLibrary.h"

#include <QCoreApplication>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>

#include <qt6keychain/keychain.h>

namespace {
// Drops libsecret's shared connection to the keyring, so that its next call opens a session
// with the keyring that runs now. libsecret is loaded already where QtKeychain used it.
struct Secret : RuntimeLibrary
{
    Secret() : RuntimeLibrary(QStringLiteral("secret-1"), 0) {}
    Function<void()> disconnect{*this, "secret_service_disconnect"};
};

void dropKeyringSession()
{
    if (const Secret& secret = RuntimeLibrary::load<Secret>(); secret.loaded())
        secret.disconnect();
}
} // namespace

KeyringThread::KeyringThread(const QDBusConnection& bus) : worker(new QObject)
{
    thread.setObjectName(QStringLiteral("keyring"));
    worker->moveToThread(&thread);
    auto* keyringOnTheBus = new QDBusServiceWatcher(QStringLiteral("org.freedesktop.secrets"), bus,
                                                    QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(keyringOnTheBus, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& oldOwner) {
                // A keyring started for the first time has no session to drop.
                if (!oldOwner.isEmpty() && thread.isRunning())
                    QMetaObject::invokeMethod(worker, &dropKeyringSession);
            });
}

KeyringThread::~KeyringThread()
{
    // Jobs still out are abandoned; their answers would find nobody.
    thread.quit();
    thread.wait();
    delete worker;
}

void KeyringThread::run(std::function<QKeychain::Job*()> make,
                        std::function<void(const Answer&)> done)
{
    // Started at the first job, so that a start that never asks the keyring makes no thread.
    if (!thread.isRunning())
        thread.start();
    {
        const QMutexLocker lock(&mutex);
        ++running;
    }
    QMetaObject::invokeMethod(worker, [this, make = std::move(make), done = std::move(done)] {
        start(make, done, true);
    });
}

void KeyringThread::start(const std::function<QKeychain::Job*()>& make,
                          const std::function<void(const Answer&)>& done, bool firstTry)
{
    // The jobs are nobody's children: the keyring's library may still call into one after its
    // asker has gone; each deletes itself when it ends.
    QKeychain::Job* job = make();
    QObject::connect(job, &QKeychain::Job::finished, worker, [this, job, make, done, firstTry] {
        // A keyring that restarted before its new owner was seen on the bus leaves the session
        // void: the job is tried once more on a new one.
        if (job->error() == QKeychain::OtherError && firstTry) {
            dropKeyringSession();
            start(make, done, false);
            return;
        }
        Answer answer{int(job->error()), job->errorString(), {}};
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(job))
            answer.password = read->textData();
        ended(done, answer);
    });
    job->start();
}

void KeyringThread::ended(std::function<void(const Answer&)> done, const Answer& answer)
{
    QMetaObject::invokeMethod(
        this, [done, answer] { done(answer); }, Qt::QueuedConnection);
    const QMutexLocker lock(&mutex);
    if (--running == 0)
        idle.wakeAll();
}

void KeyringThread::waitForJobs(std::chrono::milliseconds limit)
{
    {
        QMutexLocker lock(&mutex);
        const QDeadlineTimer deadline(limit);
        while (running > 0 && idle.wait(&mutex, deadline)) {
        }
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
