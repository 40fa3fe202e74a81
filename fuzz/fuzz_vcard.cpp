// Contact files: never a crash, no more cards than the text begins, and every card's UID bare.
#include "FuzzCheck.h"
#include "VCard.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<VCard> cards = parseVCards(text);
    FUZZ_CHECK(cards.size() <= text.toUpper().count("BEGIN"));
    for (const VCard& card : cards) {
        FUZZ_CHECK(card.uid == VCard::bareUid(card.uid));
        for (const QString& member : card.memberUids)
            FUZZ_CHECK(member == VCard::bareUid(member));
    }
    return 0;
}
