#include "HistoryParser.h"
#include "HistoryTimeWording.h"

#include <QLocale>
#include <QTest>
#include <QTimeZone>

namespace {
// A row as one line: time|number|message|state, with "-" for an absent value.
QString describe(const HistoryRow& row)
{
    const QString time =
        row.timesent
            ? QDateTime::fromMSecsSinceEpoch(row.timesent->msecsSinceEpoch, Qt::OffsetFromUTC,
                                             row.timesent->offsetSeconds)
                  .toString(Qt::ISODate)
            : QStringLiteral("-");
    return QStringList{time, row.msisdn.value_or(QStringLiteral("-")),
                       row.message.value_or(QStringLiteral("-")), stateText(row.state)}
        .join(QLatin1Char('|'));
}

QStringList parseAll(const QByteArray& document, int pieceSize, bool* started, bool* complete)
{
    HistoryParser parser(20'000);
    for (qsizetype at = 0; at < document.size(); at += pieceSize)
        parser.addData(document.mid(at, pieceSize));
    parser.finish();
    *started = parser.started();
    *complete = parser.complete();
    QStringList rows;
    for (const HistoryRow& row : parser.takeRows())
        rows.append(describe(row));
    return rows;
}
} // namespace

class TestHistoryParser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void documents_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("complete");

