#include "TextFilters.h"

#include <QTest>

class TestTextFilters : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void routines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("atEscape");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<bool>("nonNumeric");

        QTest::newRow("empty") << ""
                               << ""
                               << "" << false;
        QTest::newRow("number") << "+447700900123"
                                << "+447700900123"
                                << "" << false;
        QTest::newRow("digits") << "0770"
                                << "0770"
                                << "0770" << false;
        QTest::newRow("plus anywhere") << "44+7+"
                                       << "44+7+"
                                       << "44" << false;
        QTest::newRow("leading white space") << " \t\n44"
                                             << "44"
                                             << "44" << true;
        QTest::newRow("space inside") << "44 77"
                                      << "44 77"
                                      << "44" << true;
        QTest::newRow("bracket") << "ACME[1]"
                                 << "ACME"
                                 << "" << true;
        QTest::newRow("tilde") << "ab~cd"
                               << "ab"
                               << "" << true;
        QTest::newRow("brace") << "12{3"
                               << "12"
                               << "12" << true;
        QTest::newRow("euro first") << QString::fromUtf8("€uro") << ""
                                    << "" << true;
        QTest::newRow("all nine stop") << QString::fromUtf8("a€b[c\\d]e^f{g|h}i~") << "a"
                                       << "" << true;
        QTest::newRow("trailing space stays") << "Tom "
                                              << "Tom "
                                              << "" << true;
        QTest::newRow("letter between digits") << "4a4"
                                               << "4a4"
                                               << "4" << true;
    }

    void routines()
    {
        QFETCH(QString, text);
        QFETCH(QString, atEscape);
        QFETCH(QString, digits);
        QFETCH(bool, nonNumeric);
        QCOMPARE(stopStringAtEscapeCharacters(text), atEscape);
        QCOMPARE(stopStringAtNonNumericCharacters(text), digits);
        QCOMPARE(checkForNonNumerics(text), nonNumeric);
    }

    void senderIdFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("refusals");

        QTest::newRow("fits") << "Quibbo"
                              << "Quibbo" << 0;
        QTest::newRow("pasted escape") << "ACME[1]"
                                       << "ACME" << 1;
        QTest::newRow("leading space") << " Tom"
                                       << "Tom" << 1;
        QTest::newRow("euro first") << QString::fromUtf8("€Tom") << "" << 1;
        QTest::newRow("12 letters") << "ABCDEFGHIJKL"
                                    << "ABCDEFGHIJK" << 1;
        QTest::newRow("12 letters and digits") << "ABC123DEF456"
                                               << "ABC123DEF45" << 1;
        QTest::newRow("13-character number") << "+447700900123"
                                             << "+447700900123" << 0;
        QTest::newRow("17-character number") << "+4477009001234567"
                                             << "+447700900123456" << 1;
        QTest::newRow("number with spaces") << "+44 7700 900123"
                                            << "+44 7700 90" << 1;
        QTest::newRow("escape and too long") << "ABCDEFGHIJKLMN~x"
                                             << "ABCDEFGHIJK" << 2;
    }

    void senderIdFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, refusals);
        const FilteredText filtered = filterSenderId(typed);
        QCOMPARE(filtered.text, kept);
        QCOMPARE(filtered.refusals, refusals);
    }

    void countryCodeFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("refusals");

        QTest::newRow("code") << "44"
                              << "44" << 0;
        QTest::newRow("space first") << " 44"
                                     << "44" << 1;
        QTest::newRow("letter between digits") << "4a4"
                                               << "4" << 1;
        QTest::newRow("seventh digit") << "1234567"
                                       << "123456" << 1;
        QTest::newRow("plus") << "+44"
                              << "" << 1;
    }

    void countryCodeFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, refusals);
        const FilteredText filtered = filterCountryCode(typed);
        QCOMPARE(filtered.text, kept);
        QCOMPARE(filtered.refusals, refusals);
    }
};

QTEST_GUILESS_MAIN(TestTextFilters)
#include "tst_textfilters.moc"
