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

    // Every code unit counts one position, and the nine of the service's escape table two.
    void everyCodeUnit()
    {
        const QString escapes = QStringLiteral("\u20ac[\\]^{|}~");
        for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
            const QChar c{char16_t(unit)};
            const qsizetype expected = escapes.contains(QChar(char16_t(unit))) ? 2 : 1;
            if (countedLength(QStringView(&c, 1)) != expected)
                QFAIL(qPrintable(QStringLiteral("U+%1").arg(uint(unit), 4, 16, QLatin1Char('0'))));
        }
    }

    // At every limit, the longest start of the text that fits: one more character would not
    // fit, and a character outside the Basic Multilingual Plane is never split.
    void fittingPrefixAtEveryLimit()
    {
        // The emoji first too: the cut that would split it is at the very start.
        for (const QString& text :
             {QStringLiteral("a\u20ac\U0001F600b~\U0001F600\U0001F600c\u20ac\u20ac"),
              QStringLiteral("\U0001F600a")})
            for (qsizetype limit = 0; limit <= countedLength(text) + 1; ++limit) {
                const qsizetype n = fittingPrefixLength(text, limit);
                QVERIFY2(countedLength(QStringView(text).left(n)) <= limit,
                         qPrintable(QString::number(limit)));
                QVERIFY(n == 0 || !text[n - 1].isHighSurrogate());
                if (n < text.size()) {
                    const qsizetype next = text[n].isHighSurrogate() ? 2 : 1;
                    QVERIFY2(countedLength(QStringView(text).left(n + next)) > limit,
                             qPrintable(QString::number(limit)));
                }
            }
    }
};

QTEST_GUILESS_MAIN(TestSmsText)
#include "tst_smstext.moc"
