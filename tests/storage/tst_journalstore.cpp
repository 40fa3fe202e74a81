#include "DraftStore.h"
#include "FakeTime.h"
#include "JournalStore.h"
#include "JsonFileSettingsStore.h"
#include "StorageStatus.h"
#include "TestFileSystems.h"
#include "TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
using Record = JournalFile::Record;
using State = Record::State;

Record message(const QString& id, const QString& text, State state = State::Waiting)
{
    return {.id = id,
            .queued = QDateTime(QDate(2026, 12, 9), QTime(8, 30), Qt::UTC),
            .number = QStringLiteral("07700 900123"),
            .msisdn = QStringLiteral("447700900123"),
            .text = text,
            .state = state};
}

// Writes and waits for the writer's word, as the journal does before a post.
int written(JournalStore& store, const QList<Record>& records)
{
    QObject context;
    std::optional<int> error;
    store.write(records, &context, [&error](int e) { error = e; });
    if (!QTest::qWaitFor([&error] { return error.has_value(); }))
        return -1;
    return *error;
}
} // namespace

// The journal on disk holds messages the user means to send or that may be out: every one comes
// back after a restart, a crash or a failed write, and a file that cannot be read is kept, never
// written over.
class TestJournalStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordsComeBackAsTheyWere_data()
    {
        QTest::addColumn<Record>("record");
        // As an earlier client reads the file, without the state: from "tried" and "held".
        QTest::addColumn<State>("earlier");
        Record byHand =
            message(QStringLiteral("a"), QString::fromUtf8("Zoë € \"x\"\n"), State::Posting);
        byHand.byHand = true;
        byHand.listedBefore = 0;
        byHand.senderID = QString();
        QTest::newRow("posting, by hand") << byHand << State::Unanswered;
        Record unanswered = message(QStringLiteral("b"), QString(), State::Unanswered);
        unanswered.listedBefore = 3;
        QTest::newRow("unanswered") << unanswered << State::Unanswered;
        QTest::newRow("checking") << message(QStringLiteral("c"), QStringLiteral("x"),
                                             State::Checking)
                                  << State::Unanswered;
        Record waiting = message(QStringLiteral("d"), QStringLiteral("later"));
        waiting.senderID = QStringLiteral("Ann");
        QTest::newRow("waiting") << waiting << State::Waiting;
        Record held = message(QStringLiteral("e"), QStringLiteral("held"), State::Held);
        held.reason = QStringLiteral("rejected");
        QTest::newRow("held") << held << State::Held;
    }

    void recordsComeBackAsTheyWere()
    {
        QFETCH(Record, record);
        QFETCH(State, earlier);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("quibbo/outbox.json"));
        JournalStore store(path);
        const QList<Record> records{message(QStringLiteral("first"), QStringLiteral("1")), record};
        QCOMPARE(written(store, records), 0);
        QCOMPARE(JournalStore(path).read(), records);

        QJsonObject file = QJsonDocument::fromJson(readFile(path)).object();
        QJsonArray messages = file.value(QStringLiteral("messages")).toArray();
        QJsonObject last = messages.last().toObject();
        last.remove(QStringLiteral("state"));
        messages.replace(messages.size() - 1, last);
        file.insert(QStringLiteral("messages"), messages);
        const QString older = home.filePath(QStringLiteral("older.json"));
        QVERIFY(writeFile(older, QJsonDocument(file).toJson()));
        QCOMPARE(JournalStore(older).read().last().state, earlier);
        QCOMPARE(QFileInfo(path).permissions() & 0x0777,
                 QFileDevice::ReadUser | QFileDevice::WriteUser);
        QCOMPARE(written(store, {}), 0);
        QVERIFY(!QFile::exists(path));
    }

    // An earlier client's outbox says only whether a message was tried or held: a tried one may
    // be out and is looked up, and a state this client does not know counts as possibly out.
    void earlierFilesReadSafely_data()
    {
        QTest::addColumn<QByteArray>("fields");
        QTest::addColumn<State>("state");
        QTest::newRow("waiting") << QByteArray() << State::Waiting;
        QTest::newRow("tried") << QByteArray(R"(,"tried":true)") << State::Unanswered;
        QTest::newRow("held") << QByteArray(R"(,"held":true)") << State::Held;
        QTest::newRow("tried and held")
            << QByteArray(R"(,"tried":true,"held":true)") << State::Unanswered;
        QTest::newRow("a state of a later client")
            << QByteArray(R"(,"state":"resting")") << State::Unanswered;
        QTest::newRow("a state in capitals")
            << QByteArray(R"(,"state":"WAITING")") << State::Unanswered;
    }

    void earlierFilesReadSafely()
    {
        QFETCH(QByteArray, fields);
        QFETCH(State, state);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("outbox.json"));
        QVERIFY(
            writeFile(path, R"({"messages":[{"id":"a","number":"1","text":"x")" + fields + "}]}"));
        const QList<Record> read = JournalStore(path).read();
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first().state, state);
        QCOMPARE(read.first().msisdn, QString()); // formatted by the journal as it loads
    }

    // The history's count before a post is a count: anything else in the file is no count.
    void listedBeforeIsACount_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<std::optional<int>>("read");
        QTest::newRow("three") << QByteArray("3") << std::optional(3);
        QTest::newRow("none listed") << QByteArray("0") << std::optional(0);
        QTest::newRow("the largest") << QByteArray("2147483647") << std::optional(2147483647);
        QTest::newRow("below none") << QByteArray("-1") << std::optional<int>();
        QTest::newRow("a fraction") << QByteArray("2.5") << std::optional<int>();
        QTest::newRow("beyond an int") << QByteArray("1e10") << std::optional<int>();
        QTest::newRow("as text") << QByteArray("\"3\"") << std::optional<int>();
        QTest::newRow("null") << QByteArray("null") << std::optional<int>();
    }

    void listedBeforeIsACount()
    {
        QFETCH(QByteArray, written);
        QFETCH(std::optional<int>, read);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("outbox.json"));
        QVERIFY(
            writeFile(path, R"({"messages":[{"id":"a","number":"1","text":"x","listedBefore":)" +
                                written + "}]}"));
        const QList<Record> records = JournalStore(path).read();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().listedBefore, read);
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
        JournalStore store(path);
        QStringList ids;
        for (const Record& m : store.read())
            ids << m.id;
        QCOMPARE(ids, read);
        const QStringList aside = QDir(home.path()).entryList({"outbox.json.unreadable-*"});
        QCOMPARE(aside.size(), keptAside ? 1 : 0);
        if (keptAside) {
            QCOMPARE(readFile(home.filePath(aside.first())), contents);
            QCOMPARE(written(store, {message(QStringLiteral("new"), QStringLiteral("n"))}), 0);
            QCOMPARE(readFile(home.filePath(aside.first())), contents);
        }
    }

    // One client of the user writes the journal, on whatever session bus it runs: a second one
    // cannot take it while the first runs, and can once it has ended.
    void oneClientAtATime()
    {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("quibbo/outbox.json"));
        auto first = std::make_unique<JournalStore>(path);
        QVERIFY(first->take());
        QVERIFY(first->take());
        JournalStore second(path);
        QVERIFY(!second.take());
        QProcess other;
        other.start(QStringLiteral(STORE_WRITER), {path, QStringLiteral("take")});
        QVERIFY(other.waitForFinished());
        QCOMPARE(other.exitCode(), 1);
        first.reset();
        QVERIFY(second.take());
    }

    // A full disk or a read-only folder keeps the last journal written, tells the user and the
    // journal (which must not post what is not on disk), and writes the newest once it can.
    void aJournalThatCannotBeWrittenIsWrittenLater_data() { FailingFolder::addRows(); }

    void aJournalThatCannotBeWrittenIsWrittenLater()
    {
        QFETCH(bool, full);
        QFETCH(int, error);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("quibbo"));
        const QString path = folder + QStringLiteral("/outbox.json");
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        FailingFolder failing(folder, full);
        QVERIFY2(failing.isReady(), qPrintable(failing.error()));
        FakeTime time;
        StorageStatus status(time);
        JournalStore store(path, &status);
        QCOMPARE(written(store, {message(QStringLiteral("a"), QStringLiteral("first"))}), 0);
        const QByteArray before = readFile(path);

        QVERIFY2(failing.fail(), qPrintable(failing.error()));
        const QList<Record> both{message(QStringLiteral("a"), QStringLiteral("first")),
                                 message(QStringLiteral("b"), QString(4000, 'y'), State::Posting)};
        QCOMPARE(written(store, both), error);
        QCOMPARE(readFile(path), before);
        QCOMPARE(status.unsaved().value(StorageStatus::File::Outbox), error);
        failing.heal();
        time.advance(std::chrono::seconds(5));
        QCOMPARE(JournalStore(path).read(), both);
        QVERIFY(status.unsaved().isEmpty());

        // A write of the journal's own that goes through before the retry ends the notice too.
        QVERIFY2(failing.fail(), qPrintable(failing.error()));
        QCOMPARE(written(store, {both.first()}), error);
        failing.heal();
        QCOMPARE(written(store, both), 0);
        QVERIFY(status.unsaved().isEmpty());
    }

    // A writer killed at any moment leaves a readable journal of the user's alone, and no copy
    // of it survives the next start.
    void killedWritersLeaveAReadableFile()
    {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("quibbo/outbox.json"));
        QRandomGenerator random(11);
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

            QCOMPARE(QFileInfo(path).permissions() & 0x0777,
                     QFileDevice::ReadUser | QFileDevice::WriteUser);
            JournalStore next(path);
            QVERIFY(next.take());
            // Every write reported before the kill is there, whole.
            QVERIFY(next.read().size() >= seen);
            QCOMPARE(
                QDir(home.filePath(QStringLiteral("quibbo"))).entryList(QDir::Files | QDir::Hidden),
                (QStringList{"outbox.json", "outbox.json.lock"}));
        }
    }

    // The copies a killed write leaves go at the next start, for every store; a file of the
    // user's beside it stays, whatever its name looks like.
    void onlyTheClientsOwnCopiesGo_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* file : {"settings.json", "draft.json", "outbox.json"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void onlyTheClientsOwnCopiesGo()
    {
        QFETCH(QString, file);
        QTemporaryDir home;
        const QDir folder(home.filePath(QStringLiteral("quibbo")));
        const QStringList copies{u'.' + file + QStringLiteral(".Ab12Cd.quibbo-part"),
                                 u'.' + file + QStringLiteral(".zzzzzz.quibbo-part")};
        const QStringList users{file + QStringLiteral(".backup"),
                                file + QStringLiteral(".Ab12Cd"),
                                file + QStringLiteral(".old"),
                                u'.' + file + QStringLiteral(".Ab12C.quibbo-part"),
                                u'.' + file + QStringLiteral(".Ab-2Cd.quibbo-part"),
                                u'.' + file + QStringLiteral(".Ab12Cd.quibbo-partial"),
                                u'.' + file.toUpper() + QStringLiteral(".Ab12Cd.quibbo-part"),
                                QStringLiteral("other.json.Ab12Cd")};
        QVERIFY(writeFile(folder.filePath(file), "{}"));
        for (const QString& name : copies + users)
            QVERIFY(writeFile(folder.filePath(name), "{}"));
        const QString path = folder.filePath(file);
        if (file == QLatin1String("settings.json"))
            JsonFileSettingsStore{path};
        else if (file == QLatin1String("draft.json"))
            DraftStore{path};
        else
            QVERIFY(JournalStore(path).take());
        QStringList left = folder.entryList(QDir::Files | QDir::Hidden);
        left.removeAll(file + QStringLiteral(".lock"));
        QStringList expected = users;
        expected.append(file);
        std::sort(expected.begin(), expected.end());
        std::sort(left.begin(), left.end());
        QCOMPARE(left, expected);
    }
};

QTEST_GUILESS_MAIN(TestJournalStore)
#include "tst_journalstore.moc"
