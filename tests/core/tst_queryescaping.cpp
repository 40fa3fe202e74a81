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

    // Every character of ASCII, and one of each UTF-8 width beyond it: letters, digits and
    // -_.!*'(), stay, every other byte is written %XX.
    void everyCharacter()
    {
        QStringList values;
        for (char16_t unit = 0; unit < 0x80; ++unit)
            values.append(QString(QChar(unit)));
        values << QStringLiteral("\u00e9") << QStringLiteral("\u20ac")
               << QStringLiteral("\U0001F600");
        for (const QString& value : values) {
            QByteArray expected;
            for (const char byte : value.toUtf8()) {
                const bool kept = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                                  (byte >= '0' && byte <= '9') ||
                                  QByteArray("-_.!*'(),").contains(byte);
                expected +=
                    kept ? QByteArray(1, byte)
                         : '%' +
                               QByteArray::number(uchar(byte), 16).toUpper().rightJustified(2, '0');
            }
            QCOMPARE(escapedQueryValue(value), expected);
        }
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
