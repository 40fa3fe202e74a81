// Parsing a long history: 100,000 messages (about 20 MB) into rows, fed in the slices the
// client reads from the network.

#include "Clock.h"
#include "HistoryCsv.h"
#include "HistoryParser.h"
#include "HistoryTableModel.h"
#include "QuibboService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <memory>

#include <sys/resource.h>

namespace {
QByteArray longHistory()
{
    QuibboService service;
    service.addAccount(QStringLiteral("bench@example.test"), QStringLiteral("pw"), 0);
    service.seedHistory(QStringLiteral("bench@example.test"), 100'000);
    return QuibboService::historyDocument(*service.account(QStringLiteral("bench@example.test")),
                                          QDateTime::currentDateTime());
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void parseLongHistory(benchmark::State& state)
{
    const QByteArray document = longHistory();
    constexpr qsizetype slice = 256 * 1024;
    qsizetype rows = 0;
    for (auto _ : state) {
        HistoryParser parser;
        for (qsizetype at = 0; at < document.size(); at += slice)
            parser.addData(
                QByteArray(document.constData() + at, std::min(slice, document.size() - at)));
        parser.finish();
        QList<HistoryRow> tableRows = parser.takeRows();
        rows = tableRows.size();
        benchmark::DoNotOptimize(tableRows);
    }
    state.counters["rows"] = double(rows);
    state.counters["MB"] = document.size() / 1e6;
    state.counters["peak_RSS_MiB"] = peakRssMiB();
}
BENCHMARK(parseLongHistory)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

// Qt's XML reader alone over the same document in the same slices, reading every token and
// keeping nothing: the floor of any parse built on it.
void xmlReaderAlone(benchmark::State& state)
{
    const QByteArray document = longHistory();
    constexpr qsizetype slice = 64 * 1024;
    for (auto _ : state) {
        QXmlStreamReader reader;
        reader.setNamespaceProcessing(false);
        qint64 tokens = 0;
        for (qsizetype at = 0; at < document.size(); at += slice) {
            reader.addData(
                QByteArray(document.constData() + at, std::min(slice, document.size() - at)));
            while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd())
                ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
}
BENCHMARK(xmlReaderAlone)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

QList<HistoryRow> longHistoryRows()
{
    HistoryParser parser;
    parser.addData(longHistory());
    parser.finish();
    return parser.takeRows();
}

class StillClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(12, 0)); }
};

// One keystroke of the history's search over 100,000 rows: the first, before the index of the
// rows is made, and each later one, which narrows what the last showed; then the field emptied.
void searchKeystroke(benchmark::State& state)
{
    const QList<HistoryRow> rows = longHistoryRows();
    StillClock clock;
    const QString typed = QStringLiteral("the station");
    const qsizetype keystroke = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<HistoryTableModel>(clock);
        model->setRows(rows);
        // The first keystroke may come before the index is made; a person's later ones after.
        if (keystroke > 1)
            model->finishIndexing();
        for (qsizetype length = 1; length < keystroke; ++length)
            model->setSearch({typed.left(length), std::nullopt});
        state.ResumeTiming();
        model->setSearch(
            {keystroke > typed.size() ? QString() : typed.left(keystroke), std::nullopt});
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset(); // waits for the index, which is no keystroke's
        state.ResumeTiming();
    }
}
BENCHMARK(searchKeystroke)
    ->Arg(1)
    ->Arg(2)
    ->Arg(6)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

// The 100,000 rows as a CSV file's bytes, as Export History makes them off the window's thread.
void exportCsv(benchmark::State& state)
{
    const QList<HistoryRow> rows = longHistoryRows();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray csv = HistoryCsv::write(rows, ContactNames());
        bytes = csv.size();
        benchmark::DoNotOptimize(csv);
    }
    state.counters["MB"] = bytes / 1e6;
}
BENCHMARK(exportCsv)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