        QTest::newRow("empty history") << QByteArray("<?xml version=\"1.0\"?><Messages></Messages>")
                                       << QStringList() << true << true;
        QTest::newRow("three in document order")
            << QByteArray("<Messages>"
                          "<Message msisdn=\"447700900001\" timesent=\"2006-03-07 14:05:09 +0000\" "
                          "state=\"0\">one</Message>"
                          "<Message msisdn=\"447700900002\" timesent=\"2006-03-07 14:05:09 +0130\" "
                          "state=\"1\">two</Message>"
                          "<Message msisdn=\"447700900003\" timesent=\"2006-03-07 14:05:09 -0500\" "
                          "state=\"2\">three</Message>"
                          "</Messages>")
            << QStringList{"2006-03-07T14:05:09Z|447700900001|one|Queued",
                           "2006-03-07T14:05:09+01:30|447700900002|two|Ongoing",
                           "2006-03-07T14:05:09-05:00|447700900003|three|Successful"}
            << true << true;
        QTest::newRow("only the four exact state codes")
            << QByteArray(
                   "<Messages><Message state=\"3\"/><Message state=\"4\"/><Message state=\"02\"/>"
                   "<Message state=\"Queued\"/><Message/></Messages>")
            << QStringList{"-|-|-|Failed", "-|-|-|Unknown", "-|-|-|Unknown", "-|-|-|Unknown",
                           "-|-|-|Unknown"}
            << true << true;
        QTest::newRow("unreadable times are absent")
            << QByteArray(
                   "<Messages><Message msisdn=\"1\" timesent=\"never\" state=\"2\">a</Message>"
                   "<Message msisdn=\"2\" timesent=\"07/03/2006 14:05:09 +0000\" "
                   "state=\"2\">b</Message>"
                   "<Message msisdn=\"3\" timesent=\"2006-02-30 14:05:09 +0000\" "
                   "state=\"2\">c</Message>"
                   "<Message msisdn=\"4\" timesent=\"2006-03-07 14:05:09 +0000 \" "
                   "state=\"2\">d</Message></Messages>")
            << QStringList{"-|1|a|Successful", "-|2|b|Successful", "-|3|c|Successful",
                           "-|4|d|Successful"}
            << true << true;
        QTest::newRow("text trimmed, inner line breaks kept, entities decoded")
            << QByteArray("<Messages>\n  <Message msisdn=\"1\">\n  first\nsecond &amp; &lt;3  "
                          "\n</Message>\n</Messages>")
            << QStringList{"-|1|first\nsecond & <3|Unknown"} << true << true;
        QTest::newRow("stray text starts the next message")
            << QByteArray("<Messages><Message msisdn=\"1\">a</Message>stray <Note>note</Note>"
                          "<Message msisdn=\"2\">b</Message></Messages>")
            << QStringList{"-|1|a|Unknown", "-|2|stray noteb|Unknown"} << true << true;
        QTest::newRow("nothing carries over between messages")
            << QByteArray("<Messages><Message msisdn=\"1\" timesent=\"2006-03-07 14:05:09 +0000\" "
                          "state=\"2\">a</Message>"
                          "<Message>b</Message></Messages>")
            << QStringList{"2006-03-07T14:05:09Z|1|a|Successful", "-|-|b|Unknown"} << true << true;
        QTest::newRow("broken part-way keeps what was read")
            << QByteArray(
                   "<Messages><Message msisdn=\"1\">a</Message><Message msisdn=\"2\">b</Mess")
            << QStringList{"-|1|a|Unknown"} << true << false;
        QTest::newRow("malformed part-way (a bad encoding is the same error)")
            << QByteArray(
                   "<Messages><Message msisdn=\"1\">a</Message><Message msisdn=\"2\">b</Wrong>"
                   "<Message msisdn=\"3\">c</Message></Messages>")
            << QStringList{"-|1|a|Unknown"} << true << false;
        QTest::newRow("entity expanded beyond the text limit")
            << QByteArray("<!DOCTYPE Messages [<!ENTITY e \"" + QByteArray(1000, 'x') +
                          "\">]><Messages><Message msisdn=\"1\">a</Message><Message>" +
                          QByteArray("&e;").repeated(30) + "</Message></Messages>")
            << QStringList{"-|1|a|Unknown"} << true << false;
        QTest::newRow("not XML") << QByteArray("<html Internal Server Error") << QStringList()
                                 << false << false;
        QTest::newRow("external entity is never read")
            << QByteArray(
                   "<?xml version=\"1.0\"?><!DOCTYPE Messages [<!ENTITY leak SYSTEM "
                   "\"file://" QUIBBO_TEST_DATA
                   "/test-ca.pem\">]><Messages><Message msisdn=\"1\">x&leak;y</Message></Messages>")
            << QStringList{"-|1|xy|Unknown"} << true << true;
    }

    // Whole, a byte at a time or in any other pieces, the document gives the same rows.
    void documents()
    {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, rows);
        QFETCH(bool, started);
        QFETCH(bool, complete);

        for (const int pieceSize : {int(document.size()), 1, 7, 100}) {
            bool wasStarted = false;
            bool wasComplete = false;
            QCOMPARE(parseAll(document, std::max(pieceSize, 1), &wasStarted, &wasComplete), rows);
            QCOMPARE(wasStarted, started);
            QCOMPARE(wasComplete, complete);
        }
    }

    void timeWording_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("timesent");
        QTest::addColumn<QString>("shown");

        const auto row = [](const char* name, const QDateTime& now, const char* timesent,
                            const char* shown) {
            QTest::newRow(name) << now << QString::fromLatin1(timesent)
                                << QString::fromLatin1(shown);
        };
        // Wednesday 8 March 2006, 10:00 at UTC+1.
        const QDateTime wednesday(QDate(2006, 3, 8), QTime(10, 0), Qt::OffsetFromUTC, 3600);
        row("today", wednesday, "2006-03-08 08:30:00 +0000", "Today 09:30");
        row("today after midnight here", wednesday, "2006-03-07 23:30:00 +0000", "Today 00:30");
        row("yesterday", wednesday, "2006-03-07 12:00:00 +0000", "Yesterday 13:00");
        row("five days back", wednesday, "2006-03-03 12:00:00 +0000", "Friday 13:00");
        row("six days back", wednesday, "2006-03-02 12:00:00 +0000", "2/03/06 13:00");
        row("tomorrow", wednesday, "2006-03-09 12:00:00 +0000", "Thursday 13:00");
        row("written at our offset", wednesday, "2006-03-08 09:30:00 +0100", "Today 09:30");
        row("no time", wednesday, "never", "Not Available");
        // 23:30 on Tuesday 7 March at UTC-5 is already Wednesday in UTC.
        const QDateTime newYork(QDate(2006, 3, 7), QTime(23, 30), Qt::OffsetFromUTC, -5 * 3600);
        row("other zone, today", newYork, "2006-03-08 01:00:00 +0000", "Today 20:00");
        row("other zone, yesterday", newYork, "2006-03-07 04:59:00 +0000", "Yesterday 23:59");
        row("other zone, weekday", newYork, "2006-03-02 12:00:00 +0100", "Thursday 06:00");
    }

    void timeWording()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, timesent);
        QFETCH(QString, shown);
        QCOMPARE(localizeDate(parseSentTime(timesent), now), shown);
    }
};

QTEST_GUILESS_MAIN(TestHistoryParser)
#include "tst_historyparser.moc"
