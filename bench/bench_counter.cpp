// How long the message counter takes for a pasted megabyte and for one keystroke.

#include "CounterHarness.h"
#include "SmsText.h"

#include <QClipboard>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {
const QString megabyte = [] {
    QString text;
    const QString line =
        QStringLiteral("The quick brown fox jumps over the lazy dog [€] 0123456789\n");
    while (text.size() < (1 << 20))
        text += line;
    text.truncate(1 << 20);
    return text;
}();

// The rule alone: where a pasted megabyte is cut, and its counter.
void pastedMegabyteRule(benchmark::State& state)
{
    const qsizetype limit = state.range(0);
    for (auto _ : state) {
        const qsizetype kept = fittingPrefixLength(megabyte, limit);
        benchmark::DoNotOptimize(partsAndFill(countedLength(QStringView(megabyte).left(kept))));
    }
}
BENCHMARK(pastedMegabyteRule)->Arg(160)->Arg(640)->Unit(benchmark::kMicrosecond);

// The whole paste as the user makes it: the text goes into the message view, which is cut back.
void pastedMegabyteIntoTheView(benchmark::State& state)
{
    CounterHarness composer(state.range(0) == 640 ? QStringLiteral("ON") : QStringLiteral("OFF"));
    QGuiApplication::clipboard()->setText(megabyte);
    for (auto _ : state) {
        composer.message.clear();
        composer.message.paste();
    }
}
BENCHMARK(pastedMegabyteIntoTheView)->Arg(160)->Arg(640)->Unit(benchmark::kMillisecond);

// One keystroke in a full four-part message: the recount that follows it.
void keystrokeRecount(benchmark::State& state)
{
    CounterHarness composer(QStringLiteral("ON"));
    composer.message.setPlainText(QString(639, u'a'));
    for (auto _ : state)
        composer.counter.updateCharacterCounter();
}
BENCHMARK(keystrokeRecount)->Unit(benchmark::kMicrosecond);
} // namespace
