#include "MessageJournal.h"

#include "ReceiptCheck.h"
#include "SentHistory.h"

#include <QUuid>

namespace {
// The history lists a text without white space at either end: two messages that differ only
// there are the same message to it.
bool sameMessage(const JournalFile::Record& a, const JournalFile::Record& b)
{
    return a.msisdn == b.msisdn && a.text.trimmed() == b.text.trimmed();
}

bool mayHaveLeft(JournalFile::Record::State state)
{
    using State = JournalFile::Record::State;
    return state == State::Posting || state == State::Unanswered || state == State::Checking;
}
} // namespace

MessageJournal::MessageJournal(JournalFile& file_, SentHistory& history_, TimerSource& timers_,
                               Questions questions_, QObject* parent)
    : QObject(parent), file(file_), history(history_), timers(timers_),
      questions(std::move(questions_))
{}

MessageJournal::~MessageJournal() = default;

bool MessageJournal::load()
{
    if (owned)
        return true;
    const bool wasRefused = std::exchange(refused, !file.take());
    if (refused) {
        if (!wasRefused)
            emit changed();
        return false;
    }
    owned = true;
    journal = file.read();
    bool formatted = false;
    for (Record& record : journal) {
        // Whatever was under way when the last run ended may have reached the service.
        if (mayHaveLeft(record.state))
            record.state = State::Unanswered;
        if (!record.msisdn.isEmpty())
            continue;
        record.msisdn = questions.formatNumber(record.number);
        formatted = true;
        if (record.msisdn.isEmpty() && !mayHaveLeft(record.state)) {
            record.state = State::Held;
            record.reason = QStringLiteral("invalid-number");
        }
    }
    if (formatted)
        save();
    if (!journal.isEmpty() || wasRefused)
        emit changed();
    // What may have gone before the end of the last run is asked of the history before
    // anything of it may go again.
    checkNext();
    return true;
}

void MessageJournal::loadKept()
{
    if (file.exists())
        load();
}

const MessageJournal::Record* MessageJournal::find(const QString& id) const
{
    for (const Record& record : journal)
        if (record.id == id)
            return &record;
    return nullptr;
}

void MessageJournal::remove(const QString& id)
{
    journal.removeIf([&id](const Record& r) { return r.id == id; });
}

MessageJournal::Record* MessageJournal::changeable(const QString& id)
{
    return const_cast<Record*>(std::as_const(*this).find(id));
}

QList<MessageJournal::Record> MessageJournal::outbox() const
{
    QList<Record> waiting;
    for (const Record& record : journal)
        if (!record.byHand)
            waiting.append(record);
    return waiting;
}

bool MessageJournal::mayBeOut(const Record& message) const
{
    return std::any_of(journal.cbegin(), journal.cend(), [&message](const Record& record) {
        return record.id != message.id && mayHaveLeft(record.state) && sameMessage(record, message);
    });
}

bool MessageJournal::isUnderWay(const QString& id) const
{
    const Record* record = find(id);
    return record && mayHaveLeft(record->state);
}

QString MessageJournal::send(Record message)
{
    if (!load())
        return {};
    for (Record& record : journal) {
        if (!mayHaveLeft(record.state) || !sameMessage(record, message))
            continue;
        // The service may have this very message: the press waits for what became of it, and
        // the fields follow that record.
        record.byHand = true;
        if (!pressedAgain.contains(record.id))
            pressedAgain.append(record.id);
        emit changed();
        return record.id;
    }
    // The same message waiting in the outbox is the one the user means: it goes now, once.
    for (Record& record : journal) {
        if (record.state != State::Waiting && record.state != State::Held)
            continue;
        if (!sameMessage(record, message) || record.reason == QLatin1String("invalid-number"))
            continue;
        record.byHand = true;
        record.reason.clear();
        post(record);
        emit changed();
        return record.id;
    }
    message.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    message.byHand = true;
    message.reason.clear();
    journal.append(message);
    post(journal.last());
    return message.id;
}

QString MessageJournal::queue(Record message)
{
    if (!load())
        return {};
    message.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    message.byHand = false;
    message.state = State::Waiting;
    message.listedBefore.reset();
    message.reason.clear();
    journal.append(message);
    save({message.id});
    emit changed();
    return message.id;
}

bool MessageJournal::tryWaiting(const QString& id)
{
    Record* record = changeable(id);
    if (!record || record->state != State::Waiting || mayBeOut(*record))
        return false;
    post(*record);
    emit changed();
    return true;
}

std::optional<MessageJournal::Record> MessageJournal::take(const QString& id)
{
    const Record* record = find(id);
    if (!record || mayHaveLeft(record->state))
        return std::nullopt;
    Record taken = *record;
    remove(id);
    save();
    emit changed();
    return taken;
}

void MessageJournal::releaseHeld()
{
    bool released = false;
    for (Record& record : journal) {
        // A message the service may have goes again only by the user's own hand, one at a
        // time (taken back and sent); an invalid number only once corrected.
        if (record.state != State::Held || record.reason == QLatin1String("invalid-number") ||
            record.reason == QLatin1String("unknown"))
            continue;
        record.state = State::Waiting;
        record.reason.clear();
        released = true;
    }
    if (released) {
        save();
        emit changed();
    }
}

void MessageJournal::post(Record& record)
{
    // What the history lists before the post is what an answer that never comes is judged by;
    // no other record of this message is out, so what it adds later is this one's.
    record.state = State::Posting;
    record.listedBefore = history.listedCount(record.msisdn, record.text);
    save({record.id});
}

void MessageJournal::answered(const QString& id, int status)
{
    const Record* record = find(id);
    if (!record || record->state != State::Posting)
        return;
    pressedAgain.removeAll(id);
    end(id, status == 200   ? Outcome::Sent
            : status == 444 ? Outcome::InsufficientCredit
                            : Outcome::Rejected);
}

