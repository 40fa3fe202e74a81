#include "AppHarness.h"
#include "ClientAddress.h"
#include "JsonFileSettingsStore.h"
#include "TestFileSystems.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QProcess>
#include <QScopeGuard>

// quibbo --export-history from the command line, against the simulator: the real program, with
// no display, a home of the test's own, and the account stored in its settings file.
class TestExportHistory : public QObject
{
    Q_OBJECT

private:
    QuibboService service;
    QTemporaryDir home;

    struct Ended
    {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    Ended run(const QStringList& arguments, const QUrl& secure, bool withABus = true)
    {
        QProcess quibbo;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("QUIBBO_SECURE_URL"), secure.toString());
        environment.insert(QStringLiteral("QUIBBO_WEB_URL"), service.publicBaseUrl().toString());
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!withABus)
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                               QStringLiteral("unix:path=/nonexistent/quibbo-tests"));
        quibbo.setProcessEnvironment(environment);
        QSignalSpy finished(&quibbo, &QProcess::finished);
        quibbo.start(QStringLiteral(QUIBBO_BIN_DIR "/quibbo"), arguments);
        // The simulator answers on this thread's event loop meanwhile.
        if (!finished.wait(30'000))
            return {};
        return {quibbo.exitStatus() == QProcess::NormalExit ? quibbo.exitCode() : -1,
                quibbo.readAllStandardOutput(), quibbo.readAllStandardError()};
    }

    void storeAccount()
    {
        JsonFileSettingsStore(home.filePath(QStringLiteral("config/quibbo/settings.json")))
            .setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                           AppHarness::stored(service.addAccount(QStringLiteral("ann@example.test"),
                                                                 QStringLiteral("pw"), 5)));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(service.listen()); }

    // Every row of the history, to a file or to standard output, exactly the export's file.
    void theWholeHistory_data()
    {
        QTest::addColumn<bool>("toStandardOutput");
        QTest::addColumn<bool>("besideAClient");
        QTest::addColumn<bool>("withABus");
        QTest::newRow("to a file") << false << false << true;
        QTest::newRow("to standard output") << true << false << true;
        QTest::newRow("beside a running client") << false << true << true;
        // No desktop address book to wait for: the contacts folder alone names the rows.
        QTest::newRow("without a session bus") << false << false << false;
    }
    void theWholeHistory()
    {
        QFETCH(bool, toStandardOutput);
        QFETCH(bool, besideAClient);
        QFETCH(bool, withABus);
        // The client's name on the bus, as a running client holds it: the export hands nothing
        // over to it, and ends on its own.
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        if (besideAClient)
            QVERIFY(bus.registerService(ClientAddress::busName));
        const auto released = qScopeGuard([&] {
            if (besideAClient)
                bus.unregisterService(ClientAddress::busName);
        });
        storeAccount();
        service.seedHistory(QStringLiteral("ann@example.test"), 25);
        const QString file = home.filePath(QStringLiteral("history.csv"));
        const Ended ended =
            run({QStringLiteral("--export-history"), toStandardOutput ? QStringLiteral("-") : file},
                service.secureBaseUrl(), withABus);
        QCOMPARE(ended.status, 0);
        QVERIFY2(!ended.err.contains("quibbo:"), ended.err.constData());
        const QByteArray csv = toStandardOutput ? ended.out : readFile(file);
        QVERIFY(csv.startsWith("Time,Number,Name,Message,State\r\n"));
        // 25 records; a text with a line break holds one more.
        QVERIFY2(csv.count("\r\n") == 26, csv.left(300).constData());
    }

    // Without an account, with the service out of reach, or with a file it cannot write: a
    // message, status 1, and no file.
    void aFailureIsSaidAndLeavesNoFile_data()
    {
        QTest::addColumn<bool>("account");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("no account") << false << true << "history.csv" << QByteArray("no account");
        QTest::newRow("the service out of reach")
            << true << false << "history.csv" << QByteArray("could not be fetched");
        QTest::newRow("a folder that is a file")
            << true << true << "a-file/history.csv" << QByteArray("could not be written");
    }
    void aFailureIsSaidAndLeavesNoFile()
    {
        QFETCH(bool, account);
        QFETCH(bool, reachable);
        QFETCH(QString, file);
        QFETCH(QByteArray, said);
        QVERIFY(QDir(home.filePath(QStringLiteral("config"))).removeRecursively());
        QFile::remove(home.filePath(QStringLiteral("history.csv")));
        if (account)
            storeAccount();
        QVERIFY(writeFile(home.filePath(QStringLiteral("a-file")), "not a folder"));
        const Ended ended =
            run({QStringLiteral("--export-history"), home.filePath(file)},
                reachable ? service.secureBaseUrl() : QUrl(QStringLiteral("http://127.0.0.1:9")));
        QCOMPARE(ended.status, 1);
        QVERIFY2(ended.err.contains(said), ended.err.constData());
        QVERIFY(!QFile::exists(home.filePath(file)));
    }

    // A folder that takes no more: the reason said, an earlier export left byte for byte, and
    // nothing of the attempt beside it.
    void aFolderThatTakesNoMoreKeepsTheEarlierFile_data() { FailingFolder::addRows(); }
    void aFolderThatTakesNoMoreKeepsTheEarlierFile()
    {
        QUIBBO_SKIP_WITHOUT_MOUNTS();
        QFETCH(bool, full);
        const QString folder = home.filePath(QStringLiteral("exports"));
        FailingFolder failing(folder, full);
        QVERIFY2(failing.isReady(), qPrintable(failing.error()));
        const QString file = folder + QStringLiteral("/history.csv");
        QVERIFY(writeFile(file, "an earlier export"));
        QVERIFY2(failing.fail(), qPrintable(failing.error()));
        const auto healed = qScopeGuard([&] { failing.heal(); });
        storeAccount();
        service.seedHistory(QStringLiteral("ann@example.test"), 25);
        const Ended ended =
            run({QStringLiteral("--export-history"), file}, service.secureBaseUrl());
        QCOMPARE(ended.status, 1);
        const QByteArray why = full ? "the disk is full" : "the folder is read-only";
        QVERIFY2(ended.err.contains(file.toUtf8() + " could not be written: " + why),
                 ended.err.constData());
        QCOMPARE(readFile(file), QByteArray("an earlier export"));
        const QStringList left =
            full ? QStringList{"filler", "history.csv"} : QStringList{"history.csv"};
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), left);
    }
};

QTEST_GUILESS_MAIN(TestExportHistory)
#include "tst_exporthistory.moc"
