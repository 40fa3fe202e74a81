#include "HistoryCsv.h"
#include "HistoryParser.h"
#include "HistoryTimeWording.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

namespace {
// A row as one line: time|number|message|state, with "-" for an absent value and a line break
// in the message written as \n.
QString describe(const HistoryRow& row)
{
    const QString time =
        row.timesent
            ? QDateTime::fromMSecsSinceEpoch(row.timesent->msecsSinceEpoch, Qt::OffsetFromUTC,
                                             row.timesent->offsetSeconds)
                  .toString(Qt::ISODate)
            : QStringLiteral("-");
    const QString message = row.message.value_or(QStringLiteral("-"));
    return QStringList{time, row.msisdn.value_or(QStringLiteral("-")),
                       QString(message).replace('\n', QStringLiteral("\\n")), stateText(row.state)}
        .join(QLatin1Char('|'));
}

QStringList parseAll(const QByteArray& document, int pieceSize, bool* started, bool* complete)
{
    HistoryParser parser;
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

    // Golden files: each NAME.xml in tests/data/history beside NAME.expected, whose first line
    // says whether the document started and was complete and whose other lines are its rows.
    void documents_data()
    {
        QTest::addColumn<QString>("path");
        const QDir folder(QStringLiteral(QUIBBO_TEST_DATA "/history"));
        for (const QString& name : folder.entryList({QStringLiteral("*.xml")}))
            QTest::newRow(qPrintable(name.chopped(4))) << folder.filePath(name.chopped(4));
    }

    // Whole, a byte at a time or in any other pieces, the document gives the same rows.
    void documents()
    {
        QFETCH(QString, path);
        QFile document(path + QStringLiteral(".xml"));
        QFile expected(path + QStringLiteral(".expected"));
        QVERIFY(document.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
        const QByteArray bytes = document.readAll();
        QStringList rows = QString::fromUtf8(expected.readAll()).split('\n', Qt::SkipEmptyParts);
        const QString state = rows.takeFirst();

        for (const int pieceSize : {int(bytes.size()), 1, 7, 100}) {
            bool started = false;
            bool complete = false;
            QCOMPARE(parseAll(bytes, std::max(pieceSize, 1), &started, &complete), rows);
            QCOMPARE(state, !started   ? QStringLiteral("not started")
                            : complete ? QStringLiteral("started, complete")
                                       : QStringLiteral("started, cut short"));
        }
    }

    // A message in characters of every UTF-8 width, the document cut anywhere, even inside a
    // character, and written to a file as it came.
    void everyCharacterWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("one byte") << QStringLiteral("a");
        QTest::newRow("two bytes") << QStringLiteral("\u00e9");
        QTest::newRow("three bytes") << QStringLiteral("\u20ac");
        QTest::newRow("four bytes") << QStringLiteral("\U0001F600");
        QTest::newRow("every width in a row") << QStringLiteral("a\u00e9\u20ac\U0001F600z");
        QTest::newRow("written as a reference") << QStringLiteral("\U0001F600&#x1F600;");
    }

    void everyCharacterWidth()
    {
        QFETCH(QString, text);
        const QByteArray document = "<Messages><Message msisdn=\"1\" timesent=\"2006-03-07 "
                                    "14:05:09 +0000\" state=\"2\">" +
                                    text.toUtf8() + "</Message></Messages>";
        const QString message =
            QString(text).replace(QStringLiteral("&#x1F600;"), QStringLiteral("\U0001F600"));
        for (int pieceSize = 1; pieceSize <= 8; ++pieceSize) {
            bool started = false;
            bool complete = false;
            QCOMPARE(
                parseAll(document, pieceSize, &started, &complete),
                QStringList{QStringLiteral("2006-03-07T14:05:09Z|1|%1|Successful").arg(message)});
        }
        HistoryRow row;
        row.message = message;
        QVERIFY(HistoryCsv::write({row}, ContactNames()).contains("," + message.toUtf8() + ","));
    }

    // At each edge of UTF-8's forms: a well-formed character is read, an ill-formed byte ends
    // the reading there, keeping the rows before it.
    void utf8AtEveryEdge_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("wellFormed");
        const auto row = [](const char* name, const char* bytes, bool wellFormed) {
            QTest::newRow(name) << QByteArray(bytes) << wellFormed;
        };
        row("U+007F", "\x7f", true);
        row("U+0080", "\xc2\x80", true);
        row("U+07FF", "\xdf\xbf", true);
        row("U+0800", "\xe0\xa0\x80", true);
        row("U+0FFF", "\xe0\xbf\xbf", true);
        row("U+1000", "\xe1\x80\x80", true);
        row("U+3000", "\xe3\x80\x80", true);
        row("U+CFFF", "\xec\xbf\xbf", true);
        row("U+D000", "\xed\x80\x80", true);
        row("U+D7FF", "\xed\x9f\xbf", true);
        row("U+E000", "\xee\x80\x80", true);
        row("U+FFFD", "\xef\xbf\xbd", true);
        row("U+10000", "\xf0\x90\x80\x80", true);
        row("U+3FFFF", "\xf0\xbf\xbf\xbf", true);
        row("U+40000", "\xf1\x80\x80\x80", true);
        row("U+FFFFF", "\xf3\xbf\xbf\xbf", true);
        row("U+100000", "\xf4\x80\x80\x80", true);
        row("U+10FFFF", "\xf4\x8f\xbf\xbf", true);
        row("a lone continuation", "\x80", false);
        row("overlong, two bytes", "\xc1\xbf", false);
        row("overlong, three bytes", "\xe0\x9f\xbf", false);
        row("overlong, four bytes", "\xf0\x8f\xbf\xbf", false);
        row("the first surrogate", "\xed\xa0\x80", false);
        row("the last surrogate", "\xed\xbf\xbf", false);
        row("beyond U+10FFFF", "\xf4\x90\x80\x80", false);
        row("a lead that never is one", "\xf5\x80\x80\x80", false);
        row("cut short", "\xe2\x82z", false);
    }

