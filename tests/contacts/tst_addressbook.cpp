#include "AddressBook.h"
#include "EdsContacts.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString labelText(const VCard::Phone& phone)
{
    static const char* const names[] = {"mobile",   "home",     "work",  "main",  "pager",
                                        "home fax", "work fax", "other", "custom"};
    const QString name = QString::fromLatin1(names[int(phone.label)]);
    return phone.label == VCard::Label::Custom
               ? name + QStringLiteral(" \"") + phone.customLabel + QLatin1Char('"')
               : name;
}

// The process's threads that are not leaving: a thread that was joined may still be listed for
// a moment while the kernel ends it (PF_EXITING in the flags of its stat line).
qsizetype runningThreads()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    qsizetype running = 0;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray stat = readFile(tasks.filePath(task + QStringLiteral("/stat")));
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 6 && !(fields.at(6).toULong() & 0x4))
            ++running;
    }
    return running;
}

// The book once its read in the background has ended.
bool read(AddressBook& book)
{
    book.prefetch();
    return QTest::qWaitFor([&book] { return book.isRead(); });
}

// Everything the book yields, one line per fact, in the book's own order.
QString dump(AddressBook& book)
{
    QStringList lines;
    const auto text = [](const std::optional<QString>& v) { return v ? *v : QStringLiteral("-"); };
    for (const AddressBook::Person& p : book.people()) {
        lines << QStringLiteral("person %1 | %2 | %3 | uid %4 | categories %5")
                     .arg(text(p.firstName), text(p.lastName), text(p.organization), p.uid,
                          p.categories.join(QLatin1Char(',')));
        for (const VCard::Phone& phone : p.phones)
            lines << QStringLiteral("  phone %1: %2%3")
                         .arg(labelText(phone), phone.value,
                              phone.extension.isEmpty()
                                  ? QString()
                                  : QStringLiteral(" ext ") + phone.extension);
    }
    for (qsizetype g = 0; g < book.groups().size(); ++g) {
        QStringList members;
        for (const AddressBook::Person& p : book.search(QString(), g))
            members << p.uid;
        lines << QStringLiteral("group %1%2: %3")
                     .arg(book.groups()[g].name,
                          book.groups()[g].isCategory ? QStringLiteral(" (category)") : QString(),
                          members.join(QStringLiteral(", ")));
    }
    const std::optional<AddressBook::Person> me = book.me();
    lines << QStringLiteral("me %1").arg(me ? me->uid : QStringLiteral("-"));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

class TestAddressBook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsTheFolderAsExpected()
    {
        // This test has no session bus, so no desktop's address book: started, it finds none at
        // once, and the folder alone is read.
        EdsContacts desktop;
        desktop.start();
        AddressBook book(QStringLiteral(QUIBBO_TEST_DATA "/contacts"), &desktop);
        QVERIFY(read(book));
        QFile golden(QStringLiteral(QUIBBO_TEST_DATA "/contacts.expected"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        const QString actual = dump(book);
        if (qEnvironmentVariableIsSet("QUIBBO_WRITE_GOLDEN"))
            QVERIFY(writeFile(golden.fileName(), actual.toUtf8()));
        QCOMPARE(actual, QString::fromUtf8(golden.readAll()));
    }

    // Cards as phones, webmail and address books export them, each file alone in a folder (as
    // sync tools keep one card per file): every person, number and label as expected
    // (exports/NAME.expected).
    void exportsReadAsExpected_data()
    {
        QTest::addColumn<QString>("file");
        const QDir exports(QStringLiteral(QUIBBO_TEST_DATA "/exports"));
        for (const QString& file : exports.entryList({QStringLiteral("*.vcf")}))
            QTest::newRow(qPrintable(file)) << exports.filePath(file);
    }

    void exportsReadAsExpected()
    {
        QFETCH(QString, file);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(file, folder.filePath(QFileInfo(file).fileName())));
        AddressBook book(folder.path());
        QVERIFY(read(book));
        const QString expected = QFileInfo(file).path() + QLatin1Char('/') +
                                 QFileInfo(file).completeBaseName() + QStringLiteral(".expected");
        if (qEnvironmentVariableIsSet("QUIBBO_WRITE_GOLDEN"))
            QVERIFY(writeFile(expected, dump(book).toUtf8()));
        QCOMPARE(dump(book), QString::fromUtf8(readFile(expected)));
    }

    // Nothing waits for a read on the window's thread: a question asked before the first read
    // has ended is answered at once from what was read so far (nothing), and changed() brings
    // the cards.
    void questionsNeverWaitForTheRead()
    {
        AddressBook book(QStringLiteral(QUIBBO_TEST_DATA "/contacts"));
        QSignalSpy changed(&book, &AddressBook::changed);
        QVERIFY(book.people().isEmpty());
        QVERIFY(changed.wait());
        QVERIFY(book.isRead());
        QVERIFY(!book.people().isEmpty());
    }

    // A quit while a large folder is still being read: the read stops, and its thread has ended
    // by the time the book is gone, so nothing of it outlives the client.
    void aQuitDuringAReadLeavesNoThreadBehind()
    {
        QTemporaryDir folder;
        for (int i = 0; i < 2000; ++i)
            QVERIFY(writeFile(folder.filePath(QStringLiteral("%1.vcf").arg(i)),
                              "BEGIN:VCARD\nVERSION:3.0\nN:Lind;Bea;;;\nEND:VCARD\n"));
        const qsizetype before = runningThreads();
        {
            AddressBook book(folder.path());
            book.prefetch();
            QCOMPARE(runningThreads(), before + 1);
        }
        QCOMPARE(runningThreads(), before);
    }

    void changesOnDiskAreSeen()
    {
        QTemporaryDir folder;
        const QString added = folder.filePath(QStringLiteral("sub/new.vcf"));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub")));
        AddressBook book(folder.path());
        QVERIFY(read(book)); // the first read starts the watch
        QVERIFY(book.people().isEmpty());
        QSignalSpy changed(&book, &AddressBook::changed);
        QVERIFY(writeFile(added, "BEGIN:VCARD\nVERSION:3.0\nUID:new\nN:Added;Ada;;;\nEND:VCARD\n"));
        QVERIFY(changed.wait()); // the change starts a read in the background
        QCOMPARE(book.people().size(), 1);
        // Rewritten in place, as some editors save: the folder itself does not change.
        QFile file(added);
        QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
        file.write("BEGIN:VCARD\nVERSION:3.0\nUID:new\nN:Added;Adelaide;;;\nEND:VCARD\n");
        file.close();
        QVERIFY(changed.wait());
        QCOMPARE(book.people().value(0).firstName, QStringLiteral("Adelaide"));
        QVERIFY(QFile::remove(added));
        QVERIFY(changed.wait());
        QCOMPARE(book.people().size(), 0);
    }

    // The own card is named as its UID is written, with or without vCard 4.0's urn:uuid:.
    void ownCardByEitherSpellingOfItsUid_data()
    {
        QTest::addColumn<QByteArray>("cardUid");
        QTest::addColumn<QByteArray>("named");
        const QByteArray uuid = "8c5d0e8e-3c7a-4f0e-9d0b-2f4a1c6b7e11";
        QTest::newRow("urn in both") << "urn:uuid:" + uuid << "urn:uuid:" + uuid;
        QTest::newRow("urn in the card") << "urn:uuid:" + uuid << uuid;
        QTest::newRow("urn in the file") << uuid << "urn:uuid:" + uuid + "\nsecond line";
    }

    void ownCardByEitherSpellingOfItsUid()
    {
        QFETCH(QByteArray, cardUid);
        QFETCH(QByteArray, named);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("me.vcf")),
                          "BEGIN:VCARD\nVERSION:4.0\nUID:" + cardUid +
                              "\nN:Self;Sam;;;\nTEL;TYPE=cell:+447700900111\nEND:VCARD\n"));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("self-contact-uid")), named + "\n"));
        AddressBook book(folder.path());
        QVERIFY(read(book));
        QVERIFY(book.me());
        QCOMPARE(book.me()->firstName, QStringLiteral("Sam"));
    }
};

QTEST_GUILESS_MAIN(TestAddressBook)
#include "tst_addressbook.moc"
