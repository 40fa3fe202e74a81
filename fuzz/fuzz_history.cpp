// The history document: never a crash, and the same rows, whole or in any slices (the slice
// sizes come from the input's first bytes).
#include "FuzzCheck.h"
#include "HistoryParser.h"

#include <QByteArray>

namespace {
struct Outcome
{
    QList<HistoryRow> rows;
    bool started;
    bool complete;
};

Outcome parse(const QByteArray& document, const QByteArray& sizes)
{
    HistoryParser parser;
    qsizetype at = 0;
    for (qsizetype i = 0; at < document.size(); ++i) {
        const qsizetype size =
            sizes.isEmpty() ? document.size() : 1 + uchar(sizes[i % sizes.size()]);
        parser.addData(document.mid(at, size));
        at += size;
    }
    parser.finish();
    return {parser.takeRows(), parser.started(), parser.complete()};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const QByteArray sizes(reinterpret_cast<const char*>(data), 4);
    const QByteArray document(reinterpret_cast<const char*>(data) + 4, qsizetype(size) - 4);
    const Outcome whole = parse(document, {});
    const Outcome sliced = parse(document, sizes);
    FUZZ_CHECK(whole.started == sliced.started && whole.complete == sliced.complete);
    FUZZ_CHECK(whole.rows == sliced.rows);
    return 0;
}
