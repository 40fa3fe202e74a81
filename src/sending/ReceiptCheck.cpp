#include "ReceiptCheck.h"

#include "SentHistory.h"
#include "TimerSource.h"

using namespace std::chrono_literals;

ReceiptCheck::ReceiptCheck(SentHistory& history_, TimerSource& timers_, QString msisdn_,
                           QString text_, std::optional<int> listedBefore_, QObject* parent)
    : QObject(parent), history(history_), timers(timers_), msisdn(std::move(msisdn_)),
      text(std::move(text_)), listedBefore(listedBefore_)
{}

void ReceiptCheck::start()
{
    look();
}

void ReceiptCheck::look()
{
    history.recount(this, msisdn, text, [this](std::optional<int> count) { counted(count); });
}

void ReceiptCheck::counted(std::optional<int> count)
{
    // Without a count from before, only a history without any such message says anything.
    const std::optional<int> before = listedBefore ? listedBefore : std::optional(0);
    if (!count || (!listedBefore && *count > 0) || *count < *before) {
        emit decided(Verdict::Unknown);
    } else if (*count > *before) {
        emit decided(Verdict::Received);
    } else if (!secondLook) {
        secondLook = true;
        timers.singleShot(10s, this, [this] { look(); });
    } else {
        emit decided(Verdict::NotReceived);
    }
}
