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
    }
    void partsAndFill()
    {
        QFETCH(qsizetype, length);
        QFETCH(qsizetype, parts);
        QFETCH(qsizetype, fill);
        QCOMPARE(::partsAndFill(length), (PartsAndFill{parts, fill}));
    }
};

QTEST_GUILESS_MAIN(TestSmsText)
#include "tst_smstext.moc"
