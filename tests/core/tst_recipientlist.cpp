#include "AddressBook.h"
#include "RecipientList.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using Recipient = RecipientList::Recipient;
using Mobile = RecipientList::Mobile;

namespace {
std::optional<Settings::NumberTranslation> translating(const QString& code)
{
    return Settings::NumberTranslation{QStringLiteral("ON"), code};
}

QByteArray card(const QString& uid, const QString& name, const QString& phones)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:%2;;;\r\n%3END:VCARD\r\n")
        .arg(uid, name, phones)
        .toUtf8();
}
} // namespace

class TestRecipientList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void split_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("one number, its spaces kept inside")
            << " 07700 900123 " << QStringList{"07700 900123"};
        QTest::newRow("commas and semicolons")
            << "07700 900123, 07700 900456;07700 900789 ;+44 7700 900321"
            << QStringList{"07700 900123", "07700 900456", "07700 900789", "+44 7700 900321"};
        QTest::newRow("empty pieces left out")
            << ",, ;07700 900123,; ," << QStringList{"07700 900123"};
        QTest::newRow("names beside numbers")
            << "Ann Lee, 07700 900456" << QStringList{"Ann Lee", "07700 900456"};
        QTest::newRow("nothing") << "  " << QStringList{};
    }

    void split()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, typed);
        QCOMPARE(RecipientList::split(box), typed);
        QCOMPARE(RecipientList::split(RecipientList::joined(typed)), typed);
    }

    // Numbers through the number rules, no number longer than any in the world.
    void numberToSend_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("translates");
        QTest::addColumn<QString>("msisdn");
        QTest::newRow("fifteen digits") << "123 456 789 012 345" << false << "123456789012345";
        QTest::newRow("sixteen digits") << "1234 5678 9012 3456" << false << "";
        QTest::newRow("four joined numbers")
            << "07700 900123 07700 900456 07700 900789" << false << "";
        QTest::newRow("fifteen with the country code")
            << "07700 900123 456" << true << "447700900123456";
        QTest::newRow("sixteen with the country code") << "07700 900123 4567" << true << "";
        QTest::newRow("a letter") << "07700 9OO123" << false << "";
        QTest::newRow("no digit") << "+ ( )" << false << "";
        QTest::newRow("Arabic-Indic digits") << "٠٧٧٠٠٩٠٠١٢٣" << false << "07700900123";
    }

    void numberToSend()
    {
        QFETCH(QString, typed);
        QFETCH(bool, translates);
        QFETCH(QString, msisdn);
        QCOMPARE(RecipientList::numberToSend(typed, translates ? translating(QStringLiteral("44"))
                                                               : std::nullopt),
                 msisdn);
    }

    void reading_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<Recipient>>("distinct");
        QTest::addColumn<QStringList>("invalid");
        QTest::addColumn<int>("duplicates");
        QTest::addColumn<QStringList>("choices");

        QTest::newRow("the same number written three ways")
            << "07700 900123, +44 7700 900123; 447700900123, 07700 900456"
            << QList<Recipient>{{"07700 900123", "447700900123"}, {"07700 900456", "447700900456"}}
            << QStringList{} << 2 << QStringList{};
        QTest::newRow("a person and their own number")
            << "Ann, 07700 900001" << QList<Recipient>{{"Ann", "447700900001"}} << QStringList{}
            << 1 << QStringList{};
        QTest::newRow("an invalid one among valid ones")
            << "07700 900123, 07700 9OO456, 1234567890123456"
            << QList<Recipient>{{"07700 900123", "447700900123"}}
            << QStringList{"07700 9OO456", "1234567890123456"} << 0 << QStringList{};
        QTest::newRow("a name of nobody")
            << "Zed" << QList<Recipient>{} << QStringList{"Zed"} << 0 << QStringList{};
        QTest::newRow("a name of two people, nothing guessed")
            << "Sam, Ann" << QList<Recipient>{{"Ann", "447700900001"}} << QStringList{} << 0
            << QStringList{"Sam"};
    }

    void reading()
    {
        QFETCH(QString, box);
        QFETCH(QList<Recipient>, distinct);
        QFETCH(QStringList, invalid);
        QFETCH(int, duplicates);
        QFETCH(QStringList, choices);
        const RecipientList::Names names = [](const QString& typed) -> QList<Mobile> {
            if (typed == QLatin1String("Ann"))
                return {{"Ann Lee", "Mobile", "07700 900001"}};
            if (typed == QLatin1String("Sam"))
                return {{"Sam Jones", "Mobile", "07700 900002"},
                        {"Sam Lee", "Mobile", "07700 900003"}};
            return {};
        };
        const RecipientList list(box, translating(QStringLiteral("44")), names);
        QCOMPARE(list.distinct(), distinct);
        QCOMPARE(list.invalid(), invalid);
        QCOMPARE(list.duplicates(), duplicates);
        QStringList open;
        for (const RecipientList::Choice& choice : list.choices())
            open.append(choice.typed);
        QCOMPARE(open, choices);
        QCOMPARE(list.problem().isEmpty(), invalid.isEmpty() && choices.isEmpty());
        for (const QString& typed : invalid + choices)
            QVERIFY2(list.problem().contains(typed), qPrintable(list.problem()));
    }

    // A name is a first or last name, or both, in any letter case; it stands for the person's
    // mobile numbers alone, each with its label, and for nobody's fax or home number.
    void namesInTheAddressBook_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<Mobile>>("mobiles");
        const Mobile ann{"Ann Lee", "Mobile", "07700 900001"};
        QTest::newRow("first name") << "Ann" << QList<Mobile>{ann};
        QTest::newRow("whole name in another case") << "ann LEE" << QList<Mobile>{ann};
        QTest::newRow("last name of two people")
            << "lee"
            << QList<Mobile>{ann,
                             {"Bob Lee", "Mobile", "07700 900002"},
                             {"Bob Lee", "Work mobile", "07700 900003"}};
        QTest::newRow("only a home number") << "Cy" << QList<Mobile>{};
        QTest::newRow("part of a name") << "An" << QList<Mobile>{};
    }

    void namesInTheAddressBook()
    {
        QFETCH(QString, typed);
        QFETCH(QList<Mobile>, mobiles);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("ann.vcf"),
                          card("ann", "Lee;Ann",
                               "TEL;TYPE=HOME:0161 496 0000\r\nTEL;TYPE=CELL:07700 900001\r\n")));
        QVERIFY(writeFile(folder.filePath("bob.vcf"),
                          card("bob", "Lee;Bob",
                               "TEL;TYPE=CELL:07700 900002\r\nTEL;TYPE=FAX:0161 496 0001\r\n"
                               "item1.TEL:07700 900003\r\nitem1.X-ABLabel:Work mobile\r\n")));
        QVERIFY(writeFile(folder.filePath("cy.vcf"),
                          card("cy", "Ng;Cy", "TEL;TYPE=HOME:0161 496 0002\r\n")));
        AddressBook book(folder.path());
        book.prefetch();
        QVERIFY(QTest::qWaitFor([&book] { return book.isRead(); }));
        QCOMPARE(RecipientList::namesIn(book)(typed), mobiles);
    }
};

QTEST_GUILESS_MAIN(TestRecipientList)
#include "tst_recipientlist.moc"
