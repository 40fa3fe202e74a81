// The desktop's address book beside the contacts folder, on an Evolution Data Server of the
// test's own: a private session bus starts its registry and address-book factory, with the
// test's own home folders.
#include "Browser.h"
#include "MsgHistoryDataSource.h"
#include "ScriptedHttpServer.h"
#include "TestFiles.h"
#include "TestPlatform.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

#pragma push_macro("signals")
#undef signals
#include <libebook/libebook.h>
#pragma pop_macro("signals")

namespace {
constexpr int edsWait = 60'000; // the first answer starts the services by bus activation

// The built-in personal address book, written through libebook as GNOME Contacts would.
class Eds
{
public:
    Eds()
    {
        GError* error = nullptr;
        registry = e_source_registry_new_sync(nullptr, &error);
        check(error);
        ESource* source = e_source_registry_ref_builtin_address_book(registry);
        client = reinterpret_cast<EBookClient*>(
            e_book_client_connect_sync(source, guint32(-1), nullptr, &error));
        g_object_unref(source);
        check(error);
    }
    ~Eds()
    {
        g_object_unref(client);
        g_object_unref(registry);
    }

    QString add(const QByteArray& card)
    {
        EContact* contact = e_contact_new_from_vcard(card.constData());
        gchar* uid = nullptr;
        GError* error = nullptr;
        e_book_client_add_contact_sync(client, contact, E_BOOK_OPERATION_FLAG_NONE, &uid, nullptr,
                                       &error);
        g_object_unref(contact);
        check(error);
        const QString added = QString::fromUtf8(uid);
        g_free(uid);
        return added;
    }
    void modify(const QByteArray& card)
    {
        EContact* contact = e_contact_new_from_vcard(card.constData());
        GError* error = nullptr;
        e_book_client_modify_contact_sync(client, contact, E_BOOK_OPERATION_FLAG_NONE, nullptr,
                                          &error);
        g_object_unref(contact);
        check(error);
    }
    void remove(const QString& uid)
    {
        GError* error = nullptr;
        e_book_client_remove_contact_by_uid_sync(client, uid.toUtf8().constData(),
                                                 E_BOOK_OPERATION_FLAG_NONE, nullptr, &error);
        check(error);
    }
    void clear()
    {
        GSList* uids = nullptr;
        GError* error = nullptr;
        e_book_client_get_contacts_uids_sync(client, R"((contains "x-evolution-any-field" ""))",
                                             &uids, nullptr, &error);
        check(error);
        if (uids)
            e_book_client_remove_contacts_sync(client, uids, E_BOOK_OPERATION_FLAG_NONE, nullptr,
                                               &error);
        g_slist_free_full(uids, g_free);
        check(error);
    }

private:
    static void check(GError* error)
    {
        if (error)
            qFatal("Evolution Data Server: %s", error->message);
    }
    ESourceRegistry* registry = nullptr;
    EBookClient* client = nullptr;
};

// The cards of a vCard file, one text each, as an address book application hands them to
// libebook when it imports the file: lines ended by CR LF, no byte-order mark, the bytes of each
// value as the file has them.
QList<QByteArray> cardsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QByteArray text = file.readAll().replace("\xEF\xBB\xBF", "");
    text.replace("\r\r\n", "\n").replace("\r\n", "\n").replace('\r', '\n');
    QList<QByteArray> cards;
    for (const QByteArray& line : text.split('\n')) {
        if (line.toUpper().startsWith("BEGIN:VCARD"))
            cards.append(QByteArray());
        if (!cards.isEmpty())
            cards.last() += line + "\r\n";
    }
    return cards;
}

