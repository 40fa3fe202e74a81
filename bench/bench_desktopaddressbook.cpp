// 10,000 contacts in the desktop's address book (an Evolution Data Server of the benchmark's
// own, on a private bus: run it through bench/eds-session): the time until the browser's first
// people list, and one keystroke of search over them.

#include "AddressBookController.h"
#include "EdsContacts.h"
#include "FakeApplicationLauncher.h"
#include "FakeUrlOpener.h"

#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#pragma push_macro("signals")
#undef signals
#include <libebook/libebook.h>
#pragma pop_macro("signals")

namespace {
constexpr int contacts = 10'000;

// Fills the built-in address book once, as a sync from an online account would.
void fillTheDesktopsBook()
{
    static bool filled = false;
    if (filled)
        return;
    filled = true;
    GError* error = nullptr;
    ESourceRegistry* registry = e_source_registry_new_sync(nullptr, &error);
    ESource* source = registry ? e_source_registry_ref_builtin_address_book(registry) : nullptr;
    auto* client = source ? reinterpret_cast<EBookClient*>(
                                e_book_client_connect_sync(source, guint32(-1), nullptr, &error))
                          : nullptr;
    if (!client)
        qFatal("no address book of the desktop's: %s", error ? error->message : "");
    const QStringList firstNames{"Anna", "Ben",  "Carla", "David", "Eva",  "Farid", "Greta",
                                 "Hugo", "Ines", "Jonas", "Kira",  "Liam", "Mona",  "Nils"};
    const QStringList lastNames{"Andrews", "Berg", "Costa", "Dahl", "Evans", "Fischer", "Garcia"};
    QRandomGenerator random(7);
    for (int batch = 0; batch < contacts; batch += 500) {
        GSList* list = nullptr;
        for (int i = batch; i < batch + 500; ++i) {
            const QByteArray card =
                QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:eds-%1\r\nN:%2;%3;;;\r\n"
                               "FN:%3 %2\r\nTEL;TYPE=CELL:07700 9%4\r\nCATEGORIES:%5\r\n"
                               "END:VCARD\r\n")
                    .arg(i)
                    .arg(lastNames[random.bounded(lastNames.size())],
                         firstNames[random.bounded(firstNames.size())])
                    .arg(random.bounded(100000), 5, 10, QLatin1Char('0'))
                    .arg(i % 3 ? QStringLiteral("Friends") : QStringLiteral("Work"))
                    .toUtf8();
            list = g_slist_prepend(list, e_contact_new_from_vcard(card.constData()));
        }
        if (!e_book_client_add_contacts_sync(client, list, E_BOOK_OPERATION_FLAG_NONE, nullptr,
                                             nullptr, &error))
            qFatal("cannot add contacts: %s", error->message);
        g_slist_free_full(list, g_object_unref);
    }
    g_object_unref(client);
    g_object_unref(source);
    g_object_unref(registry);
}

struct Browser
{
    explicit Browser(EdsContacts& desktop)
        : book(folder.path(), &desktop),
          controller({groups, people, name, numbers, recipient, search}, book, launcher, urls)
    {
        controller.awakeFromNib();
    }
    QTemporaryDir folder; // empty: every card comes from the desktop's book
    AddressBook book;
    FakeApplicationLauncher launcher;
    FakeUrlOpener urls;
    QListView groups, people;
    QTableView numbers;
    QLineEdit name, search;
    QComboBox recipient;
    AddressBookController controller;
};

// From the browser's opening (nothing loaded, the desktop's book not yet asked) until its
// people list holds every contact.
void firstPeopleList(benchmark::State& state)
{
    fillTheDesktopsBook();
    qsizetype shown = 0;
    for (auto _ : state) {
        EdsContacts desktop;
        Browser b(desktop);
        b.controller.load();
        QEventLoop loop;
        QObject::connect(&b.book, &AddressBook::changed, &loop, [&] {
            if (b.people.model()->rowCount() == contacts)
                loop.quit();
        });
        loop.exec();
        shown = b.people.model()->rowCount();
    }
    state.counters["people"] = double(shown);
}
BENCHMARK(firstPeopleList)->Unit(benchmark::kMillisecond)->Iterations(5);

void searchKeystroke(benchmark::State& state)
{
    fillTheDesktopsBook();
    EdsContacts desktop;
    Browser b(desktop);
    b.book.prefetch();
    b.book.people(); // the first question asks the desktop's book
    QEventLoop loop;
    QObject::connect(&b.book, &AddressBook::changed, &loop, [&] {
        if (b.book.isRead())
            loop.quit();
    });
    loop.exec();
    b.controller.load();
    qsizetype shown = 0;
    for (auto _ : state) {
        // Typing the second letter of a name, then taking it back.
        b.search.setText(QStringLiteral("a"));
        b.search.setText(QStringLiteral("an"));
        shown = b.people.model()->rowCount();
    }
    state.counters["shown"] = double(shown);
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(searchKeystroke)->Unit(benchmark::kMillisecond);
} // namespace
