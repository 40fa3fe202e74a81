#include "StorageStatus.h"

#include "TimerSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace std::chrono_literals;

namespace {
// Freeing space or unlocking a folder is noticed this soon.
constexpr auto retryInterval = 5s;
// Another client's write holds the lock for milliseconds.
constexpr auto busyInterval = 100ms;
} // namespace

StorageStatus::StorageStatus(TimerSource& timers, QObject* parent)
    : QObject(parent), retryTimer(timers.makeTimer(false, [this] { retryAll(); }))
{}

StorageStatus::~StorageStatus() = default;

void StorageStatus::writeFailed(File file, int error, Retry retry)
{
    const QMap<File, int> before = unsaved();
    pending[file] = {error, std::move(retry)};
    schedule();
    if (unsaved() != before)
        emit changed();
}

void StorageStatus::written(File file)
{
    const QMap<File, int> before = unsaved();
    pending.remove(file);
    schedule();
    if (unsaved() != before)
        emit changed();
}

void StorageStatus::forget(File file)
{
    pending.remove(file);
    schedule();
}

void StorageStatus::setPasswordsWithheld(Withheld withheld_)
{
    if (std::exchange(withheld, withheld_) != withheld_)
        emit changed();
}

QMap<StorageStatus::File, int> StorageStatus::unsaved() const
{
    QMap<File, int> shown;
    for (auto it = pending.cbegin(); it != pending.cend(); ++it)
        if (it->error != EWOULDBLOCK)
            shown.insert(it.key(), it->error);
    return shown;
}

void StorageStatus::retryAll()
{
    const QMap<File, int> before = unsaved();
    for (const File file : pending.keys()) {
        const auto found = pending.find(file);
        if (found == pending.end())
            continue;
        const int error = found->retry();
        if (error == 0)
            pending.remove(file);
        else
            pending[file].error = error;
    }
    schedule();
    if (unsaved() != before)
        emit changed();
}

void StorageStatus::schedule()
{
    if (pending.isEmpty()) {
        retryTimer->stop();
        return;
    }
    const bool busy = std::any_of(pending.cbegin(), pending.cend(),
                                  [](const Pending& p) { return p.error == EWOULDBLOCK; });
    retryTimer->start(busy ? busyInterval : retryInterval);
}

QString StorageStatus::withheldReason(Withheld why)
{
    return why == Withheld::NotAnswering
               ? tr("Your keyring does not answer, so your password cannot be read.")
               : tr("Your keyring is locked, so your password cannot be read.");
}

QString StorageStatus::reason(int error)
{
    switch (error) {
    case ENOSPC:
        return tr("the disk is full");
    case EDQUOT:
        return tr("your disk quota is used up");
    case EROFS:
        return tr("the folder is read-only");
    case EACCES:
    case EPERM:
        return tr("you are not allowed to write to its folder");
    case EIO:
        return tr("the disk reported an error");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}
