#include "AddressBookController.h"
#include "AddressBookPanel.h"
#include "InstalledTranslations.h"
#include "MsgHistoryDataSource.h"
#include "Outbox.h"
#include "ProxiedClient.h"
#include "TestFiles.h"
#include "ui_AddressBookPanel.h"

#include <QAbstractItemModel>
#include <QListView>
#include <QTemporaryDir>
#include <QTreeView>

using namespace std::chrono_literals;
using Behaviour = ChaosProxy::Behaviour;

namespace {
const QString email = QStringLiteral("ann@example.test");
const QString text = QStringLiteral("Practice moved to six");

QByteArray card(const QString& uid, const QString& name, const QString& mobile)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:%2;;;\r\n"
                          "TEL;TYPE=CELL:%3\r\nEND:VCARD\r\n")
        .arg(uid, name, mobile)
        .toUtf8();
}

// The client as the outbox's tests run it, with an address book of its own.
struct Client : ProxiedClient
{
    explicit Client(qint64 credits = 100, const QString& contacts = AddressBook::defaultFolder())
        : ProxiedClient(credits, 60s, contacts)
    {}

    // The numbers the service has the text for, oldest first.
    QStringList received() const
    {
        QStringList numbers;
        for (const QuibboService::SentMessage& sent : service.account(email)->messages)
            if (sent.text == text)
                numbers.prepend(sent.msisdn);
        return numbers;
    }

    // Each row of the outcome list: the recipient as typed, and what became of it.
    QStringList outcomes()
    {
        QStringList rows;
        const QAbstractItemModel* model = ui().outcomesView->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows.append(model->index(row, 0).data().toString() + QLatin1String(": ") +
                        model->index(row, 1).data().toString());
        return rows;
    }

    QString box() { return ui().sendToComboBox->currentText(); }
};
} // namespace

