// Property lists from the service: never a crash (libplist aborts on some input, which the
// reader must refuse first), and a dictionary of strings survives a round trip through XML.
#include "FuzzCheck.h"
#include "PropertyList.h"
#include "XmlPropertyList.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray answer(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QVariantMap> dictionary = propertyListDictionary(answer);
    if (!dictionary)
        return 0;
    QMap<QString, QString> strings;
    for (auto it = dictionary->begin(); it != dictionary->end(); ++it)
        if (it->typeId() == QMetaType::QString && !it->toString().contains(QChar(0)) &&
            !it.key().contains(QChar(0)))
            strings.insert(it.key(), it->toString());
    const std::optional<QVariantMap> again = propertyListDictionary(xmlPropertyList(strings));
    FUZZ_CHECK(again);
    for (auto it = strings.begin(); it != strings.end(); ++it) {
        // XML cannot carry every control character; those may be refused on the way back.
        if (std::any_of(it->begin(), it->end(),
                        [](QChar c) { return c < u' ' && c != u'\t' && c != u'\n' && c != u'\r'; }))
            continue;
        FUZZ_CHECK(again->value(it.key()).toString() == *it);
    }
    return 0;
}
