#include "JsonFileSettingsStore.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir home;
    QString path() const { return home.filePath(QStringLiteral("quibbo/settings.json")); }

private Q_SLOTS:
    void init() { QDir(home.filePath(QStringLiteral("quibbo"))).removeRecursively(); }

    void valuesSurviveANewInstance()
    {
        {
            JsonFileSettingsStore store(path());
            store.setString(QStringLiteral("senderID"), QStringLiteral("Tom&Jerry €"));
            store.setString(QStringLiteral("empty"), QString());
            store.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                                {{"CompanyId", "C1"}, {"UserId", "u 2"}, {"Password", QString()}});
            store.setArray(QStringLiteral("RecentMsisdns"), {QStringLiteral("07700 900123")});
            store.setArray(QStringLiteral("none"), {});
        }
        // The folder and the file are the user's alone (the file's mode: the crash test).
        QCOMPARE(QFile::permissions(home.filePath(QStringLiteral("quibbo"))) & 0x0777,
                 QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
        const JsonFileSettingsStore reread(path());
        QCOMPARE(reread.stringForKey(QStringLiteral("senderID")), QStringLiteral("Tom&Jerry €"));
        QCOMPARE(reread.stringForKey(QStringLiteral("empty")), QString(""));
        QCOMPARE(reread.dictionaryForKey(QStringLiteral("QuibboAPIConnectionParams")),
                 (StringDictionary{{"CompanyId", "C1"}, {"UserId", "u 2"}, {"Password", ""}}));
        // A one-item list stays a list and an empty list stays an empty list.
        QCOMPARE(reread.arrayForKey(QStringLiteral("RecentMsisdns")),
                 QStringList{QStringLiteral("07700 900123")});
        QCOMPARE(reread.arrayForKey(QStringLiteral("none")), QStringList());
        QCOMPARE(reread.stringForKey(QStringLiteral("never written")), std::nullopt);
    }

    // A value is read only in the form it was written in; a file edited by hand to hold another
    // form reads as absent.
    void wrongFormReadsAsAbsent_data()
    {
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<QString>("readsAs");
        QTest::newRow("string") << QJsonValue(QStringLiteral("ON")) << "string";
        QTest::newRow("number") << QJsonValue(42) << "";
        QTest::newRow("object") << QJsonValue(QJsonObject{{"a", "b"}}) << "dictionary";
        QTest::newRow("array of strings") << QJsonValue(QJsonArray{"1"}) << "array";
        QTest::newRow("array holding a number") << QJsonValue(QJsonArray{"1", 2}) << "";
    }

    void wrongFormReadsAsAbsent()
    {
        QFETCH(QJsonValue, stored);
        QFETCH(QString, readsAs);
        QVERIFY(writeFile(path(),
                          QJsonDocument(QJsonObject{{QStringLiteral("key"), stored}}).toJson()));
        const JsonFileSettingsStore store(path());
        QCOMPARE(store.stringForKey(QStringLiteral("key")).has_value(), readsAs == "string");
        QCOMPARE(store.dictionaryForKey(QStringLiteral("key")).has_value(),
                 readsAs == "dictionary");
        QCOMPARE(store.arrayForKey(QStringLiteral("key")).has_value(), readsAs == "array");
    }

    void dictionaryEntriesThatAreNotStringsAreLeftOut()
    {
        QVERIFY(writeFile(
            path(),
            "{\"numberTranslation\": {\"countryCode\": 44, \"translationState\": \"ON\"}}"));
        const JsonFileSettingsStore store(path());
        const auto translation = store.dictionaryForKey(QStringLiteral("numberTranslation"));
        QVERIFY(translation);
        QCOMPARE(translation->keys(), QStringList{QStringLiteral("translationState")});
    }

    // What is set afterwards goes to a fresh file; the damaged one stays aside as it was (any
    // unreadable content is moved aside byte for byte: the settings fuzz target's property).
    void unparseableFileIsMovedAsideAndNeverOverwritten()
    {
        const QByteArray content("{\"senderID\": \"Tom");
        QVERIFY(writeFile(path(), content));

        JsonFileSettingsStore store(path());
        QCOMPARE(store.stringForKey(QStringLiteral("senderID")), std::nullopt);
        store.setString(QStringLiteral("senderID"), QStringLiteral("new"));

        const QStringList aside = QDir(home.filePath(QStringLiteral("quibbo")))
                                      .entryList({QStringLiteral("settings.json.corrupt-*")});
        QCOMPARE(aside.size(), 1);
        QFile moved(home.filePath(QStringLiteral("quibbo/") + aside.first()));
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QCOMPARE(moved.readAll(), content);
        QCOMPARE(JsonFileSettingsStore(path()).stringForKey(QStringLiteral("senderID")),
                 QStringLiteral("new"));
    }

    // Two clients on one file (no session bus kept the second from starting): each write
    // changes only its own key of the file as it is on disk.
    void twoClientsKeepEachOthersKeys()
    {
        JsonFileSettingsStore first(path());
        JsonFileSettingsStore second(path());
        first.setString(QStringLiteral("senderID"), QStringLiteral("Ann"));
        second.setArray(QStringLiteral("RecentMsisdns"), {QStringLiteral("123")});
        first.setString(QStringLiteral("longSMSAllowed"), QStringLiteral("ON"));
        const JsonFileSettingsStore fresh(path());
        QCOMPARE(fresh.stringForKey(QStringLiteral("senderID")), QStringLiteral("Ann"));
        QCOMPARE(fresh.arrayForKey(QStringLiteral("RecentMsisdns")), QStringList{"123"});
        QCOMPARE(fresh.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("ON"));
    }

    // Another client holds the lock while it changes its key: a writer waits for it, then
    // reads the file as the holder left it, so both keys are kept.
    void aWriterWaitsWhileTheLockIsHeld()
    {
        JsonFileSettingsStore waiting(path());
        QVERIFY(QDir().mkpath(QFileInfo(path()).path()));
        QLockFile held(path() + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));

        // The waiting writer reads the lock file to see whether it is stale: that read is the
        // sign it is waiting, seen without any timing.
        const int watch = inotify_init1(IN_CLOEXEC);
        QVERIFY(watch >= 0);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(held.fileName()).constData(), IN_OPEN) >=
                0);
        std::thread writer(
            [&waiting] { waiting.setString(QStringLiteral("senderID"), QStringLiteral("Ann")); });
        pollfd ready{watch, POLLIN, 0};
        const bool sawWait = poll(&ready, 1, 10'000) == 1;
        ::close(watch);

        if (sawWait) {
            QFile before(path());
            QVERIFY(!before.exists() ||
                    (before.open(QIODevice::ReadOnly) && !before.readAll().contains("senderID")));
            QVERIFY(writeFile(path(), R"({"longSMSAllowed": "ON"})"));
        }
        held.unlock();
        writer.join();
        QVERIFY2(sawWait, "the writer did not wait for the lock");

        const JsonFileSettingsStore fresh(path());
        QCOMPARE(fresh.stringForKey(QStringLiteral("senderID")), QStringLiteral("Ann"));
        QCOMPARE(fresh.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("ON"));
    }

    // A writer killed at any moment leaves a readable file of the user's alone, and no copy
    // of it (passwords included) survives the next start.
    void killedWritersLeaveAReadableFile()
    {
        // Debris of an earlier crash is removed by the next start, a damaged file kept aside.
        for (const char* name : {"settings.json.Ab12Cd", "settings.json.corrupt-20261207T101010"})
            QVERIFY(writeFile(home.filePath(QStringLiteral("quibbo/") + QLatin1String(name)), {}));
        JsonFileSettingsStore(path()).setString(QStringLiteral("k"), QStringLiteral("v"));
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("quibbo/settings.json.Ab12Cd"))));
        QVERIFY(QFile::remove(
            home.filePath(QStringLiteral("quibbo/settings.json.corrupt-20261207T101010"))));

        QRandomGenerator random(7);
        const QDir folder(home.filePath(QStringLiteral("quibbo")));
        // QSaveFile makes the write atomic; a handful of kills at different moments shows the
        // store keeps to it and cleans up after it.
        for (int round = 0; round < 8; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(SETTINGS_WRITER), {path()});
            QVERIFY(writer.waitForStarted());
            const int lines = 1 + int(random.bounded(4));
            int seen = 0;
            while (seen < lines && writer.waitForReadyRead(5000))
                seen += int(writer.readAll().count('\n'));
            writer.kill();
            writer.waitForFinished();

            QFile file(path());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(QJsonDocument::fromJson(file.readAll()).isObject());
            QCOMPARE(file.permissions() & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
            const JsonFileSettingsStore next(path());
            QStringList left = folder.entryList(QDir::Files);
            left.removeOne(QStringLiteral("settings.json.lock"));
            QCOMPARE(left, QStringList{"settings.json"});
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
