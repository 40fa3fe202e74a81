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
        QTest::newRow("combining mark") << QStringLiteral("0770\u0301") << false;
        QTest::newRow("letter outside the BMP") << QStringLiteral("0770\U0001D400") << false;
        QTest::newRow("emoji is a symbol") << QStringLiteral("0770\U0001F600") << true;
        // What is on screen is what is sent: nothing invisible may reorder or hide digits.
        QTest::newRow("right-to-left override") << QStringLiteral("\u202E1234567890") << false;
        QTest::newRow("line break") << QStringLiteral("+447700900123\n+449999") << false;
        QTest::newRow("Arabic-Indic digits")
            << QStringLiteral("+44\u0667\u0667\u0660\u0660") << true;
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
        QTest::addColumn<std::optional<Settings::NumberTranslation>>("translation");
        QTest::addColumn<QString>("sent");
        // A stored translation setting; a null code is left out of it.
        const auto setting = [](const char* state, const char* code) {
            return std::optional(Settings::NumberTranslation{
                QString::fromLatin1(state),
                code ? std::optional(QString::fromLatin1(code)) : std::nullopt});
        };
        const auto row = [](const char* name, const QString& typed,
                            const std::optional<Settings::NumberTranslation>& translation,
                            const char* sent) {
            QTest::newRow(name) << typed << translation << QString::fromLatin1(sent);
        };
        const auto on44 = setting("ON", "44");
        const auto off44 = setting("OFF", "44");
        const std::optional<Settings::NumberTranslation> none;
        row("international, translation on", "+44 7700 900123", on44, "447700900123");
        row("national, on", "07700 900123", on44, "447700900123");
        row("national, off", "07700 900123", off44, "07700900123");
        row("national, none stored", "07700 900123", none, "07700900123");
        row("code absent is (null)", "07700900123", setting("ON", nullptr), "(null)7700900123");
        row("no digit at all", "+ ", on44, "");
        row("a national number in Arabic-Indic digits", QStringLiteral("\u0660\u0667\u0667"), on44,
            "4477");
    }
    void formatNumber()
    {
        QFETCH(QString, typed);
        QFETCH(std::optional<Settings::NumberTranslation>, translation);
        QFETCH(QString, sent);
        QCOMPARE(::formatNumber(typed, translation), sent);
    }
};

QTEST_GUILESS_MAIN(TestNumberRules)
#include "tst_numberrules.moc"
