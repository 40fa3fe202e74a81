#include "MsgHistoryDataSource.h"
#include "Outbox.h"
#include "OutboxDialog.h"
#include "ProxiedClient.h"
#include "TestFiles.h"
#include "ui_OutboxDialog.h"

#include <QFileInfo>
#include <QListWidget>

using namespace std::chrono_literals;
using Behaviour = ChaosProxy::Behaviour;

namespace {
const QString email = QStringLiteral("ann@example.test");
const QString number = QStringLiteral("07700 900123");

struct Client : ProxiedClient
{
    using ProxiedClient::ProxiedClient;

    int received(const QString& text) const
    {
        const QuibboService::Account* account = service.account(email);
        return int(std::count_if(account->messages.cbegin(), account->messages.cend(),
                                 [&text](const auto& sent) { return sent.text == text; }));
    }

    // A message sent while the service is out of reach, put in the outbox.
    void putInOutbox(const QString& text)
    {
        serviceDown();
        compose(text, number);
        send();
        QVERIFY(ui().outboxOfferButton->isVisibleTo(window.get()));
        ui().outboxOfferButton->click();
        serviceBack();
    }

    Outbox& outbox() { return window->outbox(); }
    bool outboxEmpty() { return outbox().messages().isEmpty(); }
};
} // namespace

