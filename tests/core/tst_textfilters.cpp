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

        const auto row = [](const char* name, const QString& text, const char* atEscape,
                            const char* digits, bool nonNumeric) {
            QTest::newRow(name) << text << QString::fromUtf8(atEscape) << QString::fromUtf8(digits)
                                << nonNumeric;
        };
        row("empty", "", "", "", false);
        row("number", "+447700900123", "+447700900123", "", false);
        row("digits", "0770", "0770", "0770", false);
        row("plus anywhere", "44+7+", "44+7+", "44", false);
        row("leading white space", " \t\n44", "44", "44", true);
        row("space inside", "44 77", "44 77", "44", true);
        row("bracket", "ACME[1]", "ACME", "", true);
        row("all nine stop", QString::fromUtf8("a€b[c\\d]e^f{g|h}i~"), "a", "", true);
        row("trailing space stays", "Tom ", "Tom ", "", true);
        row("letter between digits", "4a4", "4a4", "4", true);
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

    void filters_data()
    {
        QTest::addColumn<bool>("senderId"); // otherwise the country code filter
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("refusals");
        const auto row = [](const char* name, bool senderId, const QString& typed, const char* kept,
                            int refusals) {
            QTest::newRow(name) << senderId << typed << QString::fromUtf8(kept) << refusals;
        };
        row("sender ID fits", true, "Quibbo", "Quibbo", 0);
        row("12 letters", true, "ABCDEFGHIJKL", "ABCDEFGHIJK", 1);
        row("13-character number", true, "+447700900123", "+447700900123", 0);
        row("17-character number", true, "+4477009001234567", "+447700900123456", 1);
        row("number with spaces", true, "+44 7700 900123", "+44 7700 90", 1);
        row("escape and too long", true, "ABCDEFGHIJKLMN~x", "ABCDEFGHIJK", 2);
        row("emoji across the limit", true, QString::fromUtf8("ABCDEFGHIJ\U0001F600"), "ABCDEFGHIJ",
            1);
        row("code", false, "44", "44", 0);
        row("letter between digits", false, "4a4", "4", 1);
        row("seventh digit", false, "1234567", "123456", 1);
        // Exactly at each limit, nothing is refused.
        row("11 letters", true, "ABCDEFGHIJK", "ABCDEFGHIJK", 0);
        row("16 digits", true, "4477009001234567", "4477009001234567", 0);
        row("6 digits", false, "123456", "123456", 0);
    }

    void filters()
    {
        QFETCH(bool, senderId);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, refusals);
        const FilteredText filtered = senderId ? filterSenderId(typed) : filterCountryCode(typed);
        QCOMPARE(filtered.text, kept);
        QCOMPARE(filtered.refusals, refusals);
    }
};

QTEST_GUILESS_MAIN(TestTextFilters)
#include "tst_textfilters.moc"
