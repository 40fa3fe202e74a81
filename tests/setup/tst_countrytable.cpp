#include "CountryTable.h"

#include <QRegularExpression>
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

    // Every code is one to four digits, the separator's a space; several names share one.
    void codes()
    {
        static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,3}$"));
        for (qsizetype i = 0; i < CountryTable::size(); ++i)
            if (i != 2)
                QVERIFY2(digits.match(CountryTable::code(i)).hasMatch(),
                         qPrintable(CountryTable::code(i)));
        QCOMPARE(CountryTable::code(CountryTable::names().indexOf(QStringLiteral("Canada"))),
                 QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestCountryTable)
#include "tst_countrytable.moc"
