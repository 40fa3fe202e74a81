#include "FakeTime.h"
#include "OutboxStore.h"
#include "StorageStatus.h"
#include "TestFileSystems.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
OutboxStore::Message message(const QString& id, const QString& text)
{
    return {.id = id,
            .queued = QDateTime(QDate(2026, 12, 9), QTime(8, 30), Qt::UTC),
            .number = QStringLiteral("07700 900123"),
            .text = text};
}
} // namespace

// The outbox on disk holds messages the user means to send: every one comes back after a
// restart, a crash or a failed write, and a file that cannot be read is kept, never written over.
class TestOutboxStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messagesComeBackAsTheyWere()
    {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("quibbo/outbox.json"));
        OutboxStore::Message tried =
            message(QStringLiteral("b"), QString::fromUtf8("Zoë € \"x\"\n"));
        tried.senderID = QString();
        tried.tried = true;
        tried.listedBefore = 0;
        OutboxStore::Message held = message(QStringLiteral("c"), QStringLiteral("held"));
        held.senderID = QStringLiteral("Ann");
        held.held = true;
        const QList<OutboxStore::Message> messages{message(QStringLiteral("a"), QString()), tried,
                                                   held};
        OutboxStore(path).write(messages);
        QCOMPARE(OutboxStore(path).read(), messages);
        QCOMPARE(QFileInfo(path).permissions() & 0x0777,
                 QFileDevice::ReadUser | QFileDevice::WriteUser);
        OutboxStore(path).write({});
        QVERIFY(!QFile::exists(path));
    }

    void damagedFilesLoseNothing_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("read"); // the ids read
        QTest::addColumn<bool>("keptAside");
        QTest::newRow("one message broken")
            << QByteArray(
                   R"({"messages":[{"id":"a","number":"1","text":"x"},{"id":"b","number":2},)"
                   R"({"id":"c","number":"3","text":"z","listedBefore":-4}]})")
            << QStringList{"a", "c"} << false;
        QTest::newRow("cut off") << QByteArray(R"({"messages":[{"id":"a","number":"1",)")
                                 << QStringList() << true;
        QTest::newRow("not an outbox") << QByteArray("[1,2]") << QStringList() << true;
        QTest::newRow("empty") << QByteArray() << QStringList() << true;
    }

    void damagedFilesLoseNothing()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, read);
        QFETCH(bool, keptAside);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("outbox.json"));
        QVERIFY(writeFile(path, contents));
        OutboxStore store(path);
        QStringList ids;
        for (const OutboxStore::Message& m : store.read())
            ids << m.id;
        QCOMPARE(ids, read);
        const QStringList aside = QDir(home.path()).entryList({"outbox.json.unreadable-*"});
        QCOMPARE(aside.size(), keptAside ? 1 : 0);
        if (keptAside) {
            QCOMPARE(readFile(home.filePath(aside.first())), contents);
            store.write({message(QStringLiteral("new"), QStringLiteral("n"))});
            QCOMPARE(readFile(home.filePath(aside.first())), contents);
        }
    }

    // A full disk or a read-only folder keeps the last outbox written, tells the user, and
    // writes the newest as soon as it can.
    void anOutboxThatCannotBeWrittenIsWrittenLater_data() { FailingFolder::addRows(); }

    void anOutboxThatCannotBeWrittenIsWrittenLater()
    {
        QFETCH(bool, full);
        QFETCH(int, error);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("quibbo"));
        const QString path = folder + QStringLiteral("/outbox.json");
        FailingFolder failing(folder, full);
        QVERIFY2(failing.isReady(), qPrintable(failing.error()));
        FakeTime time;
        StorageStatus status(time);
        OutboxStore store(path, &status);
        store.write({message(QStringLiteral("a"), QStringLiteral("first"))});
        const QByteArray before = readFile(path);

        QVERIFY2(failing.fail(), qPrintable(failing.error()));
        const QList<OutboxStore::Message> both{
            message(QStringLiteral("a"), QStringLiteral("first")),
            message(QStringLiteral("b"), QString(4000, 'y'))};
        store.write(both);
        QCOMPARE(readFile(path), before);
        QCOMPARE(status.unsaved().value(StorageStatus::File::Outbox), error);
        failing.heal();
        time.advance(std::chrono::seconds(5));
        QCOMPARE(OutboxStore(path).read(), both);
        QVERIFY(status.unsaved().isEmpty());
    }

    // A writer killed at any moment leaves a readable outbox of the user's alone, and no copy
    // of it survives the next start.
    void killedWritersLeaveAReadableFile()
    {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("quibbo/outbox.json"));
        QRandomGenerator random(11);
        int lastSeen = -1;
        for (int round = 0; round < 8; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(STORE_WRITER), {path, QStringLiteral("outbox")});
            QVERIFY(writer.waitForStarted());
            const int lines = 1 + int(random.bounded(40));
            int seen = 0;
            while (seen < lines && writer.waitForReadyRead(5000))
                seen += int(writer.readAll().count('\n'));
            writer.kill();
            writer.waitForFinished();
            lastSeen = seen;

            QCOMPARE(QFileInfo(path).permissions() & 0x0777,
                     QFileDevice::ReadUser | QFileDevice::WriteUser);
            OutboxStore next(path);
            // Every write reported before the kill is there, whole.
            QVERIFY(next.read().size() >= lastSeen);
            QCOMPARE(QDir(home.filePath(QStringLiteral("quibbo"))).entryList(QDir::Files),
                     QStringList{"outbox.json"});
        }
    }
};

QTEST_GUILESS_MAIN(TestOutboxStore)
#include "tst_outboxstore.moc"
