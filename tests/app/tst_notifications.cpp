#include "AppHarness.h"
#include "DesktopNotifications.h"
#include "MsgHistoryDataSource.h"
#include "NotificationServer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

using namespace std::chrono_literals;

// A message sent in this run that the history shows delivered, or failed, is announced once on
// the desktop; a click on the notification brings the window forward.
class TestNotifications : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    void deliveryIsAnnouncedOnce_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("age"); // seconds since the message was sent
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("summary");
        // The simulator fails numbers ending in 13 and delivers the others after 8 s.
        QTest::newRow("delivered")
            << "07700 900123" << 60 << QString() << QStringLiteral("Delivered to 07700 900123");
        QTest::newRow("failed") << "07700 900113" << 60 << QString()
                                << QStringLiteral("Not delivered to 07700 900113");
        QTest::newRow("turned off") << "07700 900123" << 60 << QStringLiteral("OFF") << QString();
        QTest::newRow("still on its way") << "07700 900123" << 5 << QString() << QString();
        QTest::newRow("the window is the active one")
            << "07700 900123" << 60 << QStringLiteral("active window") << QString();
        // The history lists a message without the white space at its ends.
        QTest::newRow("white space around the text")
            << "07700 900123" << 60 << QStringLiteral("padded")
            << QStringLiteral("Delivered to 07700 900123");
    }

    void deliveryIsAnnouncedOnce()
    {
        QFETCH(QString, number);
        QFETCH(int, age);
        QFETCH(QString, setting);
        QFETCH(QString, summary);
        NotificationServer desktop;
        AppHarness client;
        const QString email = QStringLiteral("ann@example.test");
        client.configure(email, 10);
        client.service.seedHistory(email, 3); // sent before this run: never announced
        if (setting == QLatin1String("OFF"))
            client.test.settings.setString(QStringLiteral("deliveryNotifications"), setting);
        client.open();
        if (setting == QLatin1String("active window")) {
            client.window->show();
            QVERIFY(QTest::qWaitForWindowActive(client.window.get()));
        }
        const QString text = QStringLiteral(
            "Running late, see you at the station in twenty minutes or so, keep warm");
        client.compose(setting == QLatin1String("padded") ? QStringLiteral("  ") + text + u'\n'
                                                          : text,
                       number);
        client.send();
        client.service.ageMessages(email, std::chrono::seconds(age));

        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.test.time.advance(10s);
        QVERIFY(fetched.wait());
        client.test.time.advance(50s); // the second refresh shows the same state again
        QVERIFY(fetched.wait());
        if (summary.isEmpty()) {
            QVERIFY(NotificationServer::everyCallArrived());
            QVERIFY(desktop.shown.isEmpty());
            return;
        }
        QTRY_COMPARE(desktop.shown.size(), 1);
        QCOMPARE(desktop.shown[0].summary, summary);
        QCOMPARE(desktop.shown[0].body,
                 QString::fromUtf8("Running late, see you at the station in twenty minutes or…"));
        QCOMPARE(desktop.shown[0].icon, QStringLiteral("example.quibbo.Quibbo"));
        QCOMPARE(desktop.shown[0].hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("example.quibbo.Quibbo"));

        QVERIFY(!client.window->isVisible());
        desktop.click(1);
        QTRY_VERIFY(client.window->isVisible());
    }

    // The same text sent twice to one number is two messages: one history row answers one of
    // them, so the one delivered is announced once and the one on its way not at all.
    void oneRowAnnouncesOneSend()
    {
        NotificationServer desktop;
        AppHarness client;
        const QString email = QStringLiteral("ann@example.test");
        client.configure(email, 10);
        client.open();
        client.compose(QStringLiteral("Same again"), QStringLiteral("07700 900123"));
        client.send();
        client.service.ageMessages(email, 60s); // delivered by now
        client.compose(QStringLiteral("Same again"), QStringLiteral("07700 900123"));
        client.send();
        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.test.time.advance(10s);
        QVERIFY(fetched.wait());
        QTRY_COMPARE(desktop.shown.size(), 1);
        QVERIFY(NotificationServer::everyCallArrived());
        QCOMPARE(desktop.shown.size(), 1);
        QCOMPARE(desktop.shown[0].summary, QStringLiteral("Delivered to 07700 900123"));
    }

    // Message text is plain text: a service that reads markup in bodies is given it escaped,
    // one that does not is given it as it stands.
    void bodyIsPlainText()
    {
        NotificationServer server;
        const QString text = QStringLiteral("Tea & <b>cake</b> at 5");
        for (const bool markup : {true, false}) {
            server.shown.clear();
            server.capabilities = markup ? QStringList{"body", "body-markup"} : QStringList{"body"};
            DesktopNotifications notifications(QDBusConnection::sessionBus(),
                                               QStringLiteral("example.quibbo.Quibbo"));
            notifications.show(QStringLiteral("first"), text);
            notifications.show(QStringLiteral("second"), text);
            QTRY_COMPARE(server.shown.size(), 2);
            for (const NotificationServer::Shown& shown : std::as_const(server.shown))
                QCOMPARE(shown.body,
                         markup ? QStringLiteral("Tea &amp; &lt;b&gt;cake&lt;/b&gt; at 5") : text);
            QCOMPARE(server.shown[1].summary, QStringLiteral("second"));
        }
    }

    // The notification service is replaced (a desktop restarted, another daemon): the new one
    // is asked anew whether it reads markup.
    void aReplacedServiceIsAskedAgain()
    {
        const QString text = QStringLiteral("Tea & cake");
        DesktopNotifications notifications(QDBusConnection::sessionBus(),
                                           QStringLiteral("example.quibbo.Quibbo"));
        auto first = std::make_unique<NotificationServer>();
        first->capabilities = {"body", "body-markup"};
        notifications.show(QStringLiteral("first"), text);
        QTRY_COMPARE(first->shown.size(), 1);
        QCOMPARE(first->shown[0].body, QStringLiteral("Tea &amp; cake"));

        // Seen by a watcher made after the client's, so the client has seen it too.
        QDBusServiceWatcher replaced(QStringLiteral("org.freedesktop.Notifications"),
                                     QDBusConnection::sessionBus(),
                                     QDBusServiceWatcher::WatchForRegistration);
        QSignalSpy registered(&replaced, &QDBusServiceWatcher::serviceRegistered);
        first.reset();
        NotificationServer second;
        QVERIFY(registered.wait());
        notifications.show(QStringLiteral("second"), text);
        QTRY_COMPARE(second.shown.size(), 1);
        QCOMPARE(second.shown[0].body, text);
    }
};

QTEST_MAIN(TestNotifications)
#include "tst_notifications.moc"
