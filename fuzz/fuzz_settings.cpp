// The settings file as found on disk: never a crash; a file that is no JSON object is moved
// aside byte for byte and a fresh store starts; typed reads of any stored form are safe.
#include "FuzzCheck.h"
#include "JsonFileSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("settings.json"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    JsonFileSettingsStore store(path);
    for (const char* key : {"QuibboAPIConnectionParams", "accountDetails", "numberTranslation",
                            "senderID", "longSMSAllowed", "RecentMsisdns"}) {
        const QString name = QString::fromLatin1(key);
        (void)store.stringForKey(name);
        (void)store.dictionaryForKey(name);
        (void)store.arrayForKey(name);
    }
    QJsonParseError error{};
    const bool object = QJsonDocument::fromJson(content, &error).isObject() &&
                        error.error == QJsonParseError::NoError;
    const QStringList aside =
        QDir(home.path()).entryList({QStringLiteral("settings.json.corrupt-*")}, QDir::Files);
    if (object) {
        FUZZ_CHECK(aside.isEmpty());
    } else {
        FUZZ_CHECK(aside.size() == 1 && !QFile::exists(path));
        QFile kept(home.filePath(aside.first()));
        FUZZ_CHECK(kept.open(QIODevice::ReadOnly) && kept.readAll() == content);
    }
    return 0;
}
