#include "PrivateFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>

namespace {
Q_LOGGING_CATEGORY(lcFiles, "quibbo.files")

constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

void PrivateFile::ensureFolder(const QString& filePath)
{
    const QDir folder = QFileInfo(filePath).dir();
    if (folder.exists())
        return;
    if (!folder.mkpath(QStringLiteral(".")))
        qCWarning(lcFiles) << "cannot create" << folder.path();
    QFile::setPermissions(folder.path(), ownerOnly | QFileDevice::ExeOwner);
}

bool PrivateFile::write(const QString& filePath, const QByteArray& contents)
{
    ensureFolder(filePath);
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcFiles) << "cannot write" << filePath << file.errorString();
        return false;
    }
    file.setPermissions(ownerOnly);
    file.write(contents);
    if (!file.commit()) {
        qCWarning(lcFiles) << "cannot write" << filePath << file.errorString();
        return false;
    }
    return true;
}

void PrivateFile::removeUnfinishedWrites(const QString& filePath)
{
    // QSaveFile writes "NAME.XXXXXX" and renames it over the file.
    const QFileInfo file(filePath);
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(file.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QStringList names = file.dir().entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (temporary.match(name).hasMatch() && QFile::remove(file.dir().filePath(name)))
            qCInfo(lcFiles) << "removed" << name << "left by a write that never finished";
}
