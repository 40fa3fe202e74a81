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

        QTest::newRow("letters, digits and marks kept")
            << QStringLiteral("Hello42-_.!*'(),") << QByteArray("Hello42-_.!*'(),");
        QTest::newRow("reserved, space, tilde and line feed escaped")
            << QStringLiteral("a&b=c 50% 1+1;/?:@$#~\n")
            << QByteArray("a%26b%3Dc%2050%25%201%2B1%3B%2F%3F%3A%40%24%23%7E%0A");
    }

    void escapedValue()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, escaped);
        QCOMPARE(escapedQueryValue(value), escaped);
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
                     .accountInformation({.companyId = QStringLiteral("C 1"),
                                          .userId = std::nullopt,
                                          .password = QStringLiteral("p+w&x=1")},
                                         QStringLiteral("credits"))
                     .toEncoded(),
                 QByteArray("https://secure.test/quib/accountInformation?CompanyId=C%201"
                            "&UserId=(null)&Password=p%2Bw%26x%3D1&Action=credits"));
    }
};

QTEST_GUILESS_MAIN(TestQueryEscaping)
#include "tst_queryescaping.moc"
