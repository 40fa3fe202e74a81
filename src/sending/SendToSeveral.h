#pragma once

#include "MessageJournal.h"
#include "RecipientList.h"

#include <QCoreApplication>

#include <optional>

class RecipientOutcomes;

// One press of Send for several recipients: the distinct numbers not yet sent to, one at a time,
// each recipient's outcome as a row of the list beside the status line, and the summary at the
// end. A lack of credit stops the rest.
class SendToSeveral
{
    Q_DECLARE_TR_FUNCTIONS(SendToSeveral)
public:
    using Record = JournalFile::Record;
    using Outcome = MessageJournal::Outcome;

    // message: the text and when it was pressed for; outcomes is cleared for this press.
    SendToSeveral(const RecipientList& list, const Record& message, RecipientOutcomes& outcomes);

    // The next recipient's message, taken from those to come; none when all have been asked
    // for, or a lack of credit stopped the rest.
    std::optional<Record> next();
    // The message next() gave could not go: its recipient stays with those not asked for.
    void putBack(const Record& message);
    QString progress() const;

    // What became of the message next() gave; true when the recipient got it. unwritten: why
    // the disk would not take it, for a message that could not be saved.
    bool ended(const Record& record, Outcome outcome, const QString& unwritten);
    // An earlier run's message ended: a recipient still to come that the history shows has it,
    // or of whom it could not tell, is not sent to again (nor, then, without the user). Whether
    // the message was one of theirs.
    bool endedBefore(const Record& record, Outcome outcome);

    int sent() const;
    bool creditLacking() const { return lackOfCredit; }
    // The status line's sentence, once every recipient was asked for or the rest were stopped:
    // those never asked for get their rows now. why: what stopped the rest, if anything else.
    QString finish(const QString& why = {});
    bool allSent() const;

private:
    Record message;
    QList<RecipientList::Recipient> queued;
    RecipientOutcomes& outcomes;
    qsizetype total = 0;
    qsizetype failed = 0;
    bool lackOfCredit = false;
};
