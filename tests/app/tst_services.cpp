#include "AppHarness.h"
#include "ApplicationBus.h"
#include "ClientAddress.h"
#include "ScriptedHttpServer.h"
#include "ServicesClass.h"
#include "ServicesRequestWindow.h"
#include "TestFiles.h"
#include "ui_ServicesRequestWindow.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QProcess>
#include <QScreen>

using namespace std::chrono_literals;
using Answer = ScriptedHttpServer::Answer;

namespace {
const QString email = QStringLiteral("ann@example.test");
const QString errorText = QStringLiteral("Error: couldn't send as an SMS.");

QByteArray card(const QString& uid, const QString& phones)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:Own;Me;;;\r\n%2END:VCARD\r\n")
        .arg(uid, phones)
        .toUtf8();
}

// The client as the desktop sees it: exported on a session bus of its own (the test runs
// under dbus-run-session), with an address book in a folder the test writes.
struct ContactsFolder
{
    QTemporaryDir home;
};

// Another program's connection to the session bus.
QDBusConnection caller()
{
    static int connections = 0;
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QStringLiteral("caller%1").arg(++connections));
}

QDBusMessage answerTo(const QDBusPendingCall& call)
{
    QDBusPendingCallWatcher watcher(call);
    QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
    if (!watcher.isFinished())
        finished.wait(10'000);
    return watcher.reply();
}

QDBusMessage desktopCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(ClientAddress::busName, ClientAddress::applicationPath(),
                                       QStringLiteral("org.freedesktop.Application"), method);
    message.setArguments(arguments);
    return message;
}

struct Desktop : ContactsFolder, AppHarness
{
    // The client's name is taken before the window exists, as main() takes it; calls are
    // served once the window is attached (at once, unless held).
    explicit Desktop(const QByteArray& ownCard, const QUrl& secure = {}, bool attach = true)
        : AppHarness(60s, home.filePath(QStringLiteral("contacts"))),
          contacts(test.addressBook.folder())
    {
        if (!writeFile(contacts + QStringLiteral("/me.vcf"), ownCard) ||
            !writeFile(contacts + QStringLiteral("/self-contact-uid"), "me\n"))
            qFatal("the contacts folder cannot be written");
        if (bus.claim() != ApplicationBus::Claim::Owned)
            qFatal("the client's name on the bus is taken");
        configure(email, 10);
        open(secure);
        if (attach)
            attachWindow();
    }
    void attachWindow()
    {
        bus.attach(
            [this]() -> ServicesClass& { return window->servicesRequestWindow().services(); });
    }

    // Calls the exported object from another connection, as another program would.
    QDBusMessage call(const QString& method, const QVariant& argument)
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(ClientAddress::busName, ClientAddress::objectPath,
                                           QStringLiteral("example.quibbo.Quibbo"), method);
        message << argument;
        return answerTo(caller().asyncCall(message));
    }
    QDBusMessage sendText(const QString& text)
    {
        return call(QStringLiteral("SendSelection"),
                    QVariant::fromValue(
                        Pasteboard{{QStringLiteral("text/plain;charset=utf-8"), text.toUtf8()}}));
    }

    QWidget& requestWindow() { return window->servicesRequestWindow(); }

    QString contacts;
    ApplicationBus bus{QDBusConnection::sessionBus()};
};

} // namespace

