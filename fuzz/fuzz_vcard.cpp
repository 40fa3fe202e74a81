// Contact files: never a crash, no more cards than the text begins (in UTF-16 too), and a
// card's UID names it whether or not it is written with vCard 4.0's urn:uuid: before it.
#include "FuzzCheck.h"
#include "VCard.h"

#include <QByteArray>
#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<VCard> cards = parseVCards(bytes);
    QString text = QString::fromLatin1(bytes);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        text += QStringDecoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE)
                    .decode(bytes.mid(2));
    FUZZ_CHECK(cards.size() <= text.toUpper().count(QLatin1String("BEGIN")));
    const QString urn = QStringLiteral("urn:uuid:");
    for (const VCard& card : cards) {
        FUZZ_CHECK(VCard::bareUid(urn + card.uid) == card.uid);
        for (const QString& member : card.memberUids)
            FUZZ_CHECK(VCard::bareUid(urn + member) == member);
    }
    return 0;
}
