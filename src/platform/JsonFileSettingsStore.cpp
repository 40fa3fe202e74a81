#include "JsonFileSettingsStore.h"

#include "PrivateFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>

namespace {
Q_LOGGING_CATEGORY(lcSettings, "quibbo.settings")

// Held while the file is read and written, which takes milliseconds: a lock left by a process
// that died, or older than a second, is taken over.
class WriteLock
{
public:
    explicit WriteLock(const QString& settingsPath) : lock(settingsPath + QStringLiteral(".lock"))
    {
        PrivateFile::ensureFolder(settingsPath);
        lock.setStaleLockTime(1000);
        held = lock.tryLock(2'000);
        if (!held)
            qCWarning(lcSettings) << "the settings are locked by another program; writing anyway";
    }

private:
    QLockFile lock;
    bool held = false;
};
} // namespace

JsonFileSettingsStore::JsonFileSettingsStore(QString filePath) : path(std::move(filePath))
{
    // The file is replaced whole, so it reads without the lock, and most starts take none. A
    // copy left beside it by a write that never finished (it holds the passwords too) is
    // removed, and a damaged file moved aside, only under the lock, when no other client's
    // write can be under way.
    if (read(values) != Read::Unreadable && PrivateFile::unfinishedWrites(path).isEmpty())
        return;
    const WriteLock lock(path);
    PrivateFile::removeUnfinishedWrites(path);
    load();
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
    const WriteLock lock(path);
    // The other keys as another client may have left them; ours as we know them when the file
    // cannot be read now.
    if (!keepInMemory) {
        QJsonObject onDisk;
        const Read found = read(onDisk);
        if (found == Read::Read)
            values = onDisk;
        else if (found == Read::Unreadable)
            moveAside(); // damaged since the start: kept for recovery, never overwritten
    }
    values.insert(key, value);
    save();
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

void JsonFileSettingsStore::load()
{
    if (read(values) == Read::Unreadable)
        moveAside();
}

void JsonFileSettingsStore::moveAside()
{
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmss"));
    QString target = path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(path, target)) {
        qCWarning(lcSettings) << "moved the unreadable settings file to" << target;
    } else {
        qCWarning(lcSettings) << "cannot move the unreadable settings file aside; it is kept"
                              << "and changes last for this run only";
        keepInMemory = true;
    }
}

void JsonFileSettingsStore::save() const
{
    PrivateFile::ensureFolder(path);
    if (keepInMemory)
        return;
    PrivateFile::write(path, QJsonDocument(values).toJson(QJsonDocument::Indented));
}
