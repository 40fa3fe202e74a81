#include "NumberRules.h"

#include <QTest>

class TestNumberRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isNumberValid_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("international with punctuation")
            << QStringLiteral("+44 (0) 7700-900123") << true;
        QTest::newRow("latin letter") << QStringLiteral("07700 9OO123") << false;
        QTest::newRow("greek letter") << QStringLiteral("0770α") << false;
        QTest::newRow("cjk letter") << QStringLiteral("0770中") << false;
        QTest::newRow("combining mark") << QStringLiteral("0770\u0301") << false;
        QTest::newRow("letter outside the BMP") << QStringLiteral("0770\U0001D400") << false;
        QTest::newRow("punctuation only") << QStringLiteral("+ -./") << true;
        QTest::newRow("emoji is a symbol") << QStringLiteral("0770\U0001F600") << true;
    }
    void isNumberValid()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QCOMPARE(::isNumberValid(typed), valid);
    }

    void formatNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<StringDictionary>>("translation");
        QTest::addColumn<QString>("sent");

        const auto on44 = std::optional(
            StringDictionary{{QStringLiteral("translationState"), QStringLiteral("ON")},
                             {QStringLiteral("countryCode"), QStringLiteral("44")}});
        const auto off44 = std::optional(
            StringDictionary{{QStringLiteral("translationState"), QStringLiteral("OFF")},
                             {QStringLiteral("countryCode"), QStringLiteral("44")}});
        const std::optional<StringDictionary> none;

        QTest::newRow("international, translation on")
            << QStringLiteral("+44 7700 900123") << on44 << QStringLiteral("447700900123");
        QTest::newRow("international, none stored")
            << QStringLiteral("+44 7700 900123") << none << QStringLiteral("447700900123");
        QTest::newRow("national, on")
            << QStringLiteral("07700 900123") << on44 << QStringLiteral("447700900123");
        QTest::newRow("national, off")
            << QStringLiteral("07700 900123") << off44 << QStringLiteral("07700900123");
        QTest::newRow("national, none stored")
            << QStringLiteral("07700 900123") << none << QStringLiteral("07700900123");
        QTest::newRow("national, empty dictionary")
            << QStringLiteral("07700 900123") << std::optional(StringDictionary())
            << QStringLiteral("07700900123");
        QTest::newRow("+44 (0) keeps the 0")
            << QStringLiteral("+44 (0) 7700 900123") << on44 << QStringLiteral("4407700900123");
        QTest::newRow("00 prefix, on")
            << QStringLiteral("0044 7700 900123") << on44 << QStringLiteral("440447700900123");
        QTest::newRow("00 prefix, off")
            << QStringLiteral("0044 7700 900123") << off44 << QStringLiteral("00447700900123");
        QTest::newRow("lone 0, code 1")
            << QStringLiteral("0")
            << std::optional(
                   StringDictionary{{QStringLiteral("translationState"), QStringLiteral("ON")},
                                    {QStringLiteral("countryCode"), QStringLiteral("1")}})
            << QStringLiteral("1");
        QTest::newRow("lower-case on translates")
            << QStringLiteral("07700900123")
            << std::optional(
                   StringDictionary{{QStringLiteral("translationState"), QStringLiteral("on")},
                                    {QStringLiteral("countryCode"), QStringLiteral("44")}})
            << QStringLiteral("447700900123");
        QTest::newRow("state absent translates")
            << QStringLiteral("07700900123")
            << std::optional(
                   StringDictionary{{QStringLiteral("countryCode"), QStringLiteral("44")}})
            << QStringLiteral("447700900123");
        QTest::newRow("code absent is (null)")
            << QStringLiteral("07700900123")
            << std::optional(
                   StringDictionary{{QStringLiteral("translationState"), QStringLiteral("ON")}})
            << QStringLiteral("(null)7700900123");
        QTest::newRow("no digit at all") << QStringLiteral("+ ") << on44 << QString();
        QTest::newRow("non-ASCII digits dropped") << QStringLiteral("٠٧٧") << on44 << QString();
    }
    void formatNumber()
    {
        QFETCH(QString, typed);
        QFETCH(std::optional<StringDictionary>, translation);
        QFETCH(QString, sent);
        QCOMPARE(::formatNumber(typed, translation), sent);
    }
};

QTEST_GUILESS_MAIN(TestNumberRules)
#include "tst_numberrules.moc"
