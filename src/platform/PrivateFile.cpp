#include "PrivateFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <algorithm>

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

QStringList PrivateFile::unfinishedWrites(const QString& filePath)
{
    // QSaveFile writes "NAME.XXXXXX" and renames it over the file. Matched by hand: a regular
    // expression here would be the only one compiled at start.
    const QFileInfo file(filePath);
    const QString prefix = file.fileName() + QLatin1Char('.');
    const auto isTemplateLetter = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    QStringList found = file.dir().entryList(QDir::Files | QDir::Hidden); // a filter is one too
    found.removeIf([&](const QString& name) {
        return name.size() != prefix.size() + 6 || !name.startsWith(prefix) ||
               !std::all_of(name.cbegin() + prefix.size(), name.cend(), isTemplateLetter);
    });
    return found;
}

void PrivateFile::removeUnfinishedWrites(const QString& filePath)
{
    const QDir folder = QFileInfo(filePath).dir();
    for (const QString& name : unfinishedWrites(filePath))
        if (QFile::remove(folder.filePath(name)))
            qCInfo(lcFiles) << "removed" << name << "left by a write that never finished";
}
