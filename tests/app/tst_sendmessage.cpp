#include "AddressBookController.h"
#include "AddressBookPanel.h"
#include "AppHarness.h"
#include "CreditsUpdater.h"
#include "HistoryExport.h"
#include "MsgHistoryDataSource.h"
#include "PreferencesWindow.h"
#include "ScriptedHttpServer.h"
#include "TestFiles.h"
#include "TextColours.h"
#include "ui_AddressBookPanel.h"
#include "ui_PreferencesWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace {
const QString email = QStringLiteral("ann@example.test");

struct Client : AppHarness
{
    explicit Client(const QUrl& secure = {}, std::chrono::milliseconds timeout = 60s,
                    qint64 credits = 10, const QString& contacts = AddressBook::defaultFolder())
        : AppHarness(timeout, contacts)
    {
        configure(email, credits);
        test.settings.setString(QStringLiteral("senderID"), QStringLiteral("Ann"));
        open(secure);
    }
};
} // namespace

class TestSendMessage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void requestBody_data()
    {
        QTest::addColumn<std::optional<StringDictionary>>("credentials");
        QTest::addColumn<std::optional<QString>>("senderID");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("values escaped, byte for byte")
            << std::optional(
                   StringDictionary{{"CompanyId", "C 1"}, {"UserId", "u=1"}, {"Password", "p&w+d"}})
            << std::optional(QStringLiteral("Tom&Jerry")) << "+44 7700 900123"
            << "Hello"
            << QByteArray("CompanyId=C%201&UserId=u%3D1&Password=p%26w%2Bd&Msisdn=447700900123"
                          "&MessageText=Hello&OasText=Tom%26Jerry\r\n");
        QTest::newRow("absent values are (null)")
            << std::optional<StringDictionary>() << std::optional<QString>() << "123"
            << ""
            << QByteArray("CompanyId=(null)&UserId=(null)&Password=(null)&Msisdn=123"
                          "&MessageText=&OasText=(null)\r\n");
        QTest::newRow("empty sender ID is an empty value")
            << std::optional<StringDictionary>() << std::optional(QString()) << "123"
            << "x"
            << QByteArray("CompanyId=(null)&UserId=(null)&Password=(null)&Msisdn=123"
                          "&MessageText=x&OasText=\r\n");
    }

    void requestBody()
    {
        QFETCH(std::optional<StringDictionary>, credentials);
        QFETCH(std::optional<QString>, senderID);
        QFETCH(QString, number);
        QFETCH(QString, message);
        QFETCH(QByteArray, body);

        Client client;
        client.test.settings.insertRaw(QStringLiteral("QuibboAPIConnectionParams"), QJsonValue());
        client.test.settings.insertRaw(QStringLiteral("senderID"), QJsonValue());
        if (credentials)
            client.test.settings.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                                               *credentials);
        if (senderID)
            client.test.settings.setString(QStringLiteral("senderID"), *senderID);
        client.compose(message, number);
        client.send();
        QCOMPARE(client.service.sendBodies(), QList<QByteArray>{body});
    }

    void sentMessageArrivesAndClearsTheComposer()
    {
        Client client;
        // Every character a form body gives a meaning to reaches the service as itself.
        const QString text = QString::fromUtf8("Fish & chips = 5 + 10% €");
        client.compose(text, QStringLiteral("07700 900123"));
        client.ui().sendToComboBox->setFocus();
        client.send();

        const QuibboService::Account* account = client.service.account(email);
        QCOMPARE(account->messages.size(), 1);
        QCOMPARE(account->messages.first().text, text);
        QVERIFY(client.service.sendBodies().first().contains(
            "&MessageText=Fish%20%26%20chips%20%3D%205%20%2B%2010%25%20%E2%82%AC&"));
        QCOMPARE(account->messages.first().msisdn, QStringLiteral("07700900123"));

        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QCOMPARE(TextColours::of(client.ui().statusField->palette()), TextColours::success);
        QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Sent"));
        QCOMPARE(client.test.sounds.played, QStringList{QStringLiteral("Purr")});
        QCOMPARE(client.ui().messageField->toPlainText(), QString());
        QCOMPARE(client.ui().charcntField->text(), QStringLiteral("1(0)"));
        QCOMPARE(client.ui().sendToComboBox->currentText(), QString());
        QCOMPARE(client.ui().sendToComboBox->itemText(0), QStringLiteral("07700 900123"));
        QCOMPARE(client.test.settings.arrayForKey(QStringLiteral("RecentMsisdns")),
                 QStringList{QStringLiteral("07700 900123")});
        QCOMPARE(client.window->focusWidget(), client.ui().messageField);
        QVERIFY(client.ui().sendSMSButton->isEnabled());
        QVERIFY(!client.ui().messageField->isReadOnly());
    }

    // The balance and the history follow a sent message on their timers.
    void sentMessageRefreshesBalanceAndHistory()
    {
        Client client({}, 60s, 10);
        QSignalSpy credits(&client.window->credits(), &CreditsUpdater::exchangeFinished);
        client.compose(QStringLiteral("hi"), QStringLiteral("123"));
        client.send();

        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.test.time.advance(5s);
        QVERIFY(credits.wait());
        QCOMPARE(client.ui().creditsDisplay->text(), QStringLiteral("9"));
        QCOMPARE(client.ui().progressDescription->text(), QString());
        QCOMPARE(TextColours::of(client.ui().progressDescription->palette()), TextColours::idle);

        // The history follows 10 s and 60 s after the send (what it shows is the notifications
        // test's).
        QVERIFY(fetched.isEmpty());
        client.test.time.advance(5s);
        QVERIFY(fetched.wait());
        fetched.clear();
        client.test.time.advance(50s);
        QVERIFY(fetched.wait());
    }

    void failures_data()
    {
        QTest::addColumn<int>("forcedStatus");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("requests");
        // Lack of credit ends the same way, behind its alert: see the buy-credits test.
        QTest::newRow("201 is rejected") << 201 << "123"
                                         << "Server rejected messages." << 1;
        QTest::newRow("letter in number") << 0 << "07700 9OO123"
                                          << "Invalid phone number." << 0;
    }

    void failures()
    {
        QFETCH(int, forcedStatus);
        QFETCH(QString, number);
        QFETCH(QString, reason);
        QFETCH(int, requests);

        Client client;
        client.service.forceSendStatus(forcedStatus);
        client.compose(QStringLiteral("keep me"), number);
        client.send();
        QCOMPARE(client.service.sendBodies().size(), requests);
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Message failed at 03:07 PM. ") + reason);
        QCOMPARE(TextColours::of(client.ui().statusField->palette()), TextColours::failure);
        QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Failed"));
        QCOMPARE(client.test.sounds.played, QStringList{QStringLiteral("Sosumi")});
        QCOMPARE(client.ui().messageField->toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(client.ui().sendToComboBox->currentText(), number);
        QCOMPARE(client.ui().sendToComboBox->count(), 0);
        QVERIFY(client.ui().sendSMSButton->isEnabled());

        client.test.time.advance(1999ms);
        QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Failed"));
        client.test.time.advance(1ms);
        QCOMPARE(client.ui().progressDescription->text(), QString());
    }

    // A message counts as sent once a 200's status line has arrived, whatever becomes of the
    // rest; a connection that never gets that far, or a certificate nobody vouches for, is a
    // failure to reach the service, and the message is kept for another try.
    void judgedByWhatReachesTheService()
    {
        const QString sent = QStringLiteral("Message sent at 03:07 PM.");
        const QString unreached =
            QStringLiteral("Message failed at 03:07 PM. Error talking to server.");
        ScriptedHttpServer cut({ScriptedHttpServer::Answer{200, {"ab"}, false, true}});
        QuibboService tls;
        QVERIFY(
            tls.listen(QHostAddress::LocalHost, 0,
                       QuibboService::loadTls(QStringLiteral(QUIBBO_TEST_DATA "/loopback.pem"),
                                              QStringLiteral(QUIBBO_TEST_DATA "/loopback.key"))));
        const auto c = tls.addAccount(email, QStringLiteral("secret"), 5);
        for (const auto& [secure, trusted, status] :
             {std::tuple(cut.url(), false, sent), std::tuple(refusingUrl(), false, unreached),
              std::tuple(tls.secureBaseUrl(), false, unreached),
              std::tuple(tls.secureBaseUrl(), true, sent)}) {
            Client client(secure);
            client.test.settings.setDictionary(QStringLiteral("QuibboAPIConnectionParams"),
                                               AppHarness::stored(c));
            if (trusted)
                client.test.network.setCertificateAuthorities(
                    readFile(QStringLiteral(QUIBBO_TEST_DATA "/test-ca.pem")));
            client.compose(QStringLiteral("keep me"), QStringLiteral("123"));
            client.send();
            QCOMPARE(client.ui().statusField->text(), status);
            QCOMPARE(client.ui().messageField->toPlainText(),
                     status == sent ? QString() : QStringLiteral("keep me"));
        }
        QCOMPARE(cut.targets, QList<QByteArray>{"/quib/sendMessage"});
        QCOMPARE(tls.sendBodies().size(), 1);
    }

    // Lack of credit fails the send behind an alert; once it is dismissed, the buy-credits page
    // opens if the account's details are stored, and the balance is refreshed every three
    // minutes (by one timer, however often the credit runs out).
    void insufficientCreditOffersTheBuyCreditsPage()
    {
        Client client({}, 60s, 0);
        QSignalSpy credits(&client.window->sender(), &SendSMSPushed::creditsRefreshRequested);
        client.compose(QStringLiteral("hi"), QStringLiteral("123"));
        for (const bool detailsStored : {false, true}) {
            if (detailsStored)
                client.test.settings.setDictionary(
                    QStringLiteral("accountDetails"),
                    {{"emailAddress", "ann+sms@example.test"}, {"password", "secret"}});
            client.ui().sendSMSButton->click();
            QTRY_COMPARE(client.test.alerts.waiting, 1);
            QCOMPARE(client.ui().statusField->text(),
                     QStringLiteral("Message failed at 03:07 PM. Insufficient credits."));
            QCOMPARE(client.ui().messageField->toPlainText(), QStringLiteral("hi"));
            QCOMPARE(client.test.alerts.shown.last().style, Alerts::Style::Warning);
            QCOMPARE(client.test.alerts.shown.last().message,
                     QStringLiteral("Insufficient credits in account"));
            QVERIFY(client.test.urls.opened.isEmpty());
            QCOMPARE(client.test.time.pendingMilliseconds().count(180'000), detailsStored ? 1 : 0);
            QCOMPARE(client.ui().sendProgressField->maximum(), 0); // turning while the alert waits
            client.test.alerts.dismiss();
            QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Failed"));
            QVERIFY(!client.ui().sendProgressField->isVisibleTo(client.window.get()));
            QCOMPARE(client.test.urls.opened.size(), detailsStored ? 1 : 0);
            QCOMPARE(client.test.time.pendingMilliseconds().count(180'000), 1);
        }
        QCOMPARE(client.test.urls.opened.first().query(QUrl::FullyEncoded),
                 QStringLiteral("quibboacc=ann%2Bsms%40example.test"));
        client.test.time.advance(2s);
        QCOMPARE(client.ui().progressDescription->text(), QString());
        client.test.time.advance(358s);
        QCOMPARE(credits.size(), 2);
    }

    void oneAttemptAtATime()
    {
        ScriptedHttpServer server({ScriptedHttpServer::Answer{200, {}, true}});
        Client client(server.url());
        client.compose(QStringLiteral("typed"), QStringLiteral("123"));
        client.ui().sendSMSButton->click();
        QVERIFY(client.window->sender().isSending());
        QVERIFY(!client.ui().sendSMSButton->isEnabled());
        QVERIFY(client.ui().messageField->isReadOnly());
        QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Sending..."));
        QCOMPARE(client.ui().sendProgressField->maximum(), 0); // turning

        QSignalSpy finished(&client.window->sender(), &SendSMSPushed::attemptFinished);
        client.window->sender().sendsms();
        QCOMPARE(finished.size(), 0);
        // An earlier word's reset timer must not blank "Sending...".
        client.test.time.advance(10s);
        QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Sending..."));
    }

    // What is typed comes back at the next start (written a second after the last keystroke, and
    // at a quit), and a message sent with Ctrl+Return is no longer a draft.
    void draftSurvivesARestart()
    {
        Client client;
        client.ui().sendToComboBox->setEditText(QStringLiteral("07700 900123"));
        QTest::keyClicks(client.ui().messageField, QStringLiteral("Half a tho"));
        client.test.time.advance(999ms);
        QCOMPARE(client.test.drafts.read(), std::nullopt);
        client.test.time.advance(1ms);
        QCOMPARE(client.test.drafts.read(),
                 (DraftStore::Draft{QStringLiteral("Half a tho"), QStringLiteral("07700 900123")}));
        QTest::keyClicks(client.ui().messageField, QStringLiteral("ught"));
        client.window.reset();
        client.open();
        QCOMPARE(client.ui().messageField->toPlainText(), QStringLiteral("Half a thought"));
        QCOMPARE(client.ui().sendToComboBox->currentText(), QStringLiteral("07700 900123"));
        client.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(client.window.get()));
        client.ui().messageField->setFocus();
        QSignalSpy finished(&client.window->sender(), &SendSMSPushed::attemptFinished);
        QTest::keyClick(client.ui().messageField, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(finished.wait());
        QCOMPARE(client.service.account(email)->messages.size(), 1);
        QCOMPARE(client.test.drafts.read(), std::nullopt);
    }

    // Ctrl+F reaches the history's search from the message; Ctrl+C in the table copies the rows
    // selected, not the current cell alone; File → Export History… writes the rows the search
    // shows to the file chosen in the save dialog, and a file that cannot be written is said,
    // with nothing left behind.
    void theHistoryIsSearchedCopiedAndExported()
    {
        Client client;
        for (const QString& text : {QStringLiteral("First"), QStringLiteral("Hi, \"you\"")}) {
            client.compose(text, QStringLiteral("07700 900123"));
            client.send();
        }
        QSignalSpy fetched(&client.window->history(), &MsgHistoryDataSource::fetchFinished);
        client.window->history().refreshMsgHistory();
        QVERIFY(fetched.wait());
        client.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(client.window.get()));

        client.ui().myTableView->setFocus();
        client.ui().myTableView->selectAll();
        QTest::keyClick(client.ui().myTableView, Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
        QCOMPARE(copied.size(), 3);
        // Newest first, as the service lists them.
        QVERIFY2(copied[0].endsWith(QStringLiteral("\t07700900123\t\tHi, \"you\"\tQueued")),
                 qPrintable(copied[0]));
        QVERIFY(copied[1].contains(QStringLiteral("\tFirst\t")));

        client.ui().messageField->setFocus();
        QTest::keyClick(client.ui().messageField, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), client.ui().historySearchField);
        QTest::keyClicks(client.ui().historySearchField, QStringLiteral("HI,"));
        QCOMPARE(client.ui().myTableView->model()->rowCount(), 1);
        QCOMPARE(client.ui().historyCountText->text(), QStringLiteral("Showing 1 of 2 messages."));

        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("file")), "a file, no folder"));
        // A name typed without its ending gets ".csv".
        for (const QString& name : {QStringLiteral("sent"), QStringLiteral("file/sent.csv")}) {
            const bool writable = !name.contains(QLatin1Char('/'));
            const QString path = folder.filePath(name);
            QSignalSpy exported(&client.window->historyExport(), &HistoryExport::exported);
            client.ui().exportHistoryAction->trigger();
            auto* dialog = client.window->findChild<QFileDialog*>();
            QVERIFY(dialog);
            dialog->selectFile(path);
            QVERIFY(QMetaObject::invokeMethod(dialog, "accept"));
            QVERIFY(exported.wait());
            QCOMPARE(exported.first().first().toInt() == 0, writable);
            if (writable) {
                const QList<QByteArray> lines =
                    readFile(folder.filePath(QStringLiteral("sent.csv"))).split('\n');
                QCOMPARE(lines.size(), 3);
                QCOMPARE(lines[0], "Time,Number,Name,Message,State\r");
                QVERIFY2(lines[1].endsWith(",07700900123,,\"Hi, \"\"you\"\"\",Queued\r"),
                         lines[1].constData());
                QVERIFY(client.test.alerts.shown.isEmpty());
            } else {
                QVERIFY(!QFile::exists(path));
                QCOMPARE(client.test.alerts.shown.size(), 1);
                QVERIFY(client.test.alerts.shown[0].message.startsWith(
                    QStringLiteral("The history could not be exported: ")));
            }
        }
    }

    // The preferences window and the sender share the stored choices.
    void preferencesChangeWhatIsSent()
    {
        Client client;
        client.window->ui().preferencesAction->trigger();
        Ui::PreferencesWindow& p = client.window->preferencesWindow().ui();
        p.mySenderIDField->setText(QStringLiteral("Ann's"));
        emit p.mySenderIDField->editingFinished();
        p.myTranslateNumberTickBox->click();
        QTest::keyClicks(p.myCountryCode, QStringLiteral("49"));
        emit p.myCountryCode->editingFinished();
        client.compose(QStringLiteral("x"), QStringLiteral("0170 1234567"));
        client.send();
        const QuibboService::SentMessage sent = client.service.account(email)->messages.first();
        QCOMPARE(sent.msisdn, QStringLiteral("491701234567"));
        QCOMPARE(sent.senderId, QStringLiteral("Ann's"));
    }

    // The panel opens from the keyboard, and only then reads what it shows. Its numbers table
    // reads like the lists beside it: no row numbers, rows as tall as theirs, numbers whole.
    void addressBookPanelOpensOnControlB()
    {
        Client client({}, 60s, 10, QStringLiteral(QUIBBO_TEST_DATA "/contacts"));
        client.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(client.window.get()));
        QVERIFY(!client.window->addressBookPanel().browser().isLoaded());
        client.ui().messageField->setFocus();
        QTest::keyClick(client.ui().messageField, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(client.window->addressBookPanel().isVisible());
        QVERIFY(client.window->addressBookPanel().browser().isLoaded());

        Ui::AddressBookPanel& b = client.window->addressBookPanel().ui();
        b.nameTableView->setCurrentIndex(b.nameTableView->model()->index(2, 0));
        QTableView* numbers = b.valueTableView;
        QVERIFY(!numbers->verticalHeader()->isVisible());
        QVERIFY(numbers->rowHeight(0) <= b.nameTableView->sizeHintForRow(0) + 8);
        for (int row = 0; row < numbers->model()->rowCount(); ++row) {
            const QString number = numbers->model()->index(row, 1).data().toString();
            QVERIFY2(numbers->fontMetrics().horizontalAdvance(number) < numbers->columnWidth(1),
                     qPrintable(number));
        }
    }

    // Every input, button, list and indicator of every window has a name a screen reader can
    // say; a label whose text changes keeps that text as its name and says its role.
    void everyControlIsNamedForScreenReaders()
    {
        Client client;
        const auto spoken = [](QWidget* w, QAccessible::Text what = QAccessible::Name) {
            return QAccessible::queryAccessibleInterface(w)->text(what);
        };
        for (QWidget* w : client.window->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                 qobject_cast<QComboBox*>(w) || qobject_cast<QProgressBar*>(w) ||
                                 qobject_cast<QAbstractItemView*>(w) ||
                                 qobject_cast<QPlainTextEdit*>(w);
            // Parts of Qt's own composite widgets are named by their owners.
            const bool inner = w->objectName().startsWith(QLatin1String("qt_")) ||
                               w->objectName().isEmpty() || qobject_cast<QHeaderView*>(w);
            if (control && !inner)
                QVERIFY2(!spoken(w).isEmpty(), qPrintable(w->objectName()));
            if (auto* label = qobject_cast<QLabel*>(w);
                label && !label->accessibleDescription().isEmpty())
                QCOMPARE(label->accessibleName(), QString());
        }

        client.compose(QString(), QString());
        client.send();
        const QList<std::pair<QLabel*, QString>> changing{
            {client.ui().statusField, QStringLiteral("Status")},
            {client.ui().progressDescription, QStringLiteral("Progress")},
            {client.ui().charcntField,
             QStringLiteral("Message length: parts, then characters in the last part")},
            {client.ui().creditsDisplay, QStringLiteral("Credits")},
            {client.ui().lastRefreshedText, QStringLiteral("History status")}};
        for (const auto& [label, role] : changing) {
            QCOMPARE(spoken(label), label->text());
            QCOMPARE(spoken(label, QAccessible::Description), role);
        }
        QCOMPARE(spoken(client.ui().statusField),
                 QStringLiteral("Message failed at 03:07 PM. Invalid phone number."));
    }
};

QTEST_MAIN(TestSendMessage)
#include "tst_sendmessage.moc"