// Every message goes out once and the user knows what became of it: an answer that never came
// is looked up in the service's history, and a message that never left waits in the outbox.
class TestOutbox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void anAnswerThatNeverCameIsLookedUp_data()
    {
        QTest::addColumn<bool>("listingHeld"); // the history read before the send
        QTest::addColumn<bool>("sentBefore");  // the same text to the same number, a moment ago
        QTest::addColumn<Behaviour>("post");
        QTest::addColumn<QList<Behaviour>>("history");
        QTest::addColumn<int>("received");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("cleared");

        const QString late = QStringLiteral(
            "Message sent at 03:07 PM. Its answer never came, but the service's history lists it.");
        const QString notReceived = QStringLiteral(
            "Message failed at 03:07 PM. Error talking to server. The service did not receive "
            "the message, so you can send it again.");
        const QString unknown = QStringLiteral(
            "Message failed at 03:07 PM. Error talking to server. Whether the service received "
            "the message is not known: look for it in the history before you send it again.");
        QTest::newRow("accepted, then the connection dropped")
            << true << false << Behaviour::ForwardThenDrop << QList<Behaviour>() << 1 << late
            << true;
        QTest::newRow("lost before the service had it")
            << true << false << Behaviour::ResetBeforeAnswer << QList<Behaviour>() << 0
            << notReceived << false;
        // The listing held was fetched before the first of two equal messages: counting rows
        // alone would call the second received.
        QTest::newRow("the same message sent before, this one lost")
            << true << true << Behaviour::ResetBeforeAnswer << QList<Behaviour>() << 1
            << notReceived << false;
        QTest::newRow("the same message sent before, this one accepted")
            << true << true << Behaviour::ForwardThenDrop << QList<Behaviour>() << 2 << late
            << true;
        // With no listing held from before the send, only a history without the message says
        // anything: it was not received; one with it may list an earlier one.
        QTest::newRow("no listing held, lost before the service had it")
            << false << false << Behaviour::ResetBeforeAnswer << QList<Behaviour>() << 0
            << notReceived << false;
        QTest::newRow("no listing held, accepted") << false << false << Behaviour::ForwardThenDrop
                                                   << QList<Behaviour>() << 1 << unknown << false;
        QTest::newRow("the history out of reach as well")
            << true << false << Behaviour::ForwardThenDrop
            << QList<Behaviour>{Behaviour::ServerError} << 1 << unknown << false;
    }

    void anAnswerThatNeverCameIsLookedUp()
    {
        QFETCH(bool, listingHeld);
        QFETCH(bool, sentBefore);
        QFETCH(Behaviour, post);
        QFETCH(QList<Behaviour>, history);
        QFETCH(int, received);
        QFETCH(QString, status);
        QFETCH(bool, cleared);
        const QString text = QStringLiteral("Running late ");
        Client client;
        if (listingHeld)
            client.readHistory();
        if (sentBefore) {
            client.compose(text, number);
            client.send();
        }
        client.test.sounds.played.clear();

        client.proxy.script("POST", {post});
        client.proxy.script("GET", history);
        client.compose(text, number);
        client.pressSend();

        QCOMPARE(client.received(text), received);
        QCOMPARE(client.ui().statusField->text(), status);
        QCOMPARE(client.test.sounds.played,
                 QStringList{cleared ? QStringLiteral("Purr") : QStringLiteral("Sosumi")});
        QCOMPARE(client.ui().messageField->toPlainText().isEmpty(), cleared);
        QVERIFY(client.ui().sendSMSButton->isEnabled());
        QVERIFY(!client.ui().outboxOfferButton->isVisibleTo(
            client.window.get())); // it left: no outbox for it
    }

    // The service out of reach: the user puts the message in the outbox; it outlives a restart
    // and goes, once, when the service is back.
    void aMessageThatNeverLeftWaitsInTheOutbox()
    {
        const QString text = QStringLiteral("See you at eight");
        Client client;
        client.serviceDown();
        client.compose(text, number);
        client.send();
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Message failed at 03:07 PM. Error talking to server."));
        QVERIFY(client.ui().outboxOfferButton->isVisibleTo(client.window.get()));
        QVERIFY(!client.ui().outboxButton->isVisibleTo(client.window.get()));
        QVERIFY(!client.test.networkMonitor.watching); // loaded only once a message waits

        client.ui().outboxOfferButton->setFocus();
        client.ui().outboxOfferButton->click();
        QVERIFY(!client.ui().outboxOfferButton->isVisibleTo(client.window.get()));
        // Emptied once the message is on disk, ready for the next.
        QVERIFY(QTest::qWaitFor([&] { return client.ui().messageField->toPlainText().isEmpty(); }));
        QCOMPARE(client.window->focusWidget(), client.ui().messageField);
        QCOMPARE(client.ui().outboxButton->text(), QStringLiteral("&Outbox (1 waiting)"));
        QVERIFY(client.test.networkMonitor.watching);
        const QString file = client.test.stateFolder.filePath(QStringLiteral("quibbo/outbox.json"));
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(file); }));
        QCOMPARE(QFileInfo(file).permissions() & 0x0777,
                 QFileDevice::ReadUser | QFileDevice::WriteUser);

        // Tries while the service stays away change nothing the user sees.
        client.test.sounds.played.clear();
        client.test.time.advance(30s);
        emit client.test.networkMonitor.becameAvailable();
        QVERIFY(QTest::qWaitFor(
            [&] { return !client.outbox().isTrying(client.outbox().messages().first().id); }));
        QCOMPARE(client.test.sounds.played, QStringList());

        client.restart();
        QCOMPARE(client.ui().outboxButton->text(), QStringLiteral("&Outbox (1 waiting)"));
        client.serviceBack();
        client.test.time.advance(1s);
        QVERIFY(QTest::qWaitFor([&] { return client.outboxEmpty(); }));
        QCOMPARE(client.received(text), 1);
        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QVERIFY(!client.ui().outboxButton->isVisibleTo(client.window.get()));
        QVERIFY(QTest::qWaitFor([&] { return !QFileInfo::exists(file); }));
        client.test.time.advance(10min);
        QCOMPARE(client.received(text), 1);
    }

    // A press for the same message while it is looked up, however its white space differs,
    // waits for the answer and follows that message: it posts only when the service does not
    // have it, once, and the window is never left locked.
    void aSecondPressDuringTheCheckNeverLocks_data()
    {
        QTest::addColumn<QString>("again");
        QTest::newRow("the same text") << QStringLiteral("Are you there?");
        QTest::newRow("a trailing space") << QStringLiteral("Are you there? ");
        QTest::newRow("a leading line break") << QStringLiteral("\nAre you there?");
    }

    void aSecondPressDuringTheCheckNeverLocks()
    {
        QFETCH(QString, again);
        const QString text = QStringLiteral("Are you there?");
        Client client;
        client.readHistory();
        client.proxy.script("POST", {Behaviour::ResetBeforeAnswer});
        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.compose(text, number);
        client.ui().sendSMSButton->click();
        QVERIFY(fetched.wait()); // the first look found nothing
        // While the history is asked the window is the user's.
        QVERIFY(client.ui().statusField->text().startsWith(QStringLiteral("No answer came")));
        QVERIFY(client.ui().sendSMSButton->isEnabled());
        QVERIFY(!client.ui().messageField->isReadOnly());

        client.ui().messageField->setPlainText(again);
        QSignalSpy finished(&client.window->sender(), &SendSMSPushed::attemptFinished);
        client.ui().sendSMSButton->click();
        QVERIFY(client.ui().messageField->isReadOnly());
        QCOMPARE(client.proxy.requests("POST"), 1);
        client.test.time.advance(10s);
        QVERIFY(QTest::qWaitFor([&] { return finished.size() == 1; }));
        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QCOMPARE(client.received(text), 1);
        QCOMPARE(client.proxy.requests("POST"), 2);
        QVERIFY(client.ui().sendSMSButton->isEnabled());
        QVERIFY(!client.ui().messageField->isReadOnly());
        QVERIFY(client.ui().messageField->toPlainText().isEmpty());
        QVERIFY(client.outboxEmpty());
    }

    // An outbox message the service refuses, or whose number is no number, is never dropped:
    // it waits in the outbox, held, saying why, for the user to take back or send again.
    void aRefusedOutboxMessageStaysHeld_data()
    {
        QTest::addColumn<QByteArray>("earlierFile"); // an earlier client's outbox, or none
        QTest::addColumn<QString>("why");
        QTest::newRow("a server error")
            << QByteArray() << QStringLiteral("the service refused it: change it or send it again");
        QTest::newRow("a number an earlier client kept, not a number")
            << QByteArray(R"({"messages":[{"id":"old","number":"call me","text":"Lost?"}]})")
            << QStringLiteral("invalid phone number: take it back to correct it");
    }

    void aRefusedOutboxMessageStaysHeld()
    {
        QFETCH(QByteArray, earlierFile);
        QFETCH(QString, why);
        const QString file = QStringLiteral("quibbo/outbox.json");
        Client client;
        if (earlierFile.isEmpty()) {
            client.putInOutbox(QStringLiteral("Lost?"));
            client.proxy.script("POST", {Behaviour::ServerError});
            emit client.test.networkMonitor.becameAvailable();
            QVERIFY(QTest::qWaitFor([&] { return client.proxy.requests("POST") == 1; }));
        } else {
            QVERIFY(writeFile(client.test.stateFolder.filePath(file), earlierFile));
            client.restart();
            client.test.time.advance(1s);
        }
        QVERIFY(QTest::qWaitFor([&] {
            return !client.outboxEmpty() &&
                   client.outbox().messages().first().state == Outbox::Message::State::Held;
        }));
        QCOMPARE(client.ui().outboxButton->text(), QStringLiteral("&Outbox (1 waiting)"));
        OutboxDialog& dialog = client.window->outboxDialog();
        QVERIFY(dialog.ui().messageList->item(0)->text().contains(why));
        client.test.time.advance(30min);
        QCOMPARE(client.proxy.requests("POST"), earlierFile.isEmpty() ? 1 : 0);

        // Kept across a restart, and taken back whole.
        client.restart();
        QCOMPARE(client.outbox().messages().size(), 1);
        client.window->outboxDialog().ui().takeBackButton->click();
        QCOMPARE(client.ui().messageField->toPlainText(), QStringLiteral("Lost?"));
    }

    // While the service stays out of reach a message is tried at growing intervals, from 30 s
    // to 10 min, and at once when the desktop says the network is back, which starts over.
    void triesWaitLongerEachTime()
    {
        Client client;
        client.putInOutbox(QStringLiteral("Later"));
        client.serviceDown();
        QSignalSpy tries(&client.outbox(), &Outbox::tryDue);
        const QString id = client.outbox().messages().first().id;
        const auto tried = [&](qsizetype count) {
            return tries.size() == count &&
                   QTest::qWaitFor([&] { return !client.outbox().isTrying(id); });
        };
        qsizetype count = 0;
        for (const std::chrono::seconds wait : {30s, 60s, 120s, 240s, 480s, 600s, 600s}) {
            client.test.time.advance(wait - 1s);
            QVERIFY(tried(count));
            client.test.time.advance(1s);
            QVERIFY2(tried(++count), qPrintable(QString::number(wait.count())));
        }
        emit client.test.networkMonitor.becameAvailable();
        QVERIFY(tried(++count));
        client.test.time.advance(60s);
        QVERIFY(tried(++count));
        QCOMPARE(client.outbox().messages().size(), 1);
        QCOMPARE(client.proxy.requests("POST"), 0);
    }

    // A try whose answer was still due at a quit is checked against the history at the next
    // start before anything is posted again. (One that timed out: theUserWorksBesideTheOutbox.)
    void aTryWithoutAnAnswerIsNeverPostedTwice()
    {
        const QString text = QStringLiteral("Bring the keys");
        Client client;
        client.readHistory();
        client.putInOutbox(text);
        client.proxy.script("POST", {Behaviour::ForwardThenHold});
        emit client.test.networkMonitor.becameAvailable();
        QVERIFY(QTest::qWaitFor([&] { return client.received(text) == 1; }));
        client.restart();
        client.test.time.advance(1s);
        QVERIFY(QTest::qWaitFor([&] { return client.outboxEmpty(); }, 10'000));
        QCOMPARE(client.received(text), 1);
        QCOMPARE(client.proxy.requests("POST"), 1);
        QVERIFY(client.ui().statusField->text().contains(QStringLiteral("history lists it")));
    }

    // A lack of credit stops the outbox with the alert, once; the messages wait for the user, who
    // may drop one and start the outbox again.
    void insufficientCreditStopsTheOutbox()
    {
        Client client(0);
        client.putInOutbox(QStringLiteral("first"));
        client.putInOutbox(QStringLiteral("second"));
        emit client.test.networkMonitor.becameAvailable();
        QVERIFY(QTest::qWaitFor([&] { return client.test.alerts.shown.size() == 1; }));
        QCOMPARE(client.test.alerts.shown.first().message,
                 QStringLiteral("Insufficient credits in account"));
        client.test.alerts.dismiss();
        client.test.time.advance(30min);
        emit client.test.networkMonitor.becameAvailable();
        QCOMPARE(client.proxy.requests("POST"), 1);
        QCOMPARE(client.outbox().messages().size(), 2);
        QVERIFY(client.outbox().isStopped());

        OutboxDialog& dialog = client.window->outboxDialog();
        dialog.ui().messageList->setCurrentRow(1);
        dialog.ui().dropButton->click();
        dialog.ui().sendNowButton->click();
        QVERIFY(QTest::qWaitFor([&] { return client.test.alerts.shown.size() == 2; }));
        QCOMPARE(client.proxy.requests("POST"), 2);
        QCOMPARE(client.outbox().messages().size(), 1);
        QCOMPARE(client.outbox().messages().first().text, QStringLiteral("first"));
    }

    // Features meet: a hand-sent message while a try is out; a waiting message taken back to be
    // changed, never while it is being tried and never over text being typed.
    void theUserWorksBesideTheOutbox()
    {
        const QString waiting = QStringLiteral("Waiting one");
        Client client(100, 2s);
        client.readHistory();
        client.putInOutbox(waiting);
        client.putInOutbox(QStringLiteral("Second one"));
        client.proxy.script("POST", {Behaviour::ForwardThenHold});
        emit client.test.networkMonitor.becameAvailable();
        const QString trying = client.outbox().messages().first().id;
        QVERIFY(client.outbox().isTrying(trying));
        // A try of the outbox goes quietly: the window's progress is the fields' own.
        QTRY_COMPARE(client.received(waiting), 1);
        QVERIFY(!client.ui().sendProgressField->isVisibleTo(client.window.get()));
        QVERIFY(client.ui().progressDescription->text() != QStringLiteral("Sending..."));

        client.compose(QStringLiteral("By hand"), QStringLiteral("123"));
        client.send();
        QCOMPARE(client.received(QStringLiteral("By hand")), 1);
        QCOMPARE(client.window->sender().takeBack(trying),
                 QStringLiteral("The message is being sent now and cannot be taken back."));

        OutboxDialog& dialog = client.window->outboxDialog();
        QCOMPARE(dialog.ui().messageList->count(), 2);
        QVERIFY(
            dialog.ui().messageList->item(0)->text().contains(QStringLiteral("being sent now")));
        QVERIFY(!dialog.ui().takeBackButton->isEnabled());
        dialog.ui().messageList->setCurrentRow(1);
        client.compose(QStringLiteral("Typing"), QString());
        dialog.ui().takeBackButton->click();
        QCOMPARE(dialog.ui().noteField->text(),
                 QStringLiteral("Send or clear the message you are typing first."));
        client.ui().messageField->clear();
        dialog.ui().takeBackButton->click();
        QCOMPARE(client.ui().messageField->toPlainText(), QStringLiteral("Second one"));
        QCOMPARE(client.ui().sendToComboBox->currentText(), number);
        QCOMPARE(dialog.ui().messageList->count(), 1);

        // The held try times out, is found received, and nothing else is posted.
        client.test.time.advance(1s);
        QVERIFY(QTest::qWaitFor([&] { return client.outboxEmpty(); }, 10'000));
        QCOMPARE(client.received(waiting), 1);
        QCOMPARE(client.received(QStringLiteral("Second one")), 0);
    }

    // The client's start and its first message leave a user's own files beside its state as
    // they are, and take only the copies its own writes left.
    void theUsersOwnFilesStay()
    {
        Client client;
        const QDir state(client.test.stateFolder.filePath(QStringLiteral("quibbo")));
        const QStringList users{"draft.json.backup", "outbox.json.backup", "outbox.json.Ab12Cd"};
        const QString copy = QStringLiteral(".outbox.json.Ab12Cd.quibbo-part");
        for (const QString& name : users + QStringList{copy})
            QVERIFY(writeFile(state.filePath(name), "{}"));
        client.restart();
        client.compose(QStringLiteral("Hello"), number);
        client.send();
        QCOMPARE(client.received(QStringLiteral("Hello")), 1);
        for (const QString& name : users)
            QVERIFY2(QFile::exists(state.filePath(name)), qPrintable(name));
        QVERIFY(!QFile::exists(state.filePath(copy)));
    }

    // A keyring that withholds the password is asked again only at a person's act: neither
    // the balance's and the history's timers nor the outbox's tries bring up its unlock prompt.
    void onlyAPersonsActAsksTheKeyringAgain()
    {
        Client client;
        client.putInOutbox(QStringLiteral("Later"));
        client.test.settings.withheld = {QStringLiteral("QuibboAPIConnectionParams")};
        client.test.settings.asks = 0;
        client.test.time.advance(15s);
        emit client.test.networkMonitor.becameAvailable();
        client.test.time.advance(10min);
        QVERIFY(QTest::qWaitFor([&] {
            return client.outbox().messages().size() == 1 &&
                   !client.outbox().isTrying(client.outbox().messages().first().id);
        }));
        QCOMPARE(client.test.settings.asks, 0);
        QCOMPARE(client.proxy.requests("POST"), 0);

        client.ui().refreshButton->click();
        QCOMPARE(client.test.settings.asks, 1);
        client.compose(QStringLiteral("By hand"), number);
        client.send();
        QCOMPARE(client.test.settings.asks, 2);
    }

    // A network failing in every way it fails fast: whatever the user is told, no message
    // reaches the service more often than Send was pressed for it after it was found not
    // received, and a message put in the outbox goes at most once. None is lost either: one the
    // window called sent reached the service, and one put in the outbox reached it or is still
    // there.
    void aChaosSoakNeverPostsAMessageTwiceNorLosesOne()
    {
        Client client(100'000);
        client.proxy.drawFrom({Behaviour::PassThrough, Behaviour::ResetBeforeAnswer,
                               Behaviour::ResetMidAnswer, Behaviour::ServerError,
                               Behaviour::Garbage, Behaviour::ForwardThenDrop});
        QHash<QString, int> accepted;
        connect(&client.service, &QuibboService::logged, this, [&accepted](const QString& line) {
            if (line.startsWith(QStringLiteral("accepted a message")))
                accepted[line.section(QStringLiteral(": "), -1)] += 1;
        });
        QHash<QString, int> presses;
        QStringList calledSent;
        QStringList putInTheOutbox;
        int queued = 0;
        int sends = 0;
        for (int n = 0; sends < 500; ++n) {
            // Now and then the service is out of reach for a few sends.
            if (n % 40 == 30)
                client.serviceDown();
            if (n % 40 == 35) {
                client.serviceBack();
                emit client.test.networkMonitor.becameAvailable();
            }
            const QString text = QStringLiteral("soak %1").arg(n);
            client.compose(text, number);
            // Send again only where the client says it is safe.
            for (int press = 0; press < 3; ++press) {
                client.pressSend();
                ++sends;
                presses[text] += 1;
                const QString status = client.ui().statusField->text();
                // A sent message leaves the fields; the status line may speak of the outbox's.
                if (status.startsWith(QStringLiteral("Message sent at")) &&
                    client.ui().messageField->toPlainText().isEmpty())
                    calledSent.append(text);
                if (client.ui().outboxOfferButton->isVisibleTo(client.window.get()) && n % 3 == 0) {
                    client.ui().outboxOfferButton->click();
                    putInTheOutbox.append(text);
                    ++queued;
                    break;
                }
                if (!status.endsWith(QStringLiteral("Error talking to server.")) &&
                    !status.contains(QStringLiteral("did not receive")))
                    break;
            }
        }
        client.serviceBack();
        client.outbox().sendNow();
        QVERIFY(QTest::qWaitFor(
            [&] {
                client.test.time.advance(10s);
                return std::all_of(client.outbox().messages().cbegin(),
                                   client.outbox().messages().cend(), [](const Outbox::Message& m) {
                                       return m.state == Outbox::Message::State::Held;
                                   });
            },
            60'000));

        int most = 0;
        QMap<int, int> spread;
        for (auto it = presses.cbegin(); it != presses.cend(); ++it) {
            const int times = accepted.value(it.key());
            most = std::max(most, times);
            spread[times] += 1;
        }
        qInfo("%d sends of %d messages (%d put in the outbox), %d POSTs through the network; "
              "messages by times accepted: %s",
              sends, int(presses.size()), queued, client.proxy.requests("POST"),
              qPrintable(QStringLiteral("0: %1, 1: %2, more: %3")
                             .arg(spread.value(0))
                             .arg(spread.value(1))
                             .arg(int(presses.size()) - spread.value(0) - spread.value(1))));
        QCOMPARE(most, 1);
        for (const QString& text : std::as_const(calledSent))
            QVERIFY2(accepted.value(text) == 1, qPrintable(text + " was called sent"));
        const QList<Outbox::Message> left = client.outbox().messages();
        for (const QString& text : std::as_const(putInTheOutbox))
            QVERIFY2(accepted.value(text) == 1 ||
                         std::any_of(left.cbegin(), left.cend(),
                                     [&text](const Outbox::Message& m) { return m.text == text; }),
                     qPrintable(text + " vanished from the outbox"));
        QVERIFY(!calledSent.isEmpty() && !putInTheOutbox.isEmpty());
    }
};

QTEST_MAIN(TestOutbox)
#include "tst_outbox.moc"
