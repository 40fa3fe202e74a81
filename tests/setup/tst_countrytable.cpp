#include "CountryTable.h"

#include <QSet>
#include <QTest>

class TestCountryTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void orderAndSize()
    {
        QCOMPARE(CountryTable::size(), 245);
        const QStringList names = CountryTable::names();
        QCOMPARE(names.mid(0, 4),
                 (QStringList{"  USA", "  United Kingdom", "-----", "Afghanistan"}));
        QCOMPARE(names.last(), QStringLiteral("Zimbabwe"));
        QCOMPARE(CountryTable::code(2), QStringLiteral(" "));
        // After the separator the names run in alphabetical order, letter case ignored.
        for (qsizetype i = 4; i < names.size(); ++i)
            QVERIFY2(names[i - 1].compare(names[i], Qt::CaseInsensitive) < 0, qPrintable(names[i]));
        QCOMPARE(names.count(QStringLiteral("USA")), 1);
        QCOMPARE(names.count(QStringLiteral("United Kingdom")), 1);
    }

    void codes()
    {
        int startingWithOne = 0;
        QHash<QString, QStringList> byCode;
        for (qsizetype i = 0; i < CountryTable::size(); ++i) {
            const QString code = CountryTable::code(i);
            startingWithOne += code.startsWith(QLatin1Char('1'));
            byCode[code].append(CountryTable::name(i));
            if (i != 2) {
                static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,3}$"));
                QVERIFY2(digits.match(code).hasMatch(), qPrintable(code));
            }
        }
        QCOMPARE(startingWithOne, 24);
        QCOMPARE(byCode.value("1"), (QStringList{"  USA", "Canada", "USA"}));
        QCOMPARE(byCode.value("44"), (QStringList{"  United Kingdom", "United Kingdom"}));
        QCOMPARE(byCode.value("34"), (QStringList{"Balearic Islands", "Canary Islands", "Spain"}));
        QCOMPARE(byCode.value("351"), (QStringList{"Azores", "Madeira", "Portugal"}));
        QCOMPARE(byCode.value("243"), (QStringList{"Congo, Democratic Republic of the", "Zaire"}));
        QCOMPARE(byCode.value("230"), (QStringList{"Mauritius", "Rodriguez Island"}));
        int shared = 0;
        for (const QStringList& names : byCode)
            shared += names.size() > 1;
        QCOMPARE(shared, 14);
    }
};

QTEST_GUILESS_MAIN(TestCountryTable)
#include "tst_countrytable.moc"
