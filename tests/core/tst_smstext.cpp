#include "SmsText.h"

#include <QTest>

Q_DECLARE_METATYPE(PartsAndFill)

class TestSmsText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The length the service counts, and the parts it takes with the fill of the last one.
    void lengthAndParts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<PartsAndFill>("parts");
        const auto row = [](const char* name, const QString& text, qsizetype length,
                            PartsAndFill parts) { QTest::newRow(name) << text << length << parts; };
        row("empty", QString(), 0, {1, 0});
        row("plain", QStringLiteral("Hello"), 5, {1, 5});
        row("the nine escape characters", QStringLiteral("€[\\]^{|}~"), 18, {1, 18});
        row("other non-7-bit characters count one", QStringLiteral("é€ü"), 4, {1, 4});
        row("outside the BMP counts its two code units", QStringLiteral("\U0001F600"), 2, {1, 2});
        row("full part", QString(160, u'a'), 160, {1, 160});
        row("second part begins", QString(161, u'a'), 161, {2, 1});
        row("two full parts", QString(320, u'a'), 320, {2, 160});
    }
    void lengthAndParts()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, length);
        QFETCH(PartsAndFill, parts);
        QCOMPARE(countedLength(text), length);
        QCOMPARE(partsAndFill(length), parts);
    }
};

QTEST_GUILESS_MAIN(TestSmsText)
#include "tst_smstext.moc"