class TestServices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    // Each selection's text replaces the message; one without plain text is refused and
    // changes nothing.
    void selectionTextReplacesTheMessage()
    {
        Desktop desktop(card("me", "TEL;TYPE=CELL:07700 900001\r\n"));
        desktop.ui().messageField->setPlainText(QStringLiteral("typed before"));
        for (const Pasteboard& refused : {Pasteboard{{"text/html", "<b>hi</b>"}},
                                          Pasteboard{{"text/plain;charset=no-such-set", "hi"}}}) {
            const QDBusMessage reply =
                desktop.call(QStringLiteral("SendSelection"), QVariant::fromValue(refused));
            QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
            QCOMPARE(reply.errorMessage(), errorText);
        }
        QCOMPARE(desktop.ui().messageField->toPlainText(), QStringLiteral("typed before"));
        QVERIFY(!desktop.requestWindow().isVisible());
        QCOMPARE(desktop.sendText(QString()).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(desktop.ui().messageField->toPlainText(), QString());
        // What was typed comes back with one undo.
        QTest::keyClick(desktop.ui().messageField, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(desktop.ui().messageField->toPlainText(), QStringLiteral("typed before"));
        desktop.sendText(QStringLiteral("first"));
        desktop.sendText(QString::fromUtf8("second, with € and ümlauts"));
        QCOMPARE(desktop.ui().messageField->toPlainText(),
                 QString::fromUtf8("second, with € and ümlauts"));
        QCOMPARE(desktop.ui().charcntField->text(), QStringLiteral("1(27)"));
        // A long selection goes through the paste limiter, never whole into the view.
        desktop.sendText(QString(400'000, u'a'));
        QCOMPARE(desktop.ui().messageField->toPlainText(), QString(160, u'a'));
    }

    void sendToMyPhoneUsesTheFirstMobileNumber()
    {
        Desktop desktop(card("me", "TEL;TYPE=HOME:0161 496 0000\r\nTEL;TYPE=CELL:07700 900001\r\n"
                                   "TEL;TYPE=CELL:07700 900002\r\n"));
        desktop.ui().sendToComboBox->setEditText(QStringLiteral("07700 900999"));
        desktop.sendText(QStringLiteral("Note to self"));
        QVERIFY(desktop.requestWindow().isVisible());
        QCOMPARE(desktop.requestWindow().frameGeometry().center(),
                 desktop.requestWindow().screen()->availableGeometry().center());
        QCOMPARE(desktop.requestWindow().focusWidget(),
                 desktop.window->servicesRequestWindow().ui().sendToMeButton);

        QSignalSpy sent(&desktop.window->sender(), &SendSMSPushed::attemptFinished);
        desktop.window->servicesRequestWindow().ui().sendToMeButton->click();
        QVERIFY(!desktop.requestWindow().isVisible());
        QVERIFY(sent.wait());
        const QuibboService::SentMessage message = desktop.service.account(email)->messages.first();
        QCOMPARE(message.msisdn, QStringLiteral("07700900001"));
        QCOMPARE(message.text, QStringLiteral("Note to self"));
    }

    // "Another Number", or Escape, which means the same: the text waits in the main window.
    void anotherNumberKeepsTheRecipient()
    {
        Desktop desktop(card("me", "TEL;TYPE=CELL:07700 900001\r\n"));
        desktop.ui().sendToComboBox->setEditText(QStringLiteral("07700 900999"));
        for (const bool escape : {false, true}) {
            desktop.sendText(QStringLiteral("For someone"));
            QVERIFY(QTest::qWaitForWindowActive(&desktop.requestWindow()));
            if (escape)
                QTest::keyClick(desktop.requestWindow().focusWidget(), Qt::Key_Escape);
            else
                desktop.window->servicesRequestWindow().ui().anotherNumberButton->click();
            QVERIFY(!desktop.requestWindow().isVisible());
            QVERIFY(desktop.window->isVisible());
            QCOMPARE(desktop.ui().sendToComboBox->currentText(), QStringLiteral("07700 900999"));
        }
        QVERIFY(desktop.service.sendBodies().isEmpty());
    }

    void withoutAnOwnMobileTheWindowComesForward_data()
    {
        QTest::addColumn<QByteArray>("ownCard");
        QTest::newRow("no own card") << card("someone-else", "TEL;TYPE=CELL:07700 900001\r\n");
        QTest::newRow("a label of the user's own that reads mobile")
            << card("me", "item1.TEL:07700 900001\r\nitem1.X-ABLabel:mobile\r\n");
    }

    void withoutAnOwnMobileTheWindowComesForward()
    {
        QFETCH(QByteArray, ownCard);
        Desktop desktop(ownCard);
        desktop.window->hide();
        desktop.sendText(QStringLiteral("Address me"));
        QVERIFY(!desktop.requestWindow().isVisible());
        desktop.test.time.advance(999ms);
        QVERIFY(!desktop.window->isVisible());
        QVERIFY(!desktop.test.sounds.played.contains(QStringLiteral("Hero")));
        desktop.test.time.advance(1ms);
        QVERIFY(desktop.window->isVisible());
        QCOMPARE(desktop.test.sounds.played, QStringList{QStringLiteral("Hero")});
        QCOMPARE(desktop.ui().messageField->toPlainText(), QStringLiteral("Address me"));
    }

    void ownNumberVanishedBeforeTheChoice()
    {
        Desktop desktop(card("me", "TEL;TYPE=CELL:07700 900001\r\n"));
        desktop.ui().sendToComboBox->setEditText(QStringLiteral("typed"));
        desktop.sendText(QStringLiteral("hi"));
        QSignalSpy changed(&desktop.test.addressBook, &AddressBook::changed);
        QVERIFY(QFile::remove(desktop.contacts + QStringLiteral("/me.vcf")));
        QVERIFY(changed.wait());
        desktop.window->servicesRequestWindow().ui().sendToMeButton->click();
        QCOMPARE(desktop.ui().sendToComboBox->currentText(), QStringLiteral("typed"));
        QVERIFY(desktop.window->isVisible());
        QVERIFY(!desktop.window->sender().isSending());
        QVERIFY(desktop.service.sendBodies().isEmpty());
    }

    void sendToMyPhoneWaitsForTheSendUnderWay()
    {
        ScriptedHttpServer server({Answer{200, {}, true}, Answer{200, {}}});
        Desktop desktop(card("me", "TEL;TYPE=CELL:07700 900001\r\n"), server.url());
        desktop.ui().messageField->setPlainText(QStringLiteral("first"));
        desktop.ui().sendToComboBox->setEditText(QStringLiteral("123"));
        desktop.ui().sendSMSButton->click();
        QTRY_COMPARE(server.targets.size(), 1);

        desktop.sendText(QStringLiteral("second"));
        desktop.window->servicesRequestWindow().ui().sendToMeButton->click();
        QCOMPARE(server.targets.size(), 1); // not while the first is out
        QSignalSpy finished(&desktop.window->sender(), &SendSMSPushed::attemptFinished);
        server.release(0);
        QTRY_COMPARE(finished.size(), 2); // the first, then the one that waited for it
        QCOMPARE(server.targets.size(), 2);
        QVERIFY2(server.bodies[0].contains("&Msisdn=123&MessageText=first&"), server.bodies[0]);
        QVERIFY2(server.bodies[1].contains("&Msisdn=07700900001&MessageText=second&"),
                 server.bodies[1]);
        QCOMPARE(desktop.ui().statusField->text().left(12), QStringLiteral("Message sent"));
        QCOMPARE(desktop.ui().messageField->toPlainText(), QString());
    }

    // A link replaces the question the chooser asked; a link without a body only addresses the
    // message being typed.
    void linkWhileTheChooserShows()
    {
        Desktop desktop(card("me", "TEL;TYPE=CELL:07700 900001\r\n"));
        desktop.sendText(QStringLiteral("Selected text"));
        QVERIFY(desktop.requestWindow().isVisible());
        QCOMPARE(
            desktop.call(QStringLiteral("OpenUri"), QStringLiteral("sms:+447700900123")).type(),
            QDBusMessage::ReplyMessage);
        QVERIFY(!desktop.requestWindow().isVisible());
        QCOMPARE(desktop.ui().sendToComboBox->currentText(), QStringLiteral("+447700900123"));
        QCOMPARE(desktop.ui().messageField->toPlainText(), QStringLiteral("Selected text"));
        QVERIFY(desktop.service.sendBodies().isEmpty());
    }

    // A call that comes while the client is still building its window is answered once the
    // window exists, and then takes effect.
    void callsBeforeTheWindowAreHeld()
    {
        Desktop desktop(card("me", ""), {}, false);
        QDBusConnection other = caller();
        QDBusMessage open = QDBusMessage::createMethodCall(
            ClientAddress::busName, ClientAddress::objectPath,
            QStringLiteral("example.quibbo.Quibbo"), QStringLiteral("OpenUri"));
        open << QStringLiteral("sms:+447700900123?body=Early");
        QDBusPendingCallWatcher held(other.asyncCall(open));
        // The bus keeps one caller's messages in order: once a later call is answered, the
        // link has arrived and is held.
        QCOMPARE(answerTo(other.asyncCall(QDBusMessage::createMethodCall(
                              ClientAddress::busName, ClientAddress::objectPath,
                              QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"))))
                     .type(),
                 QDBusMessage::ReplyMessage);
        QVERIFY(!held.isFinished());
        QCOMPARE(desktop.ui().messageField->toPlainText(), QString());

        desktop.attachWindow();
        QCOMPARE(answerTo(held).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(desktop.ui().messageField->toPlainText(), QStringLiteral("Early"));
    }

    // The desktop's interface for activatable applications, as launchers call it.
    void desktopActivation_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("chooser");
        const QVariantMap token{{QStringLiteral("activation-token"), QStringLiteral("t-1")}};
        const Pasteboard selection{{QStringLiteral("text/plain"), QByteArray("Chosen text")}};
        QTest::newRow("Activate with a token")
            << "Activate" << QVariantList{token} << true << "typed" << false;
        QTest::newRow("Open, the sms: link of several")
            << "Open"
            << QVariantList{QStringList{"https://example.org", "sms:+447700900123?body=Hi"}, token}
            << true << "Hi" << false;
        QTest::newRow("Open without an sms: link only activates")
            << "Open" << QVariantList{QStringList{"mailto:a@example.org"}, QVariantMap()} << true
            << "typed" << false;
        QTest::newRow("the send-selection action")
            << "ActivateAction"
            << QVariantList{QStringLiteral("send-selection"),
                            QVariantList{QVariant::fromValue(selection)}, token}
            << true << "Chosen text" << true;
        QTest::newRow("an unknown action")
            << "ActivateAction"
            << QVariantList{QStringLiteral("quit"), QVariantList(), QVariantMap()} << false
            << "typed" << false;
    }
    void desktopActivation()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        QFETCH(bool, chooser);
        Desktop desktop(card("me", "TEL;TYPE=CELL:07700 900001\r\n"));
        desktop.ui().messageField->setPlainText(QStringLiteral("typed"));
        desktop.window->showMinimized();
        const QDBusMessage reply = answerTo(caller().asyncCall(desktopCall(method, arguments)));
        QCOMPARE(reply.type(), accepted ? QDBusMessage::ReplyMessage : QDBusMessage::ErrorMessage);
        QCOMPARE(desktop.ui().messageField->toPlainText(), message);
        QCOMPARE(desktop.requestWindow().isVisible(), chooser);
        if (accepted && !chooser) {
            QVERIFY(desktop.window->isVisible());
            QVERIFY(!desktop.window->isMinimized());
            QTRY_VERIFY(desktop.window->isActiveWindow());
        }
    }

    // Five starts at the same moment, each with its own link: one client stays, and every
    // link reaches it (a start that handed its link over ends only once the running client has
    // taken it).
    void fiveStartsLeaveOneClient()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("quibbo.services.debug=true"));
        // Nothing to reach: the client starts as it would offline.
        environment.insert(QStringLiteral("QUIBBO_SECURE_URL"),
                           QStringLiteral("http://127.0.0.1:9"));
        environment.insert(QStringLiteral("QUIBBO_WEB_URL"), QStringLiteral("http://127.0.0.1:9"));
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 5; ++i) {
            auto& start = starts.emplace_back(std::make_unique<QProcess>());
            start->setProcessEnvironment(environment);
            start->start(QStringLiteral(QUIBBO_BIN_DIR "/quibbo"),
                         {QStringLiteral("sms:+44770090000%1?body=%1").arg(i)});
        }
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        QTRY_VERIFY_WITH_TIMEOUT(bus->isServiceRegistered(ClientAddress::busName), 30'000);
        const qint64 owner = bus->servicePid(ClientAddress::busName).value();
        QProcess* running = nullptr;
        for (auto& start : starts) {
            if (start->processId() == owner) {
                running = start.get();
                continue;
            }
            // Not waitForFinished() alone: it answers false for a start that has ended already.
            QVERIFY2(start->state() == QProcess::NotRunning || start->waitForFinished(30'000),
                     "two clients run");
            QCOMPARE(start->exitStatus(), QProcess::NormalExit);
            QCOMPARE(start->exitCode(), 0);
        }
        QVERIFY(running);
        // The owner's QProcess may not have heard yet that it started.
        QVERIFY(running->waitForStarted());
        QCOMPARE(running->state(), QProcess::Running);
        QByteArray log;
        QTRY_VERIFY((log += running->readAllStandardError()).count("opening an sms: link") == 5);
        running->terminate();
        QVERIFY(running->waitForFinished(30'000));
    }

    void secondStartWithAnSmsLinkFillsTheRunningClient()
    {
        Desktop desktop(card("me", ""));
        desktop.window->hide();
        QProcess second;
        second.start(QStringLiteral(QUIBBO_BIN_DIR "/quibbo"),
                     {QStringLiteral("sms:+447700900123?body=See%20you%20at%208")});
        QSignalSpy ended(&second, &QProcess::finished);
        QVERIFY(ended.wait(20'000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(desktop.ui().sendToComboBox->currentText(), QStringLiteral("+447700900123"));
        QCOMPARE(desktop.ui().messageField->toPlainText(), QStringLiteral("See you at 8"));
        QVERIFY(desktop.window->isVisible());
        QVERIFY(desktop.service.sendBodies().isEmpty()); // a link never sends by itself
    }

    // Both programs answer their options before they need a display, as other commands do, and
    // in the user's language.
    void optionsAnsweredWithoutADisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("printed"); // the start of standard output
        QTest::newRow("quibbo")
            << "quibbo"
            << "Aufruf: quibbo [--help] [--version] [--export-history FILE] [sms:LINK]\n"
               "SMS über Ihr Quibbo-Konto senden.\n";
        QTest::newRow("quibbo-send-selection")
            << "quibbo-send-selection"
            << "Aufruf: quibbo-send-selection [--help] [--version]\n";
    }

    void optionsAnsweredWithoutADisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, printed);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUIBBO_BIN_DIR "/") + program, {QStringLiteral("--help")});
        QVERIFY(process.waitForFinished(10'000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(output.startsWith(printed), qPrintable(output));
    }

    // Command output piped to quibbo-send-selection ends with a line break that is no part of
    // the text; only that one goes.
    void sendSelectionCommandTakesStandardInput()
    {
        Desktop desktop(card("me", ""));
        for (const auto& [input, message] :
             {std::pair("hi\n", "hi"), std::pair("hi\r\n", "hi"),
              std::pair("two\nlines\n\n", "two\nlines\n"), std::pair("as typed", "as typed")}) {
            QProcess command;
            command.start(QStringLiteral(QUIBBO_BIN_DIR "/quibbo-send-selection"));
            command.write(input);
            command.closeWriteChannel();
            QSignalSpy ended(&command, &QProcess::finished);
            QVERIFY(ended.wait(20'000));
            QCOMPARE(command.exitCode(), 0);
            QCOMPARE(desktop.ui().messageField->toPlainText(), QString::fromLatin1(message));
        }
    }

    // With no client on the bus to hand the text to, the command says why and fails.
    void sendSelectionCommandWithoutAClientFails()
    {
        QProcess command;
        command.start(QStringLiteral(QUIBBO_BIN_DIR "/quibbo-send-selection"));
        command.write("hi\n");
        command.closeWriteChannel();
        QSignalSpy ended(&command, &QProcess::finished);
        QVERIFY(ended.wait(20'000));
        QCOMPARE(command.exitCode(), 1);
        QVERIFY(command.readAllStandardError().startsWith("quibbo-send-selection: "));
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
