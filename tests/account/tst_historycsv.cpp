#include "HistoryCsv.h"
#include "TestFiles.h"

#include <QTest>

namespace {
HistoryRow row(const char* time, const char* msisdn, const QString& text, HistoryRow::State state)
{
    return {parseSentTime(QString::fromLatin1(time)), QString::fromLatin1(msisdn), text, state};
}
} // namespace

class TestHistoryCsv : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every text a person sends and every name in their book, as a spreadsheet must read them
    // back: commas, quotes, line breaks of both kinds, accents and emoji; times in offsets west
    // and east, of half and three quarters of an hour; a row the service gave without a time.
    void theHistoryAsCsv()
    {
        const auto person = [](const QString& first, const QString& last, const QString& tel) {
            AddressBook::Person p;
            p.firstName = first;
            p.lastName = last;
            VCard::Phone phone;
            phone.value = tel;
            p.phones = {phone};
            return p;
        };
        const AddressBook::Person comma =
            person(QStringLiteral("Lind, Bea"), {}, QStringLiteral("447700900123"));
        const AddressBook::Person accents = person(
            QStringLiteral("Zoë"), QStringLiteral("\"Zed\" Ågren"), QStringLiteral("447700900456"));
        const ContactNames names = ContactNames::matched({comma, accents}, std::nullopt);
        using S = HistoryRow::State;
        const QList<HistoryRow> rows{
            row("2026-12-07 14:05:09 +0000", "447700900123", QStringLiteral("Plain text"),
                S::Successful),
            row("2026-12-07 09:00:00 -1200", "447700900123", QStringLiteral("One, two, three"),
                S::Queued),
            row("2026-12-31 23:59:59 +1400", "447700900456", QStringLiteral("She said \"hi\""),
                S::Ongoing),
            row("2026-01-01 00:00:00 +0545", "447700900456",
                QStringLiteral("Line one\nline two\r\nthree"), S::Failed),
            row("2026-06-30 12:30:00 -0930", "447700900789",
                QStringLiteral("Café €5 👍🏽 日本"), S::Unknown),
            {std::nullopt, QStringLiteral("447700900789"), QStringLiteral(" spaced "),
             S::Successful},
            {parseSentTime(u"1970-01-01 00:00:00 +0100"), std::nullopt, std::nullopt, S::Failed},
        };
        const QByteArray written = HistoryCsv::write(rows, names);
        const QString golden = QStringLiteral(QUIBBO_TEST_DATA "/history/export.csv");
        if (qEnvironmentVariableIsSet("QUIBBO_WRITE_GOLDEN"))
            QVERIFY(writeFile(golden, written));
        QCOMPARE(written, readFile(golden));
        QCOMPARE(HistoryCsv::write({}, names), QByteArray("Time,Number,Name,Message,State\r\n"));

        // The same rows as the clipboard's tab-separated text.
        const QByteArray copied = HistoryCsv::tabSeparated(rows, names).toUtf8();
        const QString tsv = QStringLiteral(QUIBBO_TEST_DATA "/history/export.tsv");
        if (qEnvironmentVariableIsSet("QUIBBO_WRITE_GOLDEN"))
            QVERIFY(writeFile(tsv, copied));
        QCOMPARE(copied, readFile(tsv));
    }
};

QTEST_GUILESS_MAIN(TestHistoryCsv)
#include "tst_historycsv.moc"
