#include "DraftStore.h"
#include "FakeTime.h"
#include "StorageStatus.h"
#include "TestFileSystems.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// The draft on disk: written whole for the owner only, gone when empty, and anything else found
// there is no draft rather than a reason to fail.
class TestDraftStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writtenForTheOwnerAndRemovedWhenEmpty()
    {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("state/quibbo/draft.json"));
        DraftStore store(path);
        QCOMPARE(store.read(), std::nullopt);
        const DraftStore::Draft draft{QString::fromUtf8("Zoë's \"line\"\nnext €"),
                                      QStringLiteral("07700 900123")};
        store.write(draft);
        store.wait();
        QCOMPARE(DraftStore(path).read(), draft);
        const QFileDevice::Permissions mode = QFileInfo(path).permissions();
        QVERIFY(mode.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(int(mode & 0x0077), 0); // nothing for the group or others
        store.write({QString(), QString()});
        store.wait();
        QVERIFY(!QFile::exists(path));
    }

    // A draft typed on a full disk or into a read-only folder: the last one written stays as it
    // was, the user is told, and the newest draft (or the removal of a sent one) is written once
    // it can be.
    void aDraftThatCannotBeWrittenIsWrittenLater_data() { FailingFolder::addRows(); }

    void aDraftThatCannotBeWrittenIsWrittenLater()
    {
        QFETCH(bool, full);
        QFETCH(int, error);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("quibbo"));
        const QString path = folder + QStringLiteral("/draft.json");
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        FailingFolder failing(folder, full);
        QVERIFY2(failing.isReady(), qPrintable(failing.error()));
        FakeTime time;
        StorageStatus status(time);
        DraftStore store(path, &status);
        store.write({QStringLiteral("See you"), QStringLiteral("07700 900123")});
        store.wait();
        const QByteArray before = readFile(path);

        QVERIFY2(failing.fail(), qPrintable(failing.error()));
        const DraftStore::Draft longer{QStringLiteral("See you at 8"),
                                       QStringLiteral("07700 900123")};
        store.write(longer);
        QVERIFY(QTest::qWaitFor([&] { return !status.unsaved().isEmpty(); }));
        QCOMPARE(readFile(path), before);
        QCOMPARE(status.unsaved(),
                 (QMap<StorageStatus::File, int>{{StorageStatus::File::Draft, error}}));
        failing.heal();
        time.advance(std::chrono::seconds(5));
        QCOMPARE(DraftStore(path).read(), longer);
        QVERIFY(status.unsaved().isEmpty());

        // A write of the store's own that goes through before the retry ends the notice too.
        QVERIFY(failing.fail());
        store.write({QStringLiteral("Later"), QString()});
        QVERIFY(QTest::qWaitFor([&] { return !status.unsaved().isEmpty(); }));
        failing.heal();
        store.write(longer);
        QVERIFY(QTest::qWaitFor([&] { return status.unsaved().isEmpty(); }));

        // Sent: the draft must go, or it comes back at the next start.
        if (!full) {
            QVERIFY(failing.fail());
            store.write({});
            QVERIFY(QTest::qWaitFor([&] { return !status.unsaved().isEmpty(); }));
            QCOMPARE(status.unsaved().value(StorageStatus::File::Draft), EROFS);
            failing.heal();
            time.advance(std::chrono::seconds(5));
            QVERIFY(!QFile::exists(path));
        }
    }

    void unreadableFilesAreNoDraft_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("{\"message\": \"cut off");
        QTest::newRow("an array") << QByteArray("[\"message\"]");
        QTest::newRow("a number for the message")
            << QByteArray("{\"message\": 5, \"recipient\": \"1\"}");
        QTest::newRow("huge") << QByteArray(5 << 20, ' ');
    }

    void unreadableFilesAreNoDraft()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("draft.json"));
        QVERIFY(writeFile(path, content));
        QCOMPARE(DraftStore(path).read(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestDraftStore)
#include "tst_draftstore.moc"