void MessageJournal::unanswered(const QString& id, bool requestLeft)
{
    Record* record = changeable(id);
    if (!record || record->state != State::Posting)
        return;
    if (!requestLeft) {
        pressedAgain.removeAll(id);
        end(id, Outcome::NotReached);
        return;
    }
    record->state = State::Unanswered;
    save();
    checkNext();
}

void MessageJournal::checkNext()
{
    // One look-up per message at a time: each compares the history's count with its own, and
    // none while another record of the message is out.
    QStringList due;
    for (const Record& record : std::as_const(journal)) {
        if (record.state != State::Unanswered)
            continue;
        const bool another = std::any_of(journal.cbegin(), journal.cend(), [&](const Record& r) {
            return r.id != record.id && (r.state == State::Checking || r.state == State::Posting) &&
                   sameMessage(r, record);
        });
        const bool earlier = std::any_of(due.cbegin(), due.cend(), [&](const QString& d) {
            return sameMessage(*find(d), record);
        });
        if (!another && !earlier)
            due.append(record.id);
    }
    if (due.isEmpty())
        return;
    for (const QString& id : std::as_const(due)) {
        Record* record = changeable(id);
        record->state = State::Checking;
        auto* look = new ReceiptCheck(history, timers, record->msisdn, record->text,
                                      record->listedBefore, this);
        checks.insert(id, look);
        connect(look, &ReceiptCheck::decided, this,
                [this, id](ReceiptCheck::Verdict verdict) { decided(id, verdict); });
    }
    save();
    emit changed();
    for (const QString& id : std::as_const(due)) {
        if (const Record* record = find(id); record && record->byHand)
            emit checkStarted(*record);
        if (ReceiptCheck* look = checks.value(id))
            look->start();
    }
}

void MessageJournal::decided(const QString& id, ReceiptCheck::Verdict verdict)
{
    if (ReceiptCheck* look = checks.take(id))
        look->deleteLater();
    Record* record = changeable(id);
    if (!record || record->state != State::Checking)
        return;
    switch (verdict) {
    case ReceiptCheck::Verdict::Received:
        pressedAgain.removeAll(id);
        end(id, Outcome::SentLate);
        return;
    case ReceiptCheck::Verdict::NotReceived:
        // Pressed again while it was looked up: the one post the user asked for goes now.
        if (pressedAgain.removeAll(id) > 0) {
            post(*record);
            emit changed();
            return;
        }
        end(id, Outcome::NotReceived);
        return;
    case ReceiptCheck::Verdict::Unknown:
        pressedAgain.removeAll(id);
        end(id, Outcome::ReceiptUnknown);
        return;
    }
}

void MessageJournal::end(const QString& id, Outcome outcome)
{
    Record* record = changeable(id);
    Record ended = *record;
    const bool byHand = ended.byHand;
    switch (outcome) {
    case Outcome::Sent:
        history.noteAccepted(ended.msisdn, ended.text, postedAt.value(id));
        [[fallthrough]];
    case Outcome::SentLate: // the listing that showed it holds it already
        ended.state = State::Sent;
        remove(id);
        break;
    case Outcome::InsufficientCredit:
    case Outcome::NotReached:
    case Outcome::NotRecorded:
    case Outcome::NotReceived:
    case Outcome::Rejected:
    case Outcome::ReceiptUnknown:
        if (ended.byHand && questions.fieldsHold(ended)) {
            // The fields keep it, as the user typed it.
            ended.state = State::Refused;
            remove(id);
        } else if (outcome == Outcome::Rejected || outcome == Outcome::ReceiptUnknown ||
                   ended.byHand) {
            // Not to be tried again without the user: the outbox keeps it, and says why.
            record->state = State::Held;
            record->byHand = false;
            record->reason = outcome == Outcome::Rejected         ? QStringLiteral("rejected")
                             : outcome == Outcome::ReceiptUnknown ? QStringLiteral("unknown")
                                                                  : QStringLiteral("not-sent");
            ended = *record;
            ended.byHand = byHand;
        } else {
            record->state = State::Waiting;
            ended = *record;
        }
        break;
    }
    postedAt.remove(id);
    save();
    emit changed();
    emit settled(ended, outcome);
    checkNext();
}

void MessageJournal::save(const QStringList& posting)
{
    if (!owned)
        return;
    // A record waits for the write that first holds it in its new state, and for no other: an
    // earlier write of it, still under way, is not the one that lets it go.
    const quint64 write = ++writes;
    for (const QString& id : posting)
        awaited.insert(id, write);
    file.write(journal, this, [this, write](int error) { saved(write, error); });
}

void MessageJournal::saved(quint64 write, int error)
{
    lastError = error;
    QStringList ready;
    for (auto it = awaited.begin(); it != awaited.end();) {
        if (it.value() == write) {
            ready.append(it.key());
            it = awaited.erase(it);
        } else {
            ++it;
        }
    }
    for (const QString& id : std::as_const(ready)) {
        const Record* record = find(id);
        if (record && record->state == State::Waiting && !error) {
            emit recorded(*record);
            continue;
        }
        if (record && record->state == State::Waiting) {
            // Left in the fields as well as in the journal, it would go twice: the fields keep it.
            Record lost = *record;
            lost.byHand = true;
            remove(id);
            save();
            emit changed();
            emit settled(lost, Outcome::NotRecorded);
            continue;
        }
        if (!record || record->state != State::Posting)
            continue;
        if (error) {
            pressedAgain.removeAll(id);
            end(id, Outcome::NotRecorded);
            continue;
        }
        postedAt.insert(id, history.mark());
        emit postDue(*record);
    }
}
