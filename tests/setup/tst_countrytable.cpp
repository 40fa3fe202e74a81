#include "CountryTable.h"

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
};

QTEST_GUILESS_MAIN(TestCountryTable)
#include "tst_countrytable.moc"
