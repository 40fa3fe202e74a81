// A send to several: 500 recipients read through the number rules (target: under 50 ms), the
// list of outcomes as each of 500 is added (no frame over 16 ms), and a keystroke of completion
// over 10,000 cards (under 10 ms).

#include "GeneratedContacts.h"
#include "RecipientCompleter.h"
#include "RecipientList.h"
#include "RecipientOutcomes.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace {
// 500 recipients as people type and paste them: numbers in two spellings, each tenth the same
// number as an earlier one, and some names from the book.
QString fiveHundred()
{
    QStringList typed;
    for (int i = 0; i < 500; ++i) {
        if (i % 10 == 9)
            typed.append(QStringLiteral("+44 7700 9%1").arg(i - 9, 5, 10, QLatin1Char('0')));
        else if (i % 50 == 7)
            typed.append(QStringLiteral("Anna Berg"));
        else
            typed.append(QStringLiteral("07700 9%1").arg(i, 5, 10, QLatin1Char('0')));
    }
    return typed.join(QLatin1String(", "));
}

AddressBook& tenThousandCards()
{
    static AddressBook book(generatedFolder());
    static const bool read = [] {
        readWhole(book);
        return true;
    }();
    Q_UNUSED(read)
    return book;
}

void fiveHundredRecipients(benchmark::State& state)
{
    const QString box = fiveHundred();
    const Settings::NumberTranslation translation{QStringLiteral("ON"), QStringLiteral("44")};
    AddressBook& book = tenThousandCards();
    qsizetype distinct = 0;
    // The book's names are indexed anew at each press, as the send does.
    for (auto _ : state)
        distinct =
            RecipientList(box, translation,
                          state.range(0) ? RecipientList::namesIn(book) : RecipientList::Names())
                .distinct()
                .size();
    state.counters["distinct"] = double(distinct);
}
BENCHMARK(fiveHundredRecipients)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Each outcome added and the list drawn at once, as the window does between two requests: the
// longest of the 500 frames.
void outcomesOfFiveHundred(benchmark::State& state)
{
    double longest = 0;
    for (auto _ : state) {
        RecipientOutcomes outcomes;
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&outcomes);
        view.resize(480, 140);
        view.show();
        QApplication::processEvents();
        for (int i = 0; i < 500; ++i) {
            QElapsedTimer frame;
            frame.start();
            outcomes.add(QStringLiteral("07700 9%1").arg(i, 5, 10, QLatin1Char('0')),
                         i % 7 ? QStringLiteral("Sent")
                               : QStringLiteral("The server rejected the message"),
                         i % 7 != 0);
            view.scrollToBottom();
            view.repaint();
            QApplication::processEvents();
            longest = std::max(longest, double(frame.nsecsElapsed()) / 1e6);
        }
    }
    state.counters["longest frame ms"] = longest;
}
BENCHMARK(outcomesOfFiveHundred)->Unit(benchmark::kMillisecond)->Iterations(3);

// One keystroke of completion, by name and by number, over the whole book.
void completionKeystroke(benchmark::State& state)
{
    AddressBook& book = tenThousandCards();
    QComboBox box;
    box.setEditable(true);
    const QStringList recent{QStringLiteral("07700 900123"), QStringLiteral("07700 955555")};
    RecipientCompleter completer(box, book, [&recent] { return recent; });
    const QString typed =
        state.range(0) ? QStringLiteral("07700 9, an") : QStringLiteral("0770 09");
    for (auto _ : state)
        completer.offer(typed);
    state.counters["offers"] = double(completer.model()->rowCount());
}
BENCHMARK(completionKeystroke)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
} // namespace
