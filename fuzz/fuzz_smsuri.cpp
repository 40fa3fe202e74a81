// sms: links from other programs: never a crash, and a recipient never holds a line break or
// another invisible character (the number shown must be the number sent).
#include "FuzzCheck.h"
#include "SmsUri.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString link = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<SmsUri> uri = parseSmsUri(link);
    if (!uri)
        return 0;
    for (const QString& recipient : uri->recipients) {
        FUZZ_CHECK(!recipient.isEmpty());
        for (QChar c : recipient)
            FUZZ_CHECK(
                c.category() != QChar::Other_Control && c.category() != QChar::Separator_Line &&
                c.category() != QChar::Separator_Paragraph && c.category() != QChar::Other_Format);
    }
    return 0;
}
