#include "SendToSeveral.h"

#include "ClockTime.h"
#include "RecipientOutcomes.h"

SendToSeveral::SendToSeveral(const RecipientList& list, const Record& message_,
                             RecipientOutcomes& outcomes_)
    : message(message_), queued(list.distinct()), outcomes(outcomes_), total(queued.size())
{
    outcomes.clear();
}

std::optional<SendToSeveral::Record> SendToSeveral::next()
{
    if (lackOfCredit || queued.isEmpty())
        return std::nullopt;
    const RecipientList::Recipient recipient = queued.takeFirst();
    Record next = message;
    next.number = recipient.typed;
    next.msisdn = recipient.msisdn;
    return next;
}

void SendToSeveral::putBack(const Record& unsent)
{
    queued.prepend({unsent.number, unsent.msisdn});
}

QString SendToSeveral::progress() const
{
    //: %1 is which recipient is being sent to, %2 how many there are.
    return tr("Sending %1 of %2...").arg(total - queued.size()).arg(total);
}

bool SendToSeveral::ended(const Record& record, Outcome outcome, const QString& unwritten)
{
    QString word;
    switch (outcome) {
    case Outcome::Sent:
        //: A recipient's outcome in the list of a send to several.
        word = tr("Sent");
        break;
    case Outcome::SentLate:
        word = tr("Sent: its answer never came, but the service's history lists it");
        break;
    case Outcome::InsufficientCredit:
        word = tr("Insufficient credits");
        lackOfCredit = true;
        break;
    case Outcome::Rejected:
        word = tr("The server rejected the message");
        break;
    case Outcome::NotReached:
        word = tr("Error talking to server");
        break;
    case Outcome::NotRecorded:
        //: %1 is why the disk would not take it, as "the disk is full".
        word = tr("Not sent: it could not be saved before sending (%1)").arg(unwritten);
        break;
    case Outcome::NotReceived:
        word = tr("The service did not receive it: you can send it again");
        break;
    case Outcome::ReceiptUnknown:
        word = tr("Whether the service received it is not known: look in the history");
        break;
    }
    const bool got = outcome == Outcome::Sent || outcome == Outcome::SentLate;
    outcomes.add(record.number, word, got);
    if (!got)
        ++failed;
    return got;
}

bool SendToSeveral::endedBefore(const Record& record, Outcome outcome)
{
    if (outcome != Outcome::Sent && outcome != Outcome::SentLate &&
        outcome != Outcome::ReceiptUnknown)
        return false;
    const auto theirs =
        std::find_if(queued.cbegin(), queued.cend(), [&record](const RecipientList::Recipient& r) {
            return r.msisdn == record.msisdn;
        });
    if (theirs == queued.cend())
        return false;
    queued.erase(theirs);
    ended(record, outcome, {});
    return true;
}

int SendToSeveral::sent() const
{
    return outcomes.sent();
}

bool SendToSeveral::allSent() const
{
    return outcomes.sent() == total;
}

QString SendToSeveral::finish(const QString& why)
{
    for (const RecipientList::Recipient& unsent : std::as_const(queued))
        //: A recipient's outcome: the send stopped before it (a lack of credit, as a rule).
        outcomes.add(unsent.typed,
                     lackOfCredit ? tr("Not sent: insufficient credits") : tr("Not sent"), false);
    //: %1 recipients of %2 got the message, at %3.
    QString sentence = tr("Sent to %1 of %2 recipients at %3.")
                           .arg(outcomes.sent())
                           .arg(total)
                           .arg(clockTime(message.queued.time()));
    if (failed > 0)
        sentence += QLatin1Char(' ') + tr("%n failed.", nullptr, int(failed));
    if (!queued.isEmpty() && lackOfCredit)
        sentence +=
            QLatin1Char(' ') + tr("%n not sent for lack of credit.", nullptr, int(queued.size()));
    if (!why.isEmpty())
        sentence += QLatin1Char(' ') + why;
    return sentence;
}
