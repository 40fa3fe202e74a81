// Reading a folder of 10,000 cards, and one keystroke of search over them.

#include "AddressBookController.h"
#include "FakeApplicationLauncher.h"
#include "FakeUrlOpener.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {
const QStringList firstNames{"Anna", "Ben",   "Carla", "David", "Eva",  "Farid", "Greta",
                             "Hugo", "Ines",  "Jonas", "Kira",  "Liam", "Mona",  "Nils",
                             "Olga", "Pavel", "Quinn", "Rosa",  "Sven", "Tara"};
const QStringList lastNames{"Andrews", "Berg", "Costa", "Dahl",  "Evans", "Fischer", "Garcia",
                            "Hansen",  "Ito",  "Jones", "Kowal", "Lund",  "Meyer",   "Novak"};

QString generatedFolder()
{
    static QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("contacts"));
    if (QDir(folder).exists())
        return folder;
    QRandomGenerator random(7);
    for (int i = 0; i < 10'000; ++i) {
        const QString sub = folder + QStringLiteral("/book%1").arg(i % 10);
        QDir().mkpath(sub);
        QFile file(sub + QStringLiteral("/card%1.vcf").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(
            QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card-%1\r\nN:%2;%3;;;\r\n"
                           "FN:%3 %2\r\nTEL;TYPE=CELL:07700 9%4\r\nTEL;TYPE=WORK:020 7946 %5\r\n"
                           "CATEGORIES:%6\r\nEND:VCARD\r\n")
                .arg(i)
                .arg(lastNames[random.bounded(lastNames.size())])
                .arg(firstNames[random.bounded(firstNames.size())])
                .arg(random.bounded(100000), 5, 10, QLatin1Char('0'))
                .arg(random.bounded(10000), 4, 10, QLatin1Char('0'))
                .arg(i % 3 ? QStringLiteral("Friends") : QStringLiteral("Work"))
                .toUtf8());
    }
    return folder;
}

// Reads the book in the background and returns once the read has ended.
void readWhole(AddressBook& book)
{
    QEventLoop loop;
    QObject::connect(&book, &AddressBook::changed, &loop, &QEventLoop::quit);
    book.prefetch();
    if (!book.isRead())
        loop.exec();
}

void loadTenThousandCards(benchmark::State& state)
{
    const QString folder = generatedFolder();
    qsizetype people = 0;
    for (auto _ : state) {
        AddressBook book(folder);
        readWhole(book);
        people = book.people().size();
    }
    state.counters["people"] = double(people);
}
BENCHMARK(loadTenThousandCards)->Unit(benchmark::kMillisecond);

// How long a question holds the window while the book is read in the background (the target
// is under 50 ms): opening the browser just after start.
void questionDuringTheRead(benchmark::State& state)
{
    const QString folder = generatedFolder();
    double longest = 0;
    for (auto _ : state) {
        AddressBook book(folder);
        book.prefetch();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(book.people().size());
        const std::chrono::duration<double> held = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(held.count());
        longest = std::max(longest, held.count() * 1000);
        readWhole(book); // one read at a time, as in the client
    }
    state.counters["longest_ms"] = longest;
}
BENCHMARK(questionDuringTheRead)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void searchKeystroke(benchmark::State& state)
{
    AddressBook book(generatedFolder());
    readWhole(book);
    FakeApplicationLauncher launcher;
    FakeUrlOpener urls;
    QListView groups, people;
    QTableView numbers;
    QLineEdit name, search;
    QComboBox recipient;
    AddressBookController browser({groups, people, name, numbers, recipient, search}, book,
                                  launcher, urls);
    browser.awakeFromNib();
    browser.load();
    qsizetype shown = 0;
    for (auto _ : state) {
        // Typing the second letter of a name, then taking it back.
        search.setText(QStringLiteral("a"));
        search.setText(QStringLiteral("an"));
        shown = browser.myPeople.size();
    }
    state.counters["shown"] = double(shown);
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(searchKeystroke)->Unit(benchmark::kMillisecond);
} // namespace