// What the book yields, by name rather than UID (a card without one gets one from the
// desktop's book), in an order that does not depend on the source.
QStringList facts(AddressBook& book)
{
    QStringList lines;
    const auto text = [](const std::optional<QString>& v) { return v ? *v : QStringLiteral("-"); };
    const auto name = [&text](const AddressBook::Person& p) {
        return text(p.firstName) + QLatin1Char(' ') + text(p.lastName) + QLatin1Char(' ') +
               text(p.organization);
    };
    for (const AddressBook::Person& p : book.people()) {
        QStringList phones;
        for (const VCard::Phone& phone : p.phones)
            phones << QStringLiteral("%1 %2 %3 %4")
                          .arg(int(phone.label))
                          .arg(phone.customLabel, phone.value, phone.extension);
        QStringList categories = p.categories;
        categories.sort();
        lines << name(p) + QStringLiteral(" | ") + categories.join(u',') + QStringLiteral(" | ") +
                     phones.join(QStringLiteral("; "));
    }
    for (qsizetype g = 0; g < book.groups().size(); ++g) {
        QStringList members;
        for (const AddressBook::Person& p : book.search(QString(), g))
            members << name(p);
        members.sort();
        lines << QStringLiteral("group %1: %2").arg(book.groups()[g].name, members.join(u','));
    }
    lines.sort();
    return lines;
}

// The test's own Evolution Data Server processes: every owner of one of its names on the
// test's bus.
QList<uint>
edsProcesses(const QString& services = QStringLiteral("org.gnome.evolution.dataserver."))
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QList<uint> pids;
    for (const QString& name : bus->registeredServiceNames().value())
        if (name.startsWith(services))
            if (const uint pid = bus->servicePid(name).value(); pid && !pids.contains(pid))
                pids.append(pid);
    return pids;
}

// How long the window's thread went, at most, without turning its event loop: a timer that
// should tick every few milliseconds notes the longest gap between two ticks.
class StallProbe
{
public:
    StallProbe()
    {
        QObject::connect(&ticker, &QTimer::timeout,
                         [this] { longest = std::max(longest, sinceLast.restart()); });
        ticker.start(10);
        sinceLast.start();
    }
    qint64 longestMilliseconds() const { return std::max(longest, sinceLast.elapsed()); }

private:
    QTimer ticker;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
};

bool has(AddressBook& book, const QString& firstName)
{
    for (const AddressBook::Person& p : book.people())
        if (p.firstName == firstName)
            return true;
    return false;
}
} // namespace

class TestDesktopAddressBook : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Eds> eds;
    QTemporaryDir empty;

