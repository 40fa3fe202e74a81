#include "Browser.h"
#include "TestFiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestAddressBookController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsAndNameStrings()
    {
        Browser b;
        QCOMPARE(b.column(b.groups), (QStringList{"All", "Family", "Colleagues", "Inner circle",
                                                  "Friends", "Book club"}));
        // By first name in any letter case; the company card stands where its name would.
        QCOMPARE(b.column(b.people),
                 (QStringList{"Ana Nguyen ", "(Andromeda Ltd)", "Anna Berg (Smith, Jones & Co)",
                              "Joanna Smith ", QString::fromUtf8("José Müller "), "Paul Andrews ",
                              "Zoe Quinn "}));
    }

    // The numbers' table names its columns, for display only.
    void theNumbersTableNamesItsColumns()
    {
        Browser b;
        QAbstractItemModel& model = *b.numbers.model();
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Label");
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Number");
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole), QVariant());
    }

    void sortIgnoresLetterCase()
    {
        QTemporaryDir folder;
        QByteArray cards;
        for (const char* first : {"Bob", "alice", "Carl"})
            cards += "BEGIN:VCARD\nVERSION:3.0\nN:X;" + QByteArray(first) + ";;;\nEND:VCARD\n";
        QVERIFY(writeFile(folder.filePath(QStringLiteral("book.vcf")), cards));
        Browser b(folder.path());
        QCOMPARE(b.column(b.people), (QStringList{"alice X ", "Bob X ", "Carl X "}));
    }

    void search_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("people");
        QTest::newRow("first or last name, any case")
            << "All"
            << "an" << QStringList{"Ana Nguyen ", "Anna Berg (Smith, Jones & Co)", "Paul Andrews "};
        QTest::newRow("group and search") << "Friends"
                                          << "an" << QStringList{"Anna Berg (Smith, Jones & Co)"};
        QTest::newRow("no match") << "All"
                                  << "x" << QStringList();
    }

    void search()
    {
        QFETCH(QString, group);
        QFETCH(QString, text);
        QFETCH(QStringList, people);
        Browser b;
        b.chooseGroup(group);
        QTest::keyClicks(&b.search, text);
        QCOMPARE(b.column(b.people), people);
    }

    // A view told that the lists are about to change still reads the old ones: a list replaced
    // before that would be read under the old row count.
    void viewsReadTheOldRowsUntilTheReset()
    {
        Browser b;
        b.choosePerson(QStringLiteral("Anna Berg (Smith, Jones & Co)"));
        QList<int> countsBefore;
        for (QAbstractItemView* view :
             std::initializer_list<QAbstractItemView*>{&b.people, &b.numbers})
            connect(view->model(), &QAbstractItemModel::modelAboutToBeReset, this,
                    [&countsBefore, view] { countsBefore << view->model()->rowCount(); });
        QTest::keyClicks(&b.search, QStringLiteral("zo"));
        b.choosePerson(QStringLiteral("Zoe Quinn "));
        QCOMPARE(countsBefore, (QList<int>{7, 4, 1, 4, 4}));
    }

    // A number written as a tel: URI with an extension: the number alone goes into the
    // recipient box, and its row says which extension to ask for.
    void anExtensionShowsInTheLabelAlone()
    {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(QUIBBO_TEST_DATA "/exports/thunderbird-4.0.vcf"),
                            folder.filePath(QStringLiteral("erik.vcf"))));
        Browser b(folder.path());
        b.choosePerson(QStringLiteral("Erik Holm (Erik Holm AB)"));
        QCOMPARE(b.column(b.numbers, 0), (QStringList{"Work (ext. 102):", "Mobile:"}));
        b.choose(b.numbers, 0);
        QCOMPARE(b.recipient.currentText(), QStringLiteral("+46-31-123-4567"));
    }

    void choosingANumberFillsTheRecipient()
    {
        Browser b;
        b.recipient.setEditText(QStringLiteral("typed before"));
        b.choosePerson(QStringLiteral("Anna Berg (Smith, Jones & Co)"));
        QCOMPARE(b.name.text(), QStringLiteral("Anna Berg (Smith, Jones & Co)"));
        QCOMPARE(b.column(b.numbers, 0), (QStringList{"Mobile:", "Car:", "mobile:", "Mobile:"}));
        QCOMPARE(b.column(b.numbers, 1),
                 (QStringList{"07700 900123", "07700 900456", "07700 900789", "07700 900999"}));
        QCOMPARE(b.recipient.currentText(), QStringLiteral("typed before"));

        b.choose(b.numbers, 1);
        QCOMPARE(b.recipient.currentText(), QStringLiteral("07700 900456"));
        QCOMPARE(b.recipient.count(), 0); // nothing is added to the recent numbers

        // The chosen number row stays chosen: the next person's number in it is taken at once.
        b.choosePerson(QString::fromUtf8("José Müller "));
        QCOMPARE(b.column(b.numbers, 0), (QStringList{"Home:", "Mobile:"})); // no fax
        QCOMPARE(b.recipient.currentText(), QStringLiteral("+49 (170) 1234567"));

        // A change of group leaves the last person's numbers and name in place.
        b.chooseGroup(QStringLiteral("Colleagues"));
        QCOMPARE(b.column(b.numbers, 1), (QStringList{"+49 30 1234567", "+49 (170) 1234567"}));
        QCOMPARE(b.name.text(), QString::fromUtf8("José Müller "));
        QVERIFY(b.people.selectionModel()->selectedRows().isEmpty());
        // ...and the number row chosen, for the next person chosen in any group.
        b.chooseGroup(QStringLiteral("Friends"));
        b.choosePerson(QStringLiteral("Joanna Smith "));
        QCOMPARE(b.recipient.currentText(), QStringLiteral("+44 20 7946 0001"));
    }

    // Several people, or a whole group, add each one's first mobile number to what the box
    // holds; someone in two groups is added once, and a card without a mobile number not at all.
    void peopleAndGroupsAddTheirMobiles()
    {
        Browser b;
        b.recipient.setEditText(QStringLiteral("07700 900001"));
        b.chooseGroup(QStringLiteral("Friends"));
        QCOMPARE(b.column(b.people),
                 (QStringList{"Anna Berg (Smith, Jones & Co)", "Joanna Smith "}));
        b.controller.addChosenGroup();
        QCOMPARE(b.recipient.currentText(), QStringLiteral("07700 900001, 07700 900123"));
        b.chooseGroup(QStringLiteral("Book club"));
        b.controller.addChosenGroup();
        QCOMPARE(b.recipient.currentText(), QStringLiteral("07700 900001, 07700 900123"));

        // The search narrows the list, not the group.
        b.search.setText(QStringLiteral("Zz"));
        b.chooseGroup(QStringLiteral("Family"));
        QVERIFY(b.column(b.people).isEmpty());
        b.controller.addChosenGroup();
        QCOMPARE(b.recipient.currentText(),
                 QStringLiteral("07700 900001, 07700 900123, +49 (170) 1234567"));

        b.search.clear();
        b.recipient.setEditText(QString());
        b.chooseGroup(QStringLiteral("All"));
        const QStringList everyone = b.column(b.people);
        QItemSelection chosen;
        for (const QString& shown :
             {QString::fromUtf8("José Müller "), QStringLiteral("Anna Berg (Smith, Jones & Co)")}) {
            const QModelIndex index = b.people.model()->index(int(everyone.indexOf(shown)), 0);
            chosen.select(index, index);
        }
        b.people.selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
        b.controller.addChosenPeople();
        QCOMPARE(b.recipient.currentText(), QStringLiteral("07700 900123, +49 (170) 1234567"));
    }

    // Opened while the book is still being read, the browser shows what it can at once and
    // the whole book, narrowed by what was typed meanwhile, when the read is done.
    void browserOpenedDuringTheReadFillsAfterIt()
    {
        Browser b(QStringLiteral(QUIBBO_TEST_DATA "/contacts"), true);
        QSignalSpy read(&b.book, &AddressBook::changed);
        b.search.setText(QStringLiteral("an"));
        QVERIFY(read.wait());
        QCOMPARE(b.column(b.people),
                 (QStringList{"Ana Nguyen ", "Anna Berg (Smith, Jones & Co)", "Paul Andrews "}));
    }

    // A sync tool drops in a card with a new category while the browser is open: each group row
    // still lists that group's own members.
    void groupRowsSurviveARereadOfTheBook()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("contacts"));
        QDir().mkpath(folder);
        for (const QString& file : QDir(QStringLiteral(QUIBBO_TEST_DATA "/contacts"))
                                       .entryList({QStringLiteral("*.vcf")}, QDir::Files))
            QVERIFY(QFile::copy(QStringLiteral(QUIBBO_TEST_DATA "/contacts/") + file,
                                folder + QLatin1Char('/') + file));
        Browser b(folder);
        QSignalSpy changed(&b.book, &AddressBook::changed);
        QVERIFY(writeFile(folder + QStringLiteral("/0-synced.vcf"),
                          "BEGIN:VCARD\nVERSION:3.0\nUID:synced\nN:Synced;Sid;;;\n"
                          "CATEGORIES:Allotment\nEND:VCARD\n"));
        QVERIFY(changed.wait());
        b.chooseGroup(QStringLiteral("Family"));
        QCOMPARE(b.column(b.people), QStringList{QString::fromUtf8("José Müller ")});
        b.chooseGroup(QStringLiteral("Friends"));
        QCOMPARE(b.column(b.people),
                 (QStringList{"Anna Berg (Smith, Jones & Co)", "Joanna Smith "}));
    }

    // Moving the highlight with the keyboard (an arrow key, or the focus entering a list)
    // chooses, as a click does; a highlighted row is never left unchosen.
    void highlightChooses()
    {
        Browser b;
        const auto highlight = [](QAbstractItemView& view, int row) {
            view.selectionModel()->setCurrentIndex(view.model()->index(row, 0),
                                                   QItemSelectionModel::NoUpdate);
        };
        highlight(b.people, 2);
        QCOMPARE(b.name.text(), QStringLiteral("Anna Berg (Smith, Jones & Co)"));
        highlight(b.numbers, 1);
        QCOMPARE(b.recipient.currentText(), QStringLiteral("07700 900456"));
    }

    void openContacts()
    {
        Browser b;
        b.controller.launchAddressBookApp();
        QCOMPARE(b.launcher.asked, QStringList{"text/vcard"});
        QCOMPARE(b.urls.opened,
                 QList<QUrl>{QUrl::fromLocalFile(QStringLiteral(QUIBBO_TEST_DATA "/contacts"))});
        b.launcher.hasApplication = true;
        b.controller.launchAddressBookApp();
        QCOMPARE(b.urls.opened.size(), 1);
    }
};

QTEST_MAIN(TestAddressBookController)
#include "tst_addressbookcontroller.moc"
