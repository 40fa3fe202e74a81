#include "CountryTable.h"

#include <QRegularExpression>
#include <QTest>

class TestCountryTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The two most chosen countries, then a separator, then every name in alphabetical order,
    // letter case ignored: the list a person scans for their own.
    void order()
    {
        const QStringList names = CountryTable::names();
        QCOMPARE(names.mid(0, 3), (QStringList{"  USA", "  United Kingdom", "-----"}));
        for (qsizetype i = 4; i < names.size(); ++i)
            QVERIFY2(names[i - 1].compare(names[i], Qt::CaseInsensitive) < 0, qPrintable(names[i]));
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
