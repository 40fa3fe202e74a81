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
    if (read(values) != Read::Unreadable && PrivateFile::unfinishedWrites(path).isEmpty())
        return;
    const WriteLock lock(path, lockWaitAfterACrash);
    if (!lock.isHeld())
        return;
    PrivateFile::removeUnfinishedWrites(path);
    if (read(values) == Read::Unreadable)
        moveAside();
}

JsonFileSettingsStore::~JsonFileSettingsStore()
{
    if (!unsaved.isEmpty() && writeUnsaved(lockWaitAtQuit) != 0)
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
    const int error = writeUnsaved(0ms);
    if (!status)
        return;
    if (error)
        status->writeFailed(StorageStatus::File::Settings, error,
                            [this] { return writeUnsaved(0ms); });
    else
        status->written(StorageStatus::File::Settings);
}

int JsonFileSettingsStore::writeUnsaved(std::chrono::milliseconds lockWait)
{
    if (unsaved.isEmpty())
        return 0;
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
    switch (read(onDisk)) {
    case Read::Read:
        values = onDisk;
        for (auto it = unsaved.constBegin(); it != unsaved.constEnd(); ++it)
            values.insert(it.key(), it.value());
        break;
    case Read::Missing:
        break; // everything this run knows, as the file had it
    case Read::Unreadable:
        // Damaged since the start: kept for recovery, never overwritten.
        if (const int error = moveAside())
            return error;
        break;
    }
    const int error =
        PrivateFile::write(path, QJsonDocument(values).toJson(QJsonDocument::Indented));
    if (!error)
        unsaved = {};
    return error;
}

JsonFileSettingsStore::Read JsonFileSettingsStore::read(QJsonObject& into) const
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

int JsonFileSettingsStore::moveAside()
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