// One message to several people: one request per distinct number, each exactly once, and an
// outcome for each.
class TestSendToSeveral : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        // The counts' English plural forms, as the client installs them.
        translations.install();
    }

    void eachDistinctNumberOnce()
    {
        Client client;
        client.compose(text, QStringLiteral("07700 900123, 07700 900456; 07700900123"));
        client.ui().sendSMSButton->setFocus();
        QCOMPARE(client.ui().messageCountField->text(),
                 QStringLiteral("2 recipients × 1 part = 2 messages"));
        QSignalSpy progress(&client.window->sender(), &SendSMSPushed::recipientFinished);
        client.pressSend();

        QCOMPARE(client.received(), (QStringList{"07700900123", "07700900456"}));
        QCOMPARE(progress.size(), 2);
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Sent to 2 of 2 recipients at 03:07 PM."));
        QCOMPARE(client.test.sounds.played, QStringList{QStringLiteral("Purr")});
        QCOMPARE(client.outcomes(), (QStringList{"07700 900123: Sent", "07700 900456: Sent"}));
        QVERIFY(client.ui().outcomesView->isVisibleTo(client.window.get()));
        // Everyone got it: both fields empty, as after a single send.
        QCOMPARE(client.ui().messageField->toPlainText(), QString());
        QCOMPARE(client.box(), QString());
        QCOMPARE(client.test.settings.arrayForKey(QStringLiteral("RecentMsisdns")),
                 (QStringList{"07700 900456", "07700 900123"}));
        QVERIFY(client.ui().sendSMSButton->isEnabled());
        QVERIFY(!client.ui().messageField->isReadOnly());
        QVERIFY(!client.ui().sendProgressField->isVisibleTo(client.window.get()));
        QCOMPARE(client.window->focusWidget(), client.ui().messageField);

        // The next send to one alone is a single send again: the list goes.
        client.compose(QStringLiteral("just you"), QStringLiteral("07700 900789"));
        QCOMPARE(client.ui().messageCountField->text(), QString());
        client.pressSend();
        QCOMPARE(client.ui().statusField->text(), QStringLiteral("Message sent at 03:07 PM."));
        QVERIFY(!client.ui().outcomesView->isVisibleTo(client.window.get()));
    }

    // One refused of three: the other two get it, and a second press sends to that one alone.
    void oneRefusedOfThree()
    {
        Client client;
        client.compose(text, QStringLiteral("07700 900123, 07700 900404, 07700 900456"));
        client.pressSend();

        QCOMPARE(client.received(), (QStringList{"07700900123", "07700900456"}));
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Sent to 2 of 3 recipients at 03:07 PM. 1 failed."));
        QCOMPARE(client.test.sounds.played, QStringList{QStringLiteral("Sosumi")});
        QCOMPARE(client.outcomes(),
                 (QStringList{"07700 900123: Sent", "07700 900404: The server rejected the message",
                              "07700 900456: Sent"}));
        QCOMPARE(client.box(), QStringLiteral("07700 900404"));
        QCOMPARE(client.ui().messageField->toPlainText(), text);

        client.test.sounds.played.clear();
        client.pressSend();
        QCOMPARE(client.service.sendBodies().size(), 4);
        QVERIFY(client.service.sendBodies().last().contains("&Msisdn=07700900404&"));
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Message failed at 03:07 PM. Server rejected messages."));
        QCOMPARE(client.test.sounds.played, QStringList{QStringLiteral("Sosumi")});
    }

    // A lack of credit stops the rest: one alert, the buy-credits page, and the recipients not
    // yet sent stay in the box.
    void aLackOfCreditStopsTheRest()
    {
        Client client(2);
        client.test.settings.setDictionary(QStringLiteral("accountDetails"),
                                           {{"emailAddress", email}, {"password", "secret"}});
        client.compose(text, QStringLiteral("07700 900001, 07700 900002, 07700 900003, "
                                            "07700 900004"));
        QSignalSpy finished(&client.window->sender(), &SendSMSPushed::attemptFinished);
        client.ui().sendSMSButton->click();
        QTRY_COMPARE(client.test.alerts.waiting, 1);
        QCOMPARE(client.service.sendBodies().size(), 3);
        QCOMPARE(client.received(), (QStringList{"07700900001", "07700900002"}));
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Sent to 2 of 4 recipients at 03:07 PM. 1 failed. 1 not sent "
                                "for lack of credit."));
        QCOMPARE(client.outcomes(), (QStringList{"07700 900001: Sent", "07700 900002: Sent",
                                                 "07700 900003: Insufficient credits",
                                                 "07700 900004: Not sent: insufficient credits"}));
        QCOMPARE(client.box(), QStringLiteral("07700 900003, 07700 900004"));
        QCOMPARE(client.test.alerts.shown.size(), 1);
        QVERIFY(finished.isEmpty());
        client.test.alerts.dismiss();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(client.test.urls.opened.size(), 1);
        QVERIFY(client.ui().sendSMSButton->isEnabled());
    }

    // An answer that never came is looked up for that recipient alone.
    void aDroppedAnswerIsFoundInTheHistory()
    {
        Client client;
        client.readHistory();
        client.proxy.script("POST", {Behaviour::PassThrough, Behaviour::ForwardThenDrop,
                                     Behaviour::ResetBeforeAnswer, Behaviour::PassThrough});
        client.compose(text, QStringLiteral("07700 900001, 07700 900002, 07700 900003, "
                                            "07700 900004"));
        client.pressSend();

        QCOMPARE(client.received(), (QStringList{"07700900001", "07700900002", "07700900004"}));
        QCOMPARE(
            client.outcomes(),
            (QStringList{
                "07700 900001: Sent",
                "07700 900002: Sent: its answer never came, but the service's history lists it",
                "07700 900003: The service did not receive it: you can send it again",
                "07700 900004: Sent"}));
        QCOMPARE(client.box(), QStringLiteral("07700 900003"));
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Sent to 3 of 4 recipients at 03:07 PM. 1 failed."));

        client.pressSend();
        QCOMPARE(client.received(),
                 (QStringList{"07700900001", "07700900002", "07700900004", "07700900003"}));
        QCOMPARE(client.box(), QString());
    }

    // A quit while the second of three is out: after the start the one out is looked up, the
    // box holds the rest, and nobody gets the message twice or not at all.
    void aRestartInTheMiddle()
    {
        Client client;
        client.readHistory();
        client.proxy.script("POST", {Behaviour::PassThrough, Behaviour::ForwardThenHold});
        client.compose(text, QStringLiteral("07700 900001, 07700 900002, 07700 900003"));
        client.ui().sendSMSButton->click();
        QTRY_COMPARE(client.received().size(), 2);
        QCOMPARE(client.box(), QStringLiteral("07700 900002, 07700 900003"));

        client.restart();
        QCOMPARE(client.ui().messageField->toPlainText(), text);
        // The one whose answer never came is found in the history, and leaves the box.
        QTRY_COMPARE(client.box(), QStringLiteral("07700 900003"));
        QCOMPARE(client.ui().messageField->toPlainText(), text);
        client.pressSend();
        QCOMPARE(client.received(), (QStringList{"07700900001", "07700900002", "07700900003"}));
        QCOMPARE(client.box(), QString());
        QCOMPARE(client.ui().messageField->toPlainText(), QString());
    }

    // A name stands for the person's mobile number; a name of two people, or a recipient that is
    // no number, sends nothing.
    void namesInTheBox()
    {
        QTemporaryDir contacts;
        QVERIFY(
            writeFile(contacts.filePath("sam-jones.vcf"), card("sj", "Jones;Sam", "07700 900101")));
        QVERIFY(writeFile(contacts.filePath("sam-lee.vcf"), card("sl", "Lee;Sam", "07700 900102")));
        Client client(100, contacts.path());
        client.compose(text, QStringLiteral("Sam, 07700 900123"));
        client.pressSend();
        QVERIFY(client.service.sendBodies().isEmpty());
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Message failed at 03:07 PM. \"Sam\" may be Sam Jones (Mobile: "
                                "07700 900101) or Sam Lee (Mobile: 07700 900102): type the "
                                "number to send to. Nothing was sent."));
        // An invalid recipient among valid ones: nothing goes, and the box keeps them all.
        client.compose(text, QStringLiteral("07700 900123, 07700 9001234567890"));
        client.pressSend();
        QVERIFY(client.service.sendBodies().isEmpty());
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Message failed at 03:07 PM. Not a phone number, nor the name of "
                                "anyone with a mobile number: 07700 9001234567890. Nothing was "
                                "sent."));
        QCOMPARE(client.box(), QStringLiteral("07700 900123, 07700 9001234567890"));

        client.compose(text, QStringLiteral("sam lee, 07700 900123, 07700 900102"));
        client.pressSend();
        QCOMPARE(client.received(), (QStringList{"07700900102", "07700900123"}));
        QCOMPARE(client.outcomes(), (QStringList{"sam lee: Sent", "07700 900123: Sent"}));
        QCOMPARE(client.box(), QString());
    }

    // Two groups from the address book panel, with someone in both: they get the message once,
    // also when the box names them by another spelling of their number.
    void aPersonInTwoGroupsGetsItOnce()
    {
        QTemporaryDir contacts;
        const auto member = [&contacts](const QString& uid, const QString& mobile,
                                        const QString& groups) {
            return writeFile(
                contacts.filePath(uid + QStringLiteral(".vcf")),
                card(uid, uid + QStringLiteral(";Lovell"), mobile)
                    .replace("END:VCARD", "CATEGORIES:" + groups.toUtf8() + "\r\nEND:VCARD"));
        };
        QVERIFY(member(QStringLiteral("Ann"), QStringLiteral("07700 900301"),
                       QStringLiteral("Choir,Family")));
        QVERIFY(
            member(QStringLiteral("Bob"), QStringLiteral("07700 900302"), QStringLiteral("Choir")));
        QVERIFY(
            member(QStringLiteral("Cy"), QStringLiteral("07700 900303"), QStringLiteral("Family")));
        Client client(100, contacts.path());
        client.compose(text, QStringLiteral("07700900301"));
        AddressBookPanel& panel = client.window->addressBookPanel();
        panel.browser().load();
        QListView& groups = *panel.ui().groupTableView;
        for (const QString& group : {QStringLiteral("Choir"), QStringLiteral("Family")}) {
            const QModelIndexList found =
                groups.model()->match(groups.model()->index(0, 0), Qt::DisplayRole, group);
            QCOMPARE(found.size(), 1);
            groups.setCurrentIndex(found.first());
            panel.ui().addGroupButton->click();
        }
        QCOMPARE(client.box(),
                 QStringLiteral("07700900301, 07700 900301, 07700 900302, 07700 900303"));
        QCOMPARE(client.ui().messageCountField->text(),
                 QStringLiteral("3 recipients × 1 part = 3 messages"));
        client.pressSend();
        QCOMPARE(client.received(), (QStringList{"07700900301", "07700900302", "07700900303"}));
        QCOMPARE(client.box(), QString());
    }

    void aboveTenItAsksFirst()
    {
        Client client;
        QStringList eleven;
        for (int i = 1; i <= 11; ++i)
            eleven.append(QStringLiteral("07700 9001%1").arg(i, 2, 10, QLatin1Char('0')));
        client.compose(text, eleven.join(QLatin1String(", ")));
        client.ui().sendSMSButton->click();
        QCOMPARE(client.test.alerts.asked.size(), 1);
        QCOMPARE(client.test.alerts.asked.last().message,
                 QStringLiteral("Send this message to 11 recipients?"));
        QVERIFY(client.window->sender().isSending());
        client.test.alerts.answer(false);
        QVERIFY(client.service.sendBodies().isEmpty());
        QVERIFY(client.ui().sendSMSButton->isEnabled());
        QVERIFY(!client.ui().sendProgressField->isVisibleTo(client.window.get()));
        QCOMPARE(client.ui().progressDescription->text(), QString());

        QSignalSpy finished(&client.window->sender(), &SendSMSPushed::attemptFinished);
        client.ui().sendSMSButton->click();
        client.test.alerts.answer(true);
        QVERIFY(finished.wait());
        QCOMPARE(client.received().size(), 11);
        QCOMPARE(client.ui().statusField->text(),
                 QStringLiteral("Sent to 11 of 11 recipients at 03:07 PM."));
        QCOMPARE(client.ui().progressDescription->text(), QStringLiteral("Sent"));
    }

    // The service out of reach: Send When Possible puts every recipient in the outbox, each a
    // message of its own, and each goes once when the service is back.
    void unreachedRecipientsWaitInTheOutbox()
    {
        Client client;
        client.serviceDown();
        client.compose(text, QStringLiteral("07700 900001, 07700 900002"));
        client.pressSend();
        QCOMPARE(client.outcomes(), (QStringList{"07700 900001: Error talking to server",
                                                 "07700 900002: Error talking to server"}));
        QVERIFY(client.ui().outboxOfferButton->isVisibleTo(client.window.get()));
        QSignalSpy changed(&client.window->outbox(), &Outbox::changed);
        client.ui().outboxOfferButton->click();
        QTRY_COMPARE(client.window->outbox().messages().size(), 2);
        QTRY_COMPARE(client.box(), QString());
        QCOMPARE(client.ui().messageField->toPlainText(), QString());

        client.serviceBack();
        client.test.time.advance(30s);
        QTRY_COMPARE(client.received().size(), 2);
        QTRY_VERIFY(client.window->outbox().messages().isEmpty());
    }

private:
    InstalledTranslations translations{QLocale(QLocale::English, QLocale::UnitedKingdom)};
};

QTEST_MAIN(TestSendToSeveral)
#include "tst_sendtoseveral.moc"