    void utf8AtEveryEdge()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, wellFormed);
        const QByteArray message = R"(<Message msisdn="%1" timesent="2006-03-07 14:05:09 +0000" )"
                                   R"(state="2">)";
        const QByteArray document = "<Messages>" + QByteArray(message).replace("%1", "1") +
                                    "before</Message>" + QByteArray(message).replace("%1", "2") +
                                    "a" + bytes + "b</Message></Messages>";
        bool started = false;
        bool complete = false;
        const QStringList rows = parseAll(document, int(document.size()), &started, &complete);
        QCOMPARE(complete, wellFormed);
        QCOMPARE(rows.size(), wellFormed ? 2 : 1);
        if (wellFormed)
            QCOMPARE(rows[1].section(u'|', 2, 2), "a" + QString::fromUtf8(bytes) + "b");
    }

    // Every offset the world's clocks use, -12:00 to +14:00 by quarter hours, at the turn of a
    // day, of a leap day and of the epoch: read as Qt reads it, written back as it was written,
    // and worded at the reader's own offset as the wall time it was written at.
    void everyOffset_data()
    {
        QTest::addColumn<QString>("wall");
        QTest::addColumn<int>("offset");
        for (int quarters = -12 * 4; quarters <= 14 * 4; ++quarters)
            for (const char* wall :
                 {"2024-02-29 23:59:59", "2027-01-01 00:00:00", "1970-01-01 00:14:00"})
                QTest::addRow("%s %+d min", wall, quarters * 15)
                    << QString::fromLatin1(wall) << quarters * 900;
    }

    void everyOffset()
    {
        QFETCH(QString, wall);
        QFETCH(int, offset);
        const int minutes = std::abs(offset) / 60;
        const QString text = QStringLiteral("%1 %2%3%4")
                                 .arg(wall, QLatin1String(offset < 0 ? "-" : "+"))
                                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
        const QDateTime written =
            QDateTime::fromString(wall, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QDateTime reference(written.date(), written.time(), Qt::OffsetFromUTC, offset);

        const std::optional<HistoryRow::SentTime> sent = parseSentTime(text);
        QVERIFY(sent);
        QCOMPARE(sent->msecsSinceEpoch, reference.toMSecsSinceEpoch());
        QCOMPARE(sent->offsetSeconds, offset);
        QString iso = reference.toString(Qt::ISODate);
        if (iso.endsWith(u'Z'))
            iso = iso.chopped(1) + QStringLiteral("+00:00");
        QCOMPARE(QString::fromLatin1(HistoryCsv::isoTime(*sent)), iso);
        QCOMPARE(localizeDate(sent, reference), QStringLiteral("Today ") + wall.mid(11, 5));
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
