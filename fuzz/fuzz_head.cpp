// An answer's head as libcurl hands it over, line by line: never a crash; an answer is taken only
// with a final status it can be judged by, and every refusal says why.
#include "FuzzCheck.h"
#include "HeadReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says whether only the status line is read (the send's post).
    const bool statusLineOnly = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    HeadReader head(statusLineOnly);
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', from);
        end = end < 0 ? bytes.size() : end + 1;
        const HeadReader::Step step = head.read(bytes.mid(from, end - from));
        from = end;
        switch (step) {
        case HeadReader::Step::More:
            continue;
        case HeadReader::Step::FinalStatus:
            FUZZ_CHECK(statusLineOnly && head.status() >= 200 && head.status() <= 999);
            return 0;
        case HeadReader::Step::Ended:
            FUZZ_CHECK(!statusLineOnly && head.status() >= 200 && head.status() <= 999);
            for (const auto& field : head.fields())
                FUZZ_CHECK(!field.first.isEmpty());
            return 0;
        case HeadReader::Step::Refused:
            FUZZ_CHECK(!head.refusal().isEmpty());
            return 0;
        }
    }
    return 0;
}
