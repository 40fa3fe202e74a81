#include "JsonFileSettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
Q_LOGGING_CATEGORY(lcSettings, "quibbo.settings")

constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr auto ownerOnlyFolder = ownerOnly | QFileDevice::ExeOwner;
} // namespace

JsonFileSettingsStore::JsonFileSettingsStore(QString filePath) : path(std::move(filePath))
{
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
    values.insert(key, value);
    save();
}

void JsonFileSettingsStore::load()
{
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSettings) << "cannot read" << path << file.errorString();
        moveAside();
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCWarning(lcSettings) << "cannot parse" << path << error.errorString();
        moveAside();
        return;
    }
    values = document.object();
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
    QDir folder = QFileInfo(path).dir();
    if (!folder.exists()) {
        if (!folder.mkpath(QStringLiteral(".")))
            qCWarning(lcSettings) << "cannot create" << folder.path();
        QFile::setPermissions(folder.path(), ownerOnlyFolder);
    }
    if (keepInMemory)
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcSettings) << "cannot write" << path << file.errorString();
        return;
    }
    file.setPermissions(ownerOnly);
    file.write(QJsonDocument(values).toJson(QJsonDocument::Indented));
    if (!file.commit())
        qCWarning(lcSettings) << "cannot write" << path << file.errorString();
}
