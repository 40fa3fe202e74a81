// The text rules on any text: the counter's fitting prefix never exceeds the limit nor splits
// a surrogate pair; the sender ID filter keeps within its length and never leaves half a pair;
// the number sent holds digits only.
#include "FuzzCheck.h"
#include "NumberRules.h"
#include "SmsText.h"
#include "TextFilters.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const qsizetype limit = data[0] * 4;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    const qsizetype fitting = fittingPrefixLength(text, limit);
    FUZZ_CHECK(fitting >= 0 && fitting <= text.size());
    FUZZ_CHECK(countedLength(QStringView(text).first(fitting)) <= limit);
    FUZZ_CHECK(fitting == 0 || fitting == text.size() || !text.at(fitting - 1).isHighSurrogate() ||
               !text.at(fitting).isLowSurrogate());
    // The next character, a surrogate pair whole, would not have fitted.
    if (fitting < text.size()) {
        const bool pair = text.at(fitting).isHighSurrogate() && fitting + 1 < text.size() &&
                          text.at(fitting + 1).isLowSurrogate();
        FUZZ_CHECK(countedLength(QStringView(text).first(fitting + (pair ? 2 : 1))) > limit);
    }

    const FilteredText sender = filterSenderId(text);
    FUZZ_CHECK(sender.text.size() <= 16);
    FUZZ_CHECK(sender.text.isEmpty() || !sender.text.back().isHighSurrogate());

    const QString digits = formatNumber(text, std::nullopt);
    for (QChar c : digits)
        FUZZ_CHECK(c >= u'0' && c <= u'9');
    return 0;
}
