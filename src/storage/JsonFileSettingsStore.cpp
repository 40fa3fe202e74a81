#include "JsonFileSettingsStore.h"

#include "PrivateFile.h"
#include "StorageStatus.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace std::chrono_literals;

namespace {
Q_LOGGING_CATEGORY(lcSettings, "quibbo.settings")

// Held while the file is read and written, which takes milliseconds: a lock left by a process
// that died, or older than a second, is taken over.
class WriteLock
{
public:
    WriteLock(const QString& settingsPath, std::chrono::milliseconds wait)
        : lock(settingsPath + QStringLiteral(".lock"))
    {
        lock.setStaleLockTime(1000);
        held = lock.tryLock(int(wait.count()));
    }
    bool isHeld() const { return held; }
    // Another client holds it. Otherwise no lock file can be made at all (a read-only folder,
    // a full disk), and the write that follows says why.
    bool isBusy() const { return !held && lock.error() == QLockFile::LockFailedError; }

private:
    QLockFile lock;
    bool held = false;
};

// A change left unwritten at a quit gets this long for another client's write to end: the
// window is gone by then, and a lock older than a second counts as abandoned.
constexpr auto lockWaitAtQuit = 1500ms;
// As long for the lock of a client that crashed while writing, before the window shows.
constexpr auto lockWaitAfterACrash = lockWaitAtQuit;
enum class Read
{
    Missing,
    Read,
    Unreadable
};

Read read(const QString& path, QJsonObject& into)
{
    QFile file(path);
    if (!file.exists())
        return Read::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSettings) << "cannot read" << path << file.errorString();
        return Read::Unreadable;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCWarning(lcSettings) << "cannot parse" << path << error.errorString();
        return Read::Unreadable;
    }
    into = document.object();
    return Read::Read;
}

// 0, or the errno that kept the damaged file where it is.
int moveAside(const QString& path)
{
    QString target;
    if (const int error = PrivateFile::moveAside(path, QStringLiteral("corrupt"), &target)) {
        qCWarning(lcSettings) << "cannot move the unreadable settings file aside:"
                              << std::strerror(error);
        return error;
    }
    qCWarning(lcSettings) << "moved the unreadable settings file to" << target;
    return 0;
}

// Writes changes into the file as it is on disk now, under the lock: 0, or the errno that
// stopped it (EWOULDBLOCK while another client holds the lock). values holds what this run
// knows, changes included, and is left as the file was written.
int writeChanges(const QString& path, const QJsonObject& changes,
                 std::chrono::milliseconds lockWait, QJsonObject& values)
{
    if (const int error = PrivateFile::ensureFolder(path))
        return error;
    const WriteLock lock(path, lockWait);
    // Never written without the lock: another client's change would be set back. A lock left by
    // a client that died is taken over, but not on a full disk (taking it over writes a file
    // too): then the disk is why.
    if (lock.isBusy()) {
        const int error = PrivateFile::probe(path);
        return error ? error : EWOULDBLOCK;
    }
    // The other keys as another client may have left them; this run's changes over them.
    QJsonObject onDisk;
    switch (read(path, onDisk)) {
    case Read::Read:
        values = onDisk;
        for (auto it = changes.constBegin(); it != changes.constEnd(); ++it)
            values.insert(it.key(), it.value());
        break;
    case Read::Missing:
        break; // everything this run knows, as the file had it
    case Read::Unreadable:
        // Damaged since the start: kept for recovery, never overwritten.
        if (const int error = moveAside(path))
            return error;
        break;
    }
    return PrivateFile::write(path, QJsonDocument(values).toJson(QJsonDocument::Indented));
}
} // namespace

JsonFileSettingsStore::JsonFileSettingsStore(QString filePath, StorageStatus* status_)
    : path(std::move(filePath)), status(status_)
{
    // The file is replaced whole, so it reads without the lock, and most starts take none. A
    // copy left beside it by a write that never finished (it holds the passwords too) is
    // removed, and a damaged file moved aside, only under the lock, when no other client's
    // write can be under way; a damaged file that stays waits for the first write. Such debris
    // is left by a crash, whose lock goes stale within a second: only then does a start wait,
    // before the window shows.
    if (read(path, values) != Read::Unreadable && PrivateFile::unfinishedWrites(path).isEmpty())
        return;
    const WriteLock lock(path, lockWaitAfterACrash);
    if (!lock.isHeld())
        return;
    PrivateFile::removeUnfinishedWrites(path);
    if (read(path, values) == Read::Unreadable)
        moveAside(path);
}

JsonFileSettingsStore::~JsonFileSettingsStore()
{
    writer.settle();
    if (!unsaved.isEmpty() && writeUnsavedNow(lockWaitAtQuit) != 0)
        qCWarning(lcSettings) << "changes of this run could not be saved:" << unsaved.keys();
    if (status)
        status->forget(StorageStatus::File::Settings);
}

QString JsonFileSettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quibbo/settings.json");
}

QJsonValue JsonFileSettingsStore::value(const QString& key) const
{
    return values.value(key);
}

void JsonFileSettingsStore::setValue(const QString& key, const QJsonValue& value)
{
    values.insert(key, value);
    unsaved.insert(key, value);
    writeUnsaved();
}

bool JsonFileSettingsStore::isSaved()
{
    writer.settle();
    return unsaved.isEmpty();
}

void JsonFileSettingsStore::writeUnsaved()
{
    const quint64 write = ++asked;
    auto onDisk = std::make_shared<QJsonObject>(values);
    writer.run([path = path, changes = unsaved,
                onDisk] { return writeChanges(path, changes, 0ms, *onDisk); },
               nullptr,
               [this, write, changes = unsaved, onDisk](int error) {
                   if (!take(write, changes, *onDisk, error) || !status)
                       return;
                   if (error)
                       status->writeFailed(StorageStatus::File::Settings, error,
                                           [this] { return writeUnsavedNow(0ms); });
                   else
                       status->written(StorageStatus::File::Settings);
               });
}

int JsonFileSettingsStore::writeUnsavedNow(std::chrono::milliseconds lockWait)
{
    // Not settle(): a retry runs inside the storage status, which the answers would reach.
    writer.wait();
    if (unsaved.isEmpty())
        return 0;
    const quint64 write = ++asked;
    const QJsonObject changes = unsaved;
    QJsonObject onDisk = values;
    const int error = writeChanges(path, changes, lockWait, onDisk);
    take(write, changes, onDisk, error);
    return error;
}

bool JsonFileSettingsStore::take(quint64 write, const QJsonObject& changes,
                                 const QJsonObject& onDisk, int error)
{
    if (write <= answered)
        return false;
    answered = write;
    if (error)
        return true;
    // A change made again since this write began is still to be written.
    for (auto it = changes.constBegin(); it != changes.constEnd(); ++it)
        if (unsaved.value(it.key()) == it.value())
            unsaved.remove(it.key());
    values = onDisk;
    for (auto it = unsaved.constBegin(); it != unsaved.constEnd(); ++it)
        values.insert(it.key(), it.value());
    return true;
}
