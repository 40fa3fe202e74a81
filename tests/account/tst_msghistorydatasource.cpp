#include "MsgHistoryDataSource.h"
#include "ScriptedHttpServer.h"
#include "TestFiles.h"
#include "TestPlatform.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTranslator>

using namespace std::chrono_literals;
using Answer = ScriptedHttpServer::Answer;

namespace {
const QByteArray twoMessages = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Messages>"
                               "<Message msisdn=\"447700900123\" timesent=\"2006-03-08 14:00:00 "
                               "+0000\" state=\"2\">Hello</Message>"
                               "<Message msisdn=\"447700900456\" timesent=\"2006-03-01 09:05:00 "
                               "+0000\" state=\"3\">Bye</Message>"
                               "</Messages>";
}

class TestMsgHistoryDataSource : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QUrl& secure, const QString& contacts = AddressBook::defaultFolder())
            : test(NetworkAccess::defaultTimeout, contacts),
              history({table, status, refresh}, test.platform(), ServiceEndpoints(secure, secure))
        {
            status.setText(QStringLiteral("initial"));
            history.awakeFromNib();
        }
        void fetch()
        {
            QSignalSpy finished(&history, &MsgHistoryDataSource::fetchFinished);
            refresh.click();
            QVERIFY(!refresh.isEnabled());
            QVERIFY(finished.wait());
            QVERIFY(refresh.isEnabled());
        }
        QStringList row(int r) const
        {
            QStringList cells;
            for (int c = 0; c < history.model().columnCount(); ++c)
                cells.append(history.model().index(r, c).data().toString());
            return cells;
        }
        TestPlatform test;
        QTableView table;
        QLabel status;
        QPushButton refresh;
        MsgHistoryDataSource history;
    };

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void documentFillsTheTableAndTheStatusLine()
    {
        ScriptedHttpServer server({Answer{200, {twoMessages.left(100), twoMessages.mid(100)}}});
        Fixture f(server.url());
        QAbstractItemModelTester tester(&f.history.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.fetch();

        QCOMPARE(f.history.model().rowCount(), 2);
        // FakeTime's clock reads Wednesday 8 March 2006, 15:07 local time (UTC in tests).
        QCOMPARE(f.row(0), (QStringList{"Today 14:00", "447700900123", "Hello", "Successful"}));
        QCOMPARE(f.row(1), (QStringList{"1/03/06 09:05", "447700900456", "Bye", "Failed"}));
        QCOMPARE(f.status.text(),
                 QStringLiteral("Listing last refreshed at 03:07 PM. Contains 2 messages."));
        QVERIFY(server.targets.first().endsWith("&Action=messages"));
    }

    // The history is read in slices of 256 KiB: a document of any length is read to its last
    // byte, one just past a slice too.
    void everyLengthIsReadToItsEnd_data()
    {
        QTest::addColumn<int>("length");
        for (const int length : {256 * 1024 - 1, 256 * 1024, 256 * 1024 + 1, 512 * 1024 + 1})
            QTest::addRow("%d bytes", length) << length;
    }

    void everyLengthIsReadToItsEnd()
    {
        QFETCH(int, length);
        const QByteArray end = "</Messages>";
        QByteArray document = twoMessages.chopped(end.size());
        document += QByteArray(length - document.size() - end.size(), ' ') + end;
        QCOMPARE(document.size(), length);
        ScriptedHttpServer server({Answer{200, {document}}});
        Fixture f(server.url());
        f.fetch();
        QCOMPARE(f.status.text(),
                 QStringLiteral("Listing last refreshed at 03:07 PM. Contains 2 messages."));
    }

    // The count reads as English and German count: one message, two messages.
    void theCountHasItsPluralForms_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("status");
        const QByteArray oneMessage =
            twoMessages.left(twoMessages.indexOf("<Message", 60)) + "</Messages>";
        QTest::newRow("English, one")
            << "en" << oneMessage << "Listing last refreshed at 03:07 PM. Contains 1 message.";
        QTest::newRow("English, two")
            << "en" << twoMessages << "Listing last refreshed at 03:07 PM. Contains 2 messages.";
        QTest::newRow("German, one")
            << "de" << oneMessage
            << "Liste zuletzt um 03:07 PM aktualisiert. Sie enthält 1 Nachricht.";
    }

    void theCountHasItsPluralForms()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, document);
        QFETCH(QString, status);
        QTranslator catalogue;
        QVERIFY(catalogue.load(
            QStringLiteral(QUIBBO_BIN_DIR "/../share/quibbo/translations/quibbo_") + language));
        QCoreApplication::installTranslator(&catalogue);
        ScriptedHttpServer server({Answer{200, {document}}});
        Fixture f(server.url());
        f.fetch();
        QCoreApplication::removeTranslator(&catalogue);
        QCOMPARE(f.status.text(), status);
    }

    // A message is shown as it came, never as markup, and a cell lays out a bounded prefix of
    // a huge one (the table's text layout fails on many megabytes).
    void messagesShowAsTheyCame()
    {
        const QString huge(3'000'000, u'x');
        ScriptedHttpServer server(
            {Answer{200,
                    {"<Messages><Message>Sign-ups are paused &lt;b&gt;today&lt;/b&gt; "
                     "&amp; tomorrow.</Message><Message>" +
                     huge.toLatin1() + "</Message></Messages>"}}});
        Fixture f(server.url());
        f.fetch();
        const QModelIndex marked = f.history.model().index(0, HistoryTableModel::MessageColumn);
        QCOMPARE(marked.data().toString(),
                 QStringLiteral("Sign-ups are paused <b>today</b> & tomorrow."));
        QCOMPARE(marked.data(Qt::ToolTipRole).toString(),
                 QStringLiteral("<p style='white-space:pre-wrap'>Sign-ups are paused "
                                "&lt;b&gt;today&lt;/b&gt; &amp; tomorrow.</p>"));
        const QModelIndex long_ = f.history.model().index(1, HistoryTableModel::MessageColumn);
        QVERIFY(long_.data().toString().size() <= 501);
        QVERIFY(long_.data(Qt::ToolTipRole).toString().size() < 3000);
    }

    // A number that belongs to a card shows the card's name, matched on the digits the service
    // writes: the card's number reduced as the send reduces it, with the translation of now.
    void numbersShowTheirContactsNames()
    {
        QTemporaryDir contacts;
        QVERIFY(writeFile(contacts.filePath(QStringLiteral("book.vcf")),
                          "BEGIN:VCARD\nVERSION:3.0\nN:Adams;Zoe;;;\nTEL;TYPE=CELL:07700 900123\n"
                          "END:VCARD\nBEGIN:VCARD\nVERSION:3.0\nORG:Acme Ltd\n"
                          "TEL:+44 (7700) 900456\nEND:VCARD\n"));
        ScriptedHttpServer server({Answer{200, {twoMessages}}});
        Fixture f(server.url(), contacts.path());
        f.test.settings.setDictionary(QStringLiteral("numberTranslation"),
                                      {{"translationState", "ON"}, {"countryCode", "44"}});
        QSignalSpy read(&f.test.addressBook, &AddressBook::changed);
        f.test.addressBook.prefetch();
        QVERIFY(read.wait());
        f.fetch();
        QCOMPARE(f.row(0).at(1), QStringLiteral("Zoe Adams (447700900123)"));
        QCOMPARE(f.row(1).at(1), QStringLiteral("Acme Ltd (447700900456)"));
        // Translation turned off in the preferences: the national number no longer reads as
        // the service writes it, at once, before any fetch.
        f.test.typedSettings->setNumberTranslation(false, QStringLiteral("44"));
        QCOMPARE(f.row(0).at(1), QStringLiteral("447700900123"));
        QCOMPARE(f.row(1).at(1), QStringLiteral("Acme Ltd (447700900456)"));
    }

    // Refreshes that fail, whichever way, leave the last good rows and status line in place; a
    // document cut off by a reset is no answer, though it began well.
    void failedFetchesKeepTheLastGoodRows()
    {
        ScriptedHttpServer server(
            {Answer{200, {twoMessages}}, Answer{500, {twoMessages}},
             Answer{200, {"Service unavailable"}},
             Answer{200, {twoMessages.left(150)}, false, true},
             Answer{200,
                    {QByteArray(twoMessages)
                         .replace("<Messages>", "<!DOCTYPE Messages><Messages>")}}});
        Fixture f(server.url());
        f.fetch();
        f.test.time.advance(60s); // a status line written again would say 03:08
        for (int failure = 0; failure < 4; ++failure) {
            f.fetch();
            QCOMPARE(f.history.model().rowCount(), 2);
            QCOMPARE(f.status.text(),
                     QStringLiteral("Listing last refreshed at 03:07 PM. Contains 2 messages."));
        }
    }

    void brokenDocumentShowsTheRowsBeforeTheBreak()
    {
        ScriptedHttpServer server(
            {Answer{200, {twoMessages}},
             Answer{200, {"<Messages><Message msisdn=\"1\">kept</Message><Message>lost"}}});
        Fixture f(server.url());
        f.fetch();
        f.fetch();
        QCOMPARE(f.history.model().rowCount(), 1);
        QCOMPARE(f.row(0).at(2), QStringLiteral("kept"));
        QCOMPARE(f.status.text(),
                 QStringLiteral("Listing last refreshed at 03:07 PM. Contains 2 messages."));
    }

    void newerFetchSupersedesOneInFlight()
    {
        ScriptedHttpServer server({Answer{200, {twoMessages}, true},
                                   Answer{200, {"<Messages><Message>new</Message></Messages>"}}});
        Fixture f(server.url());
        QSignalSpy finished(&f.history, &MsgHistoryDataSource::fetchFinished);
        f.history.refreshMsgHistoryAfterWaitingALittleBit();
        QTRY_COMPARE(server.targets.size(), 1);
        f.history.refreshMsgHistoryAfterWaitingALittleBit();
        QVERIFY(finished.wait());
        server.release(0);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(f.history.model().rowCount(), 1);
        QCOMPARE(f.row(0).at(2), QStringLiteral("new"));
    }
};

QTEST_MAIN(TestMsgHistoryDataSource)
#include "tst_msghistorydatasource.moc"
