#include "AddressBook.h"
#include "RecipientCompleter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// The test folder: Ana Nguyen, Zoe Quinn, José Müller, Paul Andrews, Anna Berg (Smith, Jones &
// Co), Joanna Smith and the company card Andromeda Ltd.
struct Box
{
    Box() : book(QStringLiteral(QUIBBO_TEST_DATA "/contacts"))
    {
        book.prefetch();
        if (!QTest::qWaitFor([this] { return book.isRead(); }))
            qFatal("the address book was not read");
        box.setEditable(true);
        completer = new RecipientCompleter(
            box, book, [this] { return recent; }, &box);
        box.show();
        if (!QTest::qWaitForWindowExposed(&box))
            qFatal("the box was not shown");
    }

    QStringList offered() const
    {
        QStringList rows;
        const QAbstractItemModel* model = completer->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows.append(model->index(row, 0).data().toString());
        return rows;
    }

    AddressBook book;
    QStringList recent{QStringLiteral("07700 900555"), QStringLiteral("01632 960999")};
    QComboBox box;
    RecipientCompleter* completer;
};

class TestRecipientCompleter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void offers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("offered");
        // Mobile numbers first, each with its label and the person's name; never a fax.
        QTest::newRow("a first name's beginning, in another case")
            << "anna"
            << QStringList{"Anna Berg (Mobile: 07700 900123)", "Anna Berg (mobile: 07700 900789)",
                           "Anna Berg (Mobile: 07700 900999)", "Anna Berg (Car: 07700 900456)"};
        QTest::newRow("a last name's beginning")
            << "smi"
            << QStringList{"Joanna Smith (Work: +44 20 7946 0000)",
                           "Joanna Smith (Other: +44 20 7946 0001)"};
        QTest::newRow("the last of several recipients")
            << "07700 900001, Smith"
            << QStringList{"Joanna Smith (Work: +44 20 7946 0000)",
                           "Joanna Smith (Other: +44 20 7946 0001)"};
        QTest::newRow("part of a number, in any spacing, recent ones too")
            << "0770090012" << QStringList{"Anna Berg (Mobile: 07700 900123)"};
        QTest::newRow("a recent number") << "016329609" << QStringList{"01632 960999 (recent)"};
        QTest::newRow("nobody") << "Xavier" << QStringList{};
        QTest::newRow("typed past every name") << "Annax" << QStringList{};
    }

    void offers()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, offered);
        Box b;
        QTest::keyClicks(b.box.lineEdit(), typed);
        QCOMPARE(b.offered(), offered);
        QCOMPARE(b.completer->popup()->isVisible(), !offered.isEmpty());
    }

    // Picking an offer puts its number in place of what was typed, the others kept.
    void pickingPutsTheNumberInTheBox()
    {
        Box b;
        QTest::keyClicks(b.box.lineEdit(), QStringLiteral("07700 900001; jo"));
        QVERIFY(b.completer->popup()->isVisible());
        const QStringList offered = b.offered();
        const qsizetype jose =
            offered.indexOf(QString::fromUtf8("José Müller (Mobile: +49 (170) 1234567)"));
        QVERIFY2(jose >= 0, qPrintable(offered.join(u'|')));
        for (qsizetype i = 0; i <= jose; ++i)
            QTest::keyClick(b.completer->popup(), Qt::Key_Down);
        QTest::keyClick(b.completer->popup(), Qt::Key_Return);
        QCOMPARE(b.box.currentText(), QStringLiteral("07700 900001; +49 (170) 1234567"));
    }
};

QTEST_MAIN(TestRecipientCompleter)
#include "tst_recipientcompleter.moc"
