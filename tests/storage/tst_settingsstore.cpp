#include "FakeTime.h"
#include "JsonFileSettingsStore.h"
#include "StorageStatus.h"
#include "TestFileSystems.h"
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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
        store.wait();

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
        first.wait();
        second.setArray(QStringLiteral("RecentMsisdns"), {QStringLiteral("123")});
        second.wait();
        first.setString(QStringLiteral("longSMSAllowed"), QStringLiteral("ON"));
        first.wait();
        const JsonFileSettingsStore fresh(path());
        QCOMPARE(fresh.stringForKey(QStringLiteral("senderID")), QStringLiteral("Ann"));
        QCOMPARE(fresh.arrayForKey(QStringLiteral("RecentMsisdns")), QStringList{"123"});
        QCOMPARE(fresh.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("ON"));
    }

    // Another client holds the lock while it writes: a change waits for the retry rather than
    // for the lock (never on the window's thread), is never written without the lock, reads
    // back at once meanwhile, and then lands in the file as the holder left it.
    void aWriterNeitherWaitsForTheLockNorWritesWithoutIt()
    {
        FakeTime time;
        StorageStatus status(time);
        JsonFileSettingsStore writer(path(), &status);
        QVERIFY(QDir().mkpath(QFileInfo(path()).path()));
        QLockFile held(path() + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));

        writer.setString(QStringLiteral("senderID"), QStringLiteral("Ann"));
        writer.wait();
        QCOMPARE(writer.stringForKey(QStringLiteral("senderID")), QStringLiteral("Ann"));
        QVERIFY(!QFile::exists(path()));
        QVERIFY(status.unsaved().isEmpty()); // a moment's wait is nothing to tell the user
        QVERIFY(writeFile(path(), R"({"longSMSAllowed": "ON"})"));
        held.unlock();

        time.advance(std::chrono::milliseconds(100));
        QVERIFY(writer.isSaved());
        const JsonFileSettingsStore fresh(path());
        QCOMPARE(fresh.stringForKey(QStringLiteral("senderID")), QStringLiteral("Ann"));
        QCOMPARE(fresh.stringForKey(QStringLiteral("longSMSAllowed")), QStringLiteral("ON"));
    }

    // A disk that fills or a folder that turns read-only: the file stays as it was, byte for
    // byte, with nothing beside it; every change of the run reads back as made, a later write
    // included (it re-reads the file); the user is told why; and once the space is back the
    // retry writes every change.
    void aChangeThatCannotBeWrittenIsKeptAndWrittenLater_data() { FailingFolder::addRows(); }

    void aChangeThatCannotBeWrittenIsKeptAndWrittenLater()
    {
        QFETCH(bool, full);
        QFETCH(int, error);
        const QString folder = home.filePath(QStringLiteral("quibbo"));
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        FailingFolder failing(folder, full);
        QVERIFY2(failing.isReady(), qPrintable(failing.error()));
        FakeTime time;
        StorageStatus status(time);
        JsonFileSettingsStore store(path(), &status);
        store.setString(QStringLiteral("senderID"), QStringLiteral("Old"));
        store.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                            {{"CompanyId", "C1"}, {"UserId", "U1"}, {"Password", "p"}});
        store.wait();
        const QByteArray before = readFile(path());
        QVERIFY(before.contains("Old"));

        QVERIFY2(failing.fail(), qPrintable(failing.error()));
        QSignalSpy told(&status, &StorageStatus::changed);
        store.setString(QStringLiteral("senderID"), QStringLiteral("New"));
        store.setArray(QStringLiteral("RecentMsisdns"), {QStringLiteral("447700900123")});
        store.wait();
        QCOMPARE(store.stringForKey(QStringLiteral("senderID")), QStringLiteral("New"));
        QCOMPARE(store.arrayForKey(QStringLiteral("RecentMsisdns")), QStringList{"447700900123"});
        QCOMPARE(readFile(path()), before);
        QStringList left = QDir(folder).entryList(QDir::Files);
        left.removeAll(QStringLiteral("filler"));
        QCOMPARE(left, QStringList{"settings.json"});
        QCOMPARE(status.unsaved(),
                 (QMap<StorageStatus::File, int>{{StorageStatus::File::Settings, error}}));
        QCOMPARE(told.size(), 1); // once, not at every write
        QCOMPARE(JsonFileSettingsStore(path()).stringForKey(QStringLiteral("senderID")),
                 QStringLiteral("Old"));

        failing.heal();
        time.advance(std::chrono::seconds(5));
        QVERIFY(status.unsaved().isEmpty());
        const JsonFileSettingsStore next(path());
        QCOMPARE(next.stringForKey(QStringLiteral("senderID")), QStringLiteral("New"));

        // A write of the store's own that goes through before the retry ends the notice too.
        QVERIFY(failing.fail());
        store.setString(QStringLiteral("senderID"), QStringLiteral("Newer"));
        store.wait();
        QVERIFY(!status.unsaved().isEmpty());
        failing.heal();
        store.setString(QStringLiteral("senderID"), QStringLiteral("Newest"));
        store.wait();
        QVERIFY(status.unsaved().isEmpty());
        QCOMPARE(next.arrayForKey(QStringLiteral("RecentMsisdns")), QStringList{"447700900123"});
        QCOMPARE(next.dictionaryForKey(QStringLiteral("QuibboAPIConnectionParams"))->size(), 3);
    }

    // A client that died while writing left its lock, and then the disk filled: the lock cannot
    // be taken over (that writes a file too), and the user is told the disk is full, not left
    // waiting; once there is room the lock is taken over and the change written.
    void aDeadClientsLockOnAFullDisk()
    {
        const QString folder = home.filePath(QStringLiteral("quibbo"));
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        SmallDisk disk(folder, 16 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        FakeTime time;
        StorageStatus status(time);
        JsonFileSettingsStore store(path(), &status);
        store.setString(QStringLiteral("senderID"), QStringLiteral("Old"));
        store.wait();
        const QString lock = path() + QStringLiteral(".lock");
        QVERIFY(writeFile(lock, "999999999\nquibbo\nelsewhere\n"));
        QFile left(lock);
        QVERIFY(left.open(QIODevice::ReadWrite));
        QVERIFY(left.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
        left.close();
        QVERIFY(disk.fill());

        store.setString(QStringLiteral("senderID"), QStringLiteral("New"));
        store.wait();
        QCOMPARE(status.unsaved().value(StorageStatus::File::Settings), ENOSPC);
        disk.makeRoom();
        time.advance(std::chrono::seconds(5));
        QVERIFY(store.isSaved());
        QVERIFY(status.unsaved().isEmpty());
        QCOMPARE(JsonFileSettingsStore(path()).stringForKey(QStringLiteral("senderID")),
                 QStringLiteral("New"));
    }

    // A writer killed at any moment leaves a readable file of the user's alone, and no copy
    // of it (passwords included) survives the next start.
    void killedWritersLeaveAReadableFile()
    {
        // Debris of an earlier crash is removed by the next start, a damaged file kept aside.
        for (const char* name :
             {".settings.json.Ab12Cd.quibbo-part", "settings.json.corrupt-20261207T101010"})
            QVERIFY(writeFile(home.filePath(QStringLiteral("quibbo/") + QLatin1String(name)), {}));
        JsonFileSettingsStore(path()).setString(QStringLiteral("k"), QStringLiteral("v"));
        QVERIFY(!QFile::exists(
            home.filePath(QStringLiteral("quibbo/.settings.json.Ab12Cd.quibbo-part"))));
        QVERIFY(QFile::remove(
            home.filePath(QStringLiteral("quibbo/settings.json.corrupt-20261207T101010"))));

        QRandomGenerator random(7);
        const QDir folder(home.filePath(QStringLiteral("quibbo")));
        // QSaveFile makes the write atomic; a handful of kills at different moments shows the
        // store keeps to it and cleans up after it.
        for (int round = 0; round < 8; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(STORE_WRITER), {path()});
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
            QStringList left = folder.entryList(QDir::Files | QDir::Hidden);
            left.removeOne(QStringLiteral("settings.json.lock"));
            QCOMPARE(left, QStringList{"settings.json"});
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