private Q_SLOTS:
    void initTestCase()
    {
        // What an earlier run left in the test's home would come back as contacts.
        for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            QDir(qEnvironmentVariable(variable) + QStringLiteral("/evolution")).removeRecursively();
        eds = std::make_unique<Eds>();
    }
    void init() { eds->clear(); }
    void cleanupTestCase() { eds.reset(); }

    // A card reads the same from the desktop's book as from the folder: labels, names, groups.
    void cardsReadAsFromTheFolder_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* file : {"v30.vcf", "v21.vcf", "sub/v40.vcf", "groups.vcf"})
            QTest::newRow(file) << QStringLiteral(QUIBBO_TEST_DATA "/contacts/") +
                                       QLatin1String(file);
        // As phones, webmail and address books export them; but libebook takes text in UTF-8
        // alone, and keeps the text of these damaged, which no reader mends.
        const QStringList notUtf8{"outlook-2.1.vcf", "windows-codepage-3.0.vcf",
                                  "windows-utf16-3.0.vcf"};
        const QDir exports(QStringLiteral(QUIBBO_TEST_DATA "/exports"));
        for (const QString& file : exports.entryList({QStringLiteral("*.vcf")}))
            if (!notUtf8.contains(file))
                QTest::newRow(qPrintable(file)) << exports.filePath(file);
    }
    void cardsReadAsFromTheFolder()
    {
        QFETCH(QString, path);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(path, folder.filePath(QStringLiteral("cards.vcf"))));
        AddressBook fromFolder(folder.path());
        fromFolder.prefetch();
        QVERIFY(QTest::qWaitFor([&fromFolder] { return fromFolder.isRead(); }));

        const QList<QByteArray> cards = cardsOf(path);
        for (const QByteArray& card : cards)
            eds->add(card);
        EdsContacts desktop;
        AddressBook fromDesktop(empty.path(), &desktop);
        fromDesktop.prefetch();
        const QStringList expected = facts(fromFolder);
        if (!QTest::qWaitFor([&] { return facts(fromDesktop) == expected; }, edsWait))
            QCOMPARE(facts(fromDesktop), expected); // says what differs
    }

    // People added in GNOME Contacts appear in the browser; a change and a removal made while
    // it is open show at its next read.
    void browserFollowsTheDesktopsBook()
    {
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-bea\nN:Lind;Bea;;;\n"
                 "TEL;TYPE=CELL:+46 70 123 45 67\nCATEGORIES:Choir\nEND:VCARD\n");
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-carl\nN:Berg;carl;;;\nEND:VCARD\n");
        EdsContacts desktop;
        Browser b(QStringLiteral(QUIBBO_TEST_DATA "/contacts"), false, &desktop);
        QVERIFY(
            QTest::qWaitFor([&b] { return b.column(b.people).contains("Bea Lind "); }, edsWait));
        // Sorted among the folder's people by first name, in any letter case.
        QCOMPARE(b.column(b.people),
                 (QStringList{"Ana Nguyen ", "(Andromeda Ltd)", "Anna Berg (Smith, Jones & Co)",
                              "Bea Lind ", "carl Berg ", "Joanna Smith ",
                              QString::fromUtf8("José Müller "), "Paul Andrews ", "Zoe Quinn "}));
        QVERIFY(b.column(b.groups).contains(QStringLiteral("Choir")));

        // The number row stays chosen from a folder card to a desktop one.
        b.choosePerson(QStringLiteral("Anna Berg (Smith, Jones & Co)"));
        b.choose(b.numbers, 0);
        b.choosePerson(QStringLiteral("Bea Lind "));
        QCOMPARE(b.recipient.currentText(), QStringLiteral("+46 70 123 45 67"));

        eds->modify("BEGIN:VCARD\nVERSION:3.0\nUID:eds-bea\nN:Lind;Beatrice;;;\n"
                    "TEL;TYPE=CELL:+46 70 999 99 99\nEND:VCARD\n");
        eds->remove(QStringLiteral("eds-carl"));
        QVERIFY(QTest::qWaitFor([&b] { return !has(b.book, QStringLiteral("carl")); }, edsWait));
        QVERIFY(QTest::qWaitFor([&b] { return has(b.book, QStringLiteral("Beatrice")); }, edsWait));
        b.search.setText(QStringLiteral("lin"));
        QCOMPARE(b.column(b.people), (QStringList{"Beatrice Lind "}));
        b.choosePerson(QStringLiteral("Beatrice Lind "));
        QCOMPARE(b.column(b.numbers, 1), QStringList{"+46 70 999 99 99"});
    }

    // A group chosen while the desktop's books are still to answer stays chosen once they do:
    // the lists fill again then, and "All" in its place would add the whole book.
    void aGroupChosenBeforeTheDesktopAnswersStaysChosen_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("people");
        QTest::addColumn<QString>("added");
        QTest::newRow("the first group")
            << "Family" << QStringList{QString::fromUtf8("José Müller ")} << "+49 (170) 1234567";
        QTest::newRow("the last group")
            << "Book club" << QStringList{"Anna Berg (Smith, Jones & Co)"} << "07700 900123";
    }

    void aGroupChosenBeforeTheDesktopAnswersStaysChosen()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, people);
        QFETCH(QString, added);
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-bea\nN:Lind;Bea;;;\n"
                 "TEL;TYPE=CELL:+46 70 123 45 67\nCATEGORIES:Choir\nEND:VCARD\n");
        EdsContacts desktop;
        std::optional<Browser> b;
        {
            const QList<uint> services = edsProcesses();
            for (const uint pid : services)
                ::kill(pid_t(pid), SIGSTOP);
            const auto resume = qScopeGuard([&services] {
                for (const uint pid : services)
                    ::kill(pid_t(pid), SIGCONT);
            });
            b.emplace(QStringLiteral(QUIBBO_TEST_DATA "/contacts"), true, &desktop);
            QVERIFY(QTest::qWaitFor([&b] { return b->column(b->groups).contains("Book club"); }));
            b->chooseGroup(group);
        }
        QVERIFY(QTest::qWaitFor([&b] { return b->column(b->groups).contains("Choir"); }, edsWait));
        QCOMPARE(b->column(b->people), people);
        b->controller.addChosenGroup();
        QCOMPARE(b->recipient.currentText(), added);
    }

    // A card synced into both (the same UID) shows once, as the folder has it; the user's own
    // card may be one of the desktop's, found without a question asked first; a contact list of
    // the desktop's is a group.
    void bothSourcesAtOnce()
    {
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("mine.vcf")),
                          "BEGIN:VCARD\nVERSION:3.0\nUID:shared\nN:Folder;Fay;;;\nEND:VCARD\n"));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("self-contact-uid")), "eds-me\n"));
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:shared\nN:Desktop;Fay;;;\nEND:VCARD\n");
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-me\nN:Self;Sam;;;\n"
                 "TEL;TYPE=CELL:+44 7700 900001\nEND:VCARD\n");
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-list\nFN:Neighbours\nN:Neighbours;;;;\n"
                 "X-EVOLUTION-LIST:TRUE\n"
                 "EMAIL;X-EVOLUTION-DEST-CONTACT-UID=eds-me:sam@example.org\nEND:VCARD\n");
        EdsContacts desktop;
        AddressBook book(folder.path(), &desktop);
        book.prefetch();
        // The own card is not in the folder: its read asks the desktop's books by itself, so
        // that the first selection from another program finds the card.
        QVERIFY(QTest::qWaitFor([&] { return desktop.isStarted() && book.isRead(); }, edsWait));

        QStringList lasts;
        for (const AddressBook::Person& p : book.people())
            lasts << p.lastName.value_or(QString());
        lasts.sort();
        QCOMPARE(lasts, (QStringList{"Folder", "Self"}));
        QCOMPARE(book.me().value().firstName, QStringLiteral("Sam"));
        QCOMPARE(book.groups().size(), 1);
        QCOMPARE(book.groups().first().name, QStringLiteral("Neighbours"));
        QCOMPARE(book.search(QString(), 0).size(), 1);
    }

    // The history names its numbers from the desktop's cards too, but while it has no row to
    // name (from the start until the first fetch) it leaves the desktop's books unasked, and
    // libebook unloaded.
    void historyAsksTheDesktopOnlyForRowsToName()
    {
        eds->add(
            "BEGIN:VCARD\nVERSION:3.0\nN:Lind;Bea;;;\nTEL;TYPE=CELL:07700 900123\nEND:VCARD\n");
        ScriptedHttpServer server({ScriptedHttpServer::Answer{
            200,
            {"<?xml version=\"1.0\"?><Messages><Message msisdn=\"447700900123\" "
             "timesent=\"2006-03-08 14:00:00 +0000\" state=\"2\">Hi</Message></Messages>"}}});
        TestPlatform test;
        test.settings.setDictionary(QStringLiteral("numberTranslation"),
                                    {{"translationState", "ON"}, {"countryCode", "44"}});
        EdsContacts desktop;
        AddressBook book(empty.path(), &desktop);
        QTableView table;
        QLabel status;
        QPushButton refresh;
        MsgHistoryDataSource history({table, status, refresh}, test.platform(&book),
                                     ServiceEndpoints(server.url(), server.url()));
        history.awakeFromNib();
        QSignalSpy folderRead(&book, &AddressBook::changed);
        book.prefetch();
        QVERIFY(folderRead.wait());
        QVERIFY(!desktop.isStarted());

        QSignalSpy fetched(&history, &MsgHistoryDataSource::fetchFinished);
        refresh.click();
        QVERIFY(fetched.wait());
        const QModelIndex number = history.model().index(0, HistoryTableModel::NumberColumn);
        QVERIFY(QTest::qWaitFor(
            [&] { return number.data().toString() == QStringLiteral("Bea Lind (447700900123)"); },
            edsWait));
    }

    // Both of the bus's answers at the start are in before either is announced (the window's
    // thread was busy): they are taken in once, with one watch on the services and one registry.
    void bothAnswersAtOnceAreTakenInOnce()
    {
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-bea\nN:Lind;Bea;;;\nEND:VCARD\n");
        EdsContacts desktop;
        desktop.start();
        // A call that waits holds the thread while both answers arrive.
        QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
        QVERIFY(QTest::qWaitFor([&] { return desktop.isSettled(); }, edsWait));
        QCOMPARE(desktop.findChildren<QDBusServiceWatcher*>().size(), 1);
        QCOMPARE(desktop.cards().size(), 1);
    }

    // The desktop's address book services end (a crash, an update), all of them or one while
    // the other stays, and are started again by the next program that asks: the client
    // reconnects, and contacts added since appear.
    void theDesktopsBookComesBackAfterItsServicesRestart_data()
    {
        QTest::addColumn<QString>("services");
        // Whether anything but the client asks for the services again: a registry that ended
        // alone, and that nothing else asks for, the client starts itself.
        QTest::addColumn<bool>("askedByOthers");
        QTest::newRow("every service") << "org.gnome.evolution.dataserver." << true;
        QTest::newRow("the address books alone")
            << "org.gnome.evolution.dataserver.AddressBook" << true;
        QTest::newRow("the registry alone") << "org.gnome.evolution.dataserver.Sources" << true;
        QTest::newRow("the registry alone, asked for by nobody else")
            << "org.gnome.evolution.dataserver.Sources" << false;
    }
    void theDesktopsBookComesBackAfterItsServicesRestart()
    {
        QFETCH(QString, services);
        QFETCH(bool, askedByOthers);
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-bea\nN:Lind;Bea;;;\nEND:VCARD\n");
        EdsContacts desktop;
        AddressBook book(empty.path(), &desktop);
        book.prefetch();
        QVERIFY(QTest::qWaitFor([&] { return has(book, QStringLiteral("Bea")); }, edsWait));

        eds.reset(); // the test's own connections end with the services
        const QList<uint> ending = edsProcesses(services);
        QVERIFY(!ending.isEmpty());
        for (const uint pid : ending)
            ::kill(pid_t(pid), SIGKILL);
        QVERIFY(QTest::qWaitFor([&] { return edsProcesses(services).isEmpty(); }, edsWait));
        if (!askedByOthers)
            QVERIFY(QTest::qWaitFor([&] { return !edsProcesses(services).isEmpty(); }, edsWait));

        eds = std::make_unique<Eds>(); // started again by bus activation
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-cleo\nN:Moss;Cleo;;;\nEND:VCARD\n");
        QVERIFY(QTest::qWaitFor(
            [&] { return has(book, QStringLiteral("Cleo")) && has(book, QStringLiteral("Bea")); },
            edsWait));
    }

    // The address book services stop answering: letting go of their books (at a quit) and asking
    // for them anew never hold the window's thread.
    void aHungAddressBookServiceNeverHoldsTheWindow()
    {
        eds->add("BEGIN:VCARD\nVERSION:3.0\nUID:eds-bea\nN:Lind;Bea;;;\nEND:VCARD\n");
        auto desktop = std::make_unique<EdsContacts>();
        auto book = std::make_unique<AddressBook>(empty.path(), desktop.get());
        book->prefetch();
        QVERIFY(QTest::qWaitFor([&] { return has(*book, QStringLiteral("Bea")); }, edsWait));

        const QList<uint> services = edsProcesses();
        for (const uint pid : services)
            ::kill(pid_t(pid), SIGSTOP);
        const auto resumed = qScopeGuard([&services] {
            for (const uint pid : services)
                ::kill(pid_t(pid), SIGCONT);
        });
        const StallProbe probe;
        book.reset();
        desktop.reset();
        EdsContacts again;
        AddressBook asked(empty.path(), &again);
        asked.people();
        QVERIFY(QTest::qWaitFor([&again] { return again.isStarted(); }));
        QVERIFY2(probe.longestMilliseconds() < 2000,
                 qPrintable(QStringLiteral("the window's thread was held for %1 ms")
                                .arg(probe.longestMilliseconds())));
    }
};

QTEST_MAIN(TestDesktopAddressBook)
#include "tst_desktopaddressbook.moc"
