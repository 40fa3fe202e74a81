#include "SmsUri.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<SmsUri>)

class TestSmsUri : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<SmsUri>>("parsed");
        QTest::newRow("one recipient with a body")
            << "sms:+447700900123?body=See%20you"
            << std::optional(SmsUri{{"+447700900123"}, "See you"});
        QTest::newRow("no body") << "sms:07700900123" << std::optional(SmsUri{{"07700900123"}, {}});
        QTest::newRow("several recipients")
            << "sms:+447700900123,+447700900456?body=hi"
            << std::optional(SmsUri{{"+447700900123", "+447700900456"}, "hi"});
        QTest::newRow("escapes in the body")
            << "sms:123?body=1%2B1%3D2%20%E2%82%AC%0Anext"
            << std::optional(SmsUri{{"123"}, QString::fromUtf8("1+1=2 €\nnext")});
        QTest::newRow("escaped recipient, other fields ignored")
            << "SMS:%2B44%207700%20900123?subject=x&body=ok"
            << std::optional(SmsUri{{"+44 7700 900123"}, "ok"});
        QTest::newRow("recipient parameters dropped")
            << "sms:123;via=456?body=x" << std::optional(SmsUri{{"123"}, "x"});
        QTest::newRow("body only, its name in capitals")
            << "sms:?BODY=x" << std::optional(SmsUri{{}, "x"});
        QTest::newRow("field names in any case")
            << "sms:1?Subject=y&Body=x" << std::optional(SmsUri{{"1"}, "x"});
        QTest::newRow("another scheme") << "mailto:ann@example.test" << std::optional<SmsUri>();
    }

    void parsing()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<SmsUri>, parsed);
        QCOMPARE(parseSmsUri(text), parsed);
    }
};

QTEST_GUILESS_MAIN(TestSmsUri)
#include "tst_smsuri.moc"
