#include "QueryEscaping.h"
#include "ServiceEndpoints.h"

#include <QTest>

class TestQueryEscaping : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void escapedValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("escaped");

        QTest::newRow("letters and digits") << QStringLiteral("Hello42") << QByteArray("Hello42");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ampersand and equals") << QStringLiteral("a&b=c") << QByteArray("a%26b%3Dc");
        QTest::newRow("percent and space")
            << QStringLiteral("50% off") << QByteArray("50%25%20off");
        QTest::newRow("plus is never bare") << QStringLiteral("1+1=2") << QByteArray("1%2B1%3D2");
        QTest::newRow("tilde") << QStringLiteral("~") << QByteArray("%7E");
        QTest::newRow("euro sign") << QStringLiteral("€") << QByteArray("%E2%82%AC");
        QTest::newRow("line feed") << QStringLiteral("a\nb") << QByteArray("a%0Ab");
        QTest::newRow("marks kept") << QStringLiteral("-_.!*'(),") << QByteArray("-_.!*'(),");
        QTest::newRow("reserved escaped")
            << QStringLiteral(";/?:@$#") << QByteArray("%3B%2F%3F%3A%40%24%23");
        QTest::newRow("outside the BMP")
            << QStringLiteral("\U0001F600") << QByteArray("%F0%9F%98%80");
    }

    void escapedValue()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, escaped);
        QCOMPARE(escapedQueryValue(value), escaped);
    }

    void absentValueIsTheNullText()
    {
        QCOMPARE(valueOrNullText(std::nullopt), QStringLiteral("(null)"));
        QCOMPARE(valueOrNullText(QString()), QString());
    }

    // Every address that carries the user's words escapes them; an absent credential is (null).
    void addressesEscapeTheirValues()
    {
        const ServiceEndpoints endpoints(QUrl(QStringLiteral("https://secure.test")),
                                         QUrl(QStringLiteral("http://site.test/base/")));
        QCOMPARE(
            endpoints.buyCredits(QStringLiteral("ann+sms box@x.test")).toEncoded(),
            QByteArray("http://site.test/base/getcredits.php?quibboacc=ann%2Bsms%20box%40x.test"));
        QCOMPARE(endpoints
                     .accountInformation({{QStringLiteral("CompanyId"), QStringLiteral("C 1")},
                                          {QStringLiteral("Password"), QStringLiteral("p+w&x=1")}},
                                         QStringLiteral("credits"))
                     .toEncoded(),
                 QByteArray("https://secure.test/quib/accountInformation?CompanyId=C%201"
                            "&UserId=(null)&Password=p%2Bw%26x%3D1&Action=credits"));
    }
};

QTEST_GUILESS_MAIN(TestQueryEscaping)
#include "tst_queryescaping.moc"
