// Value escaping: the output holds only the characters left bare and %XX, and decodes back to
// the value exactly.
#include "FuzzCheck.h"
#include "QueryEscaping.h"

#include <QByteArray>
#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray escaped = escapedQueryValue(value);
    for (char c : escaped)
        FUZZ_CHECK((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   QByteArrayView("-_.!*'(),%").contains(c));
    FUZZ_CHECK(QByteArray::fromPercentEncoding(escaped) == value.toUtf8());
    return 0;
}
