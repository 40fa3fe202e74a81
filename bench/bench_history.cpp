// Parsing a long history: 100,000 messages (about 20 MB) into rows, fed in the slices the
// client reads from the network.

#include "HistoryParser.h"
#include "QuibboService.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

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
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
