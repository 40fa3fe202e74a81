#include "OpeningWords.h"

#include <QTest>

// The opening words of a message, as a notification and the outbox show them.
class TestOpeningWords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void openingWords_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const QString ellipsis(QChar(0x2026));
        const QString words = QStringLiteral("word ").repeated(12); // 60 characters
        QTest::newRow("short") << "Tea at 5"
                               << "Tea at 5";
        QTest::newRow("lines and runs of spaces on one line") << " Tea\n\n at   5 \t"
                                                              << "Tea at 5";
        QTest::newRow("sixty, whole") << QString(60, u'a') << QString(60, u'a');
        QTest::newRow("cut at the last space") << words + "more" << words.chopped(1) + ellipsis;
        QTest::newRow("a space as the sixty-first")
            << QString(60, u'a') + " b" << QString(60, u'a') + ellipsis;
        QTest::newRow("no space: cut at sixty")
            << QString(61, u'a') << QString(60, u'a') + ellipsis;
        // The sixtieth character is the first half of an emoji: the emoji is left out whole.
        QTest::newRow("no space, an emoji across the cut")
            << QString(59, u'a') + QStringLiteral("\U0001F600b") << QString(59, u'a') + ellipsis;
        QTest::newRow("no space, an emoji before the cut")
            << QString(58, u'a') + QStringLiteral("\U0001F600b")
            << QString(58, u'a') + QStringLiteral("\U0001F600") + ellipsis;
    }

    void openingWords()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(::openingWords(message), shown);
    }
};

QTEST_GUILESS_MAIN(TestOpeningWords)
#include "tst_openingwords.moc"
