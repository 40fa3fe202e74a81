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
