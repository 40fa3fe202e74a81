// The balance answer: never a crash, and the figure is the leading integer, clamped.
#include "BalanceText.h"
#include "FuzzCheck.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<int> balance = balanceFromBody(body);
    // Whatever follows a figure does not change it.
    if (balance && !body.isEmpty() && body.back() >= '0' && body.back() <= '9')
        return 0;
    if (balance)
        FUZZ_CHECK(balanceFromBody(body + " credits") == balance);
    return 0;
}
