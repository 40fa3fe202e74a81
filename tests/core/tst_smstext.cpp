#include "SmsText.h"

#include <QTest>

class TestSmsText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void countedLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("length");
        QTest::newRow("empty") << QString() << qsizetype(0);
        QTest::newRow("plain") << QStringLiteral("Hello") << qsizetype(5);
        QTest::newRow("the nine escape characters")
            << QStringLiteral("€[\\]^{|}~") << qsizetype(18);
        QTest::newRow("other non-7-bit characters count one")
            << QStringLiteral("é€ü") << qsizetype(4);
        QTest::newRow("outside the BMP counts its two code units")
            << QStringLiteral("\U0001F600") << qsizetype(2);
    }
    void countedLength()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, length);
        QCOMPARE(::countedLength(text), length);
    }

    void partsAndFill_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<qsizetype>("parts");
        QTest::addColumn<qsizetype>("fill");
        QTest::newRow("empty") << qsizetype(0) << qsizetype(1) << qsizetype(0);
        QTest::newRow("full part") << qsizetype(160) << qsizetype(1) << qsizetype(160);
        QTest::newRow("second part begins") << qsizetype(161) << qsizetype(2) << qsizetype(1);
        QTest::newRow("two full parts") << qsizetype(320) << qsizetype(2) << qsizetype(160);
        QTest::newRow("four full parts") << qsizetype(640) << qsizetype(4) << qsizetype(160);
    }
    void partsAndFill()
    {
        QFETCH(qsizetype, length);
        QFETCH(qsizetype, parts);
        QFETCH(qsizetype, fill);
        QCOMPARE(::partsAndFill(length), (PartsAndFill{parts, fill}));
    }

    // The result must equal the one of shortening the text by one code unit at a time until it
    // fits, except that a surrogate pair at the boundary is dropped whole.
    void fittingPrefix_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<qsizetype>("kept");
        const QString plain160(160, u'a');
        QTest::newRow("fits") << plain160 << qsizetype(160) << qsizetype(160);
        QTest::newRow("161st plain character")
            << plain160 + u'b' << qsizetype(160) << qsizetype(160);
        QTest::newRow("80 euro signs fit")
            << QString(80, QChar(0x20AC)) << qsizetype(160) << qsizetype(80);
        QTest::newRow("81st euro sign")
            << QString(81, QChar(0x20AC)) << qsizetype(160) << qsizetype(80);
        QTest::newRow("bracket after 159 keeps 159")
            << QString(159, u'a') + u'[' << qsizetype(160) << qsizetype(159);
        QTest::newRow("641st with long messages")
            << QString(641, u'a') << qsizetype(640) << qsizetype(640);
        QTest::newRow("surrogate pair at the boundary is dropped whole")
            << QString(159, u'a') + QStringLiteral("\U0001F600") << qsizetype(160)
            << qsizetype(159);
        QTest::newRow("surrogate pair that fits is kept")
            << QString(158, u'a') + QStringLiteral("\U0001F600z") << qsizetype(160)
            << qsizetype(160);
        QTest::newRow("empty") << QString() << qsizetype(160) << qsizetype(0);
    }
    void fittingPrefix()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, limit);
        QFETCH(qsizetype, kept);
        QCOMPARE(fittingPrefixLength(text, limit), kept);
    }
};

QTEST_GUILESS_MAIN(TestSmsText)
#include "tst_smstext.moc"
