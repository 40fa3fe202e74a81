#include "FakeTime.h"
#include "MessageJournal.h"
#include "NetworkMonitor.h"
#include "Outbox.h"
#include "SentHistory.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QTest>

#include <deque>

using namespace std::chrono_literals;
using Record = JournalFile::Record;
using State = Record::State;
using Outcome = MessageJournal::Outcome;

namespace {
// A message as the service and its history know it: the number and the text without white
// space at either end.
using Key = std::pair<QString, QString>;
Key keyOf(const Record& record)
{
    return {record.msisdn, record.text.trimmed()};
}

// The user's disk: what the last finished write left, and who holds the lock.
struct Disk
{
    QList<Record> records;
    int holder = 0;
};

// One client's view of the disk, whose writes finish or fail when the schedule says.
class ModelFile : public JournalFile
{
public:
    ModelFile(Disk& disk_, int client_) : disk(disk_), client(client_) {}
    ~ModelFile() override
    {
        if (disk.holder == client)
            disk.holder = 0;
    }
    bool take() override
    {
        if (disk.holder != 0 && disk.holder != client)
            return false;
        disk.holder = client;
        return true;
    }
    QList<Record> read() override { return disk.records; }
    bool exists() const override { return !disk.records.isEmpty(); }
    void write(const QList<Record>& records, QObject* context,
               std::function<void(int)> written) override
    {
        if (disk.holder != client)
            QFAIL("a client wrote the journal without holding its lock");
        pending.push_back({records, context, std::move(written)});
    }

    // The oldest write ends: on disk, or refused for a full disk.
    void finishOne(bool full)
    {
        Write write = std::move(pending.front());
        pending.pop_front();
        if (!full)
            disk.records = write.records;
        if (write.context)
            write.written(full ? ENOSPC : 0);
    }
    // A quit lets the writes under way end, unanswered; a crash loses them.
    void end(bool crash)
    {
        for (Write& write : pending)
            if (!crash)
                disk.records = write.records;
        pending.clear();
    }

    struct Write
    {
        QList<Record> records;
        QPointer<QObject> context;
        std::function<void(int)> written;
    };
    std::deque<Write> pending;

private:
    Disk& disk;
    const int client;
};

// The service's history, which lists what the service accepted at once, counted as the client's
// history counts: the listing last fetched, and the sends accepted since.
class ModelHistory : public SentHistory
{
public:
    explicit ModelHistory(const QList<Key>& accepted_) : accepted(accepted_) {}

    quint64 mark() override { return ++marks; }
    std::optional<int> listedCount(const QString& msisdn, const QString& text) const override
    {
        if (!listing)
            return std::nullopt;
        const Key key{msisdn, text.trimmed()};
        int count = int(listing->count(key));
        for (const Noted& send : noted) {
            if (send.key != key || send.accepted < listedAt)
                continue;
            if (send.posted > listedAt)
                ++count;
            else
                return std::nullopt;
        }
        return count;
    }
    void noteAccepted(const QString& msisdn, const QString& text, quint64 postedAt) override
    {
        noted.append({{msisdn, text.trimmed()}, postedAt, mark()});
    }
    void recount(QObject* context, const QString& msisdn, const QString& text,
                 std::function<void(std::optional<int>)> counted) override
    {
        questions.append({context, msisdn, text, std::move(counted)});
    }

    // A fetch ends: a whole listing, or none.
    void fetched(bool whole)
    {
        if (whole) {
            listing = accepted;
            listedAt = mark();
        }
        for (Question& question : std::exchange(questions, {}))
            if (question.context)
                question.counted(whole ? listedCount(question.msisdn, question.text)
                                       : std::nullopt);
    }
    bool asked() const { return !questions.isEmpty(); }
    // A new run of the client knows nothing of the last one's listing.
    void forget()
    {
        listing.reset();
        noted.clear();
        questions.clear();
    }

private:
    struct Noted
    {
        Key key;
        quint64 posted;
        quint64 accepted;
    };
    struct Question
    {
        QPointer<QObject> context;
        QString msisdn;
        QString text;
        std::function<void(std::optional<int>)> counted;
    };
    const QList<Key>& accepted;
    std::optional<QList<Key>> listing;
    quint64 listedAt = 0;
    quint64 marks = 0;
    QList<Noted> noted;
    QList<Question> questions;
};

class ModelMonitor : public NetworkMonitor
{
public:
    void watch() override {}
};

// What the window does with the journal, as SendSMSPushed does it: the two fields (the box
// with one recipient or several), the record they follow while it is out, the recipients of a
// press not yet sent to, and the offer of the outbox for messages that never left.
struct Fields
{
    QString text;
    QStringList numbers;
    QString following;
    QStringList queued;
    QList<Record> offered;
    bool holds(const Record& record) const
    {
        return text.trimmed() == record.text.trimmed() && numbers.contains(record.number);
    }
    bool holds(const Key& key) const
    {
        return text.trimmed() == key.second && numbers.contains(key.first);
    }
    // The recipient got it, or waits in the outbox: it leaves the box, and with the last one
    // the message goes too.
    void letGo(const Record& record)
    {
        if (!holds(record))
            return;
        numbers.removeAll(record.number);
        if (numbers.isEmpty())
            text.clear();
    }
};

// The event kinds of a schedule, with their weights.
enum Event
{
    Press,
    TypeNew,
    TypeVariant,
    Queue,
    Answer,
    FinishWrite,
    FailWrite,
    Fetch,
    FailFetch,
    Time,
    NetworkBack,
    SendNow,
    TakeBack,
    Restart,
    Crash,
    SecondClient,
    EventCount
};

struct Run
{
    explicit Run(quint32 seed) : random(seed) { start(); }
    ~Run() { stop(false); }

    void start()
    {
        history.forget();
        file = std::make_unique<ModelFile>(disk, 1);
        journal = std::make_unique<MessageJournal>(
            *file, history, time,
            MessageJournal::Questions{
                .fieldsHold = [this](const Record& record) { return fields.holds(record); },
                .formatNumber = [](const QString& typed) { return typed; }});
        outbox = std::make_unique<Outbox>(*journal, monitor, time);
        QObject::connect(journal.get(), &MessageJournal::postDue, journal.get(),
                         [this](const Record& record) {
                             posts.push_back(record);
                             ++postCount;
                         });
        // A send to one is the user's again while it is looked up; one to several waits.
        QObject::connect(journal.get(), &MessageJournal::checkStarted, journal.get(),
                         [this](const Record& record) {
                             if (record.id == fields.following && fields.queued.isEmpty() &&
                                 !several && !journal->isPressedAgain(record.id))
                                 fields.following.clear();
                         });
        QObject::connect(journal.get(), &MessageJournal::recorded, journal.get(),
                         [this](const Record& record) {
                             if (fields.following.isEmpty() && !several)
                                 fields.letGo(record);
                         });
        QObject::connect(
            journal.get(), &MessageJournal::settled, journal.get(),
            [this](const Record& record, Outcome outcome) { settled(record, outcome); });
        QVERIFY(journal->load());
        outbox->load();
    }

    void stop(bool crash)
    {
        outbox.reset();
        journal.reset();
        file->end(crash);
        file.reset();
        // Requests still out reach the service, or not, with no one to hear the answer.
        for (const Record& post : std::exchange(posts, {}))
            if (random.bounded(2) == 0)
                accepted.append(keyOf(post));
        fields.following.clear();
        fields.queued.clear();
        fields.offered.clear();
        several = false;
    }

    void settled(const Record& record, Outcome outcome)
    {
        ++outcomes[int(outcome)];
        const bool followed = record.id == fields.following;
        if (followed)
            fields.following.clear();
        // The user was told not to send it again before looking in the history.
        if (outcome == Outcome::ReceiptUnknown)
            unsafe.insert(record.text.trimmed());
        if (!record.byHand)
            return;
        if (outcome == Outcome::Sent || outcome == Outcome::SentLate)
            fields.letGo(record);
        if (outcome == Outcome::NotReached)
            fields.offered.append(record);
        // An earlier run's send to a recipient still to come, found in the history, is theirs;
        // one whose receipt is not known is not sent again without the user.
        if (!followed && several &&
            (outcome == Outcome::Sent || outcome == Outcome::SentLate ||
             outcome == Outcome::ReceiptUnknown))
            fields.queued.removeAll(record.number);
        if (!followed || !several)
            return;
        // A lack of credit stops the rest; they stay in the box.
        if (outcome == Outcome::InsufficientCredit)
            fields.queued.clear();
        if (fields.queued.isEmpty()) {
            several = false;
            return;
        }
        sendTo(fields.queued.takeFirst());
    }

    void sendTo(const QString& number)
    {
        const QString id = journal->send(
            {.queued = time.now(), .number = number, .msisdn = number, .text = fields.text});
        QVERIFY(!id.isEmpty());
        owed.insert(Key{number, fields.text.trimmed()});
        // Every press posts, or follows a record that may be out.
        QVERIFY(journal->isUnderWay(id));
        fields.following = id;
    }

    void step(Event event)
    {
        switch (event) {
        case Press: {
            if (fields.text.isEmpty() || fields.numbers.isEmpty() || !fields.following.isEmpty() ||
                several || unsafe.contains(fields.text.trimmed()))
                return;
            fields.offered.clear();
            several = fields.numbers.size() > 1;
            fields.queued = fields.numbers;
            sendTo(fields.queued.takeFirst());
            return;
        }
        case TypeNew:
        case TypeVariant: {
            if (!fields.following.isEmpty() || several)
                return;
            if (event == TypeVariant && !fields.text.isEmpty()) {
                const QStringList ends{QStringLiteral(" "), QStringLiteral("\n"), QString()};
                fields.text =
                    ends.at(random.bounded(3)) + fields.text.trimmed() + ends.at(random.bounded(3));
                return;
            }
            // Nothing owed is typed over: what the journal keeps, or what went, may go.
            // A message whose receipt is unknown the user looks up in the history and leaves.
            const QString typed = fields.text.trimmed();
            if (unsafe.contains(typed)) {
                owed.removeIf([&typed](const Key& key) { return key.second == typed; });
            } else {
                for (const QString& number : std::as_const(fields.numbers)) {
                    const Key key{number, typed};
                    if (owed.contains(key) && !kept(key) && !accepted.contains(key))
                        return;
                }
            }
            fields.text = QStringLiteral("message %1").arg(++typedCount);
            // One recipient, or several: a number may be in the box twice, as a person in two
            // groups is.
            const QStringList all{QStringLiteral("447700900123"), QStringLiteral("447700900456"),
                                  QStringLiteral("447700900789")};
            fields.numbers.clear();
            for (qsizetype n = 1 + random.bounded(3); n > 0; --n) {
                const QString number = all.at(random.bounded(all.size()));
                if (!fields.numbers.contains(number))
                    fields.numbers.append(number);
            }
            fields.offered.clear();
            return;
        }
        case Queue:
            if (fields.following.isEmpty() && !several)
                for (const Record& record : std::exchange(fields.offered, {}))
                    QVERIFY(!outbox->add(record).isEmpty());
            return;
        case Answer: {
            if (posts.empty())
                return;
            const qsizetype at = random.bounded(qsizetype(posts.size()));
            const Record post = posts.at(at);
            posts.erase(posts.begin() + at);
            switch (random.bounded(7)) {
            case 0:
            case 1:
                accepted.append(keyOf(post));
                journal->answered(post.id, 200);
                return;
            case 2:
                journal->answered(post.id, 444);
                return;
            case 3:
                journal->answered(post.id, random.bounded(2) ? 500 : 503);
                return;
            case 4:
                journal->unanswered(post.id, false);
                return;
            case 5:
                accepted.append(keyOf(post));
                journal->unanswered(post.id, true);
                return;
            default:
                journal->unanswered(post.id, true);
                return;
            }
        }
        case FinishWrite:
        case FailWrite:
            if (!file->pending.empty())
                file->finishOne(event == FailWrite);
            return;
        case Fetch:
        case FailFetch:
            history.fetched(event == Fetch);
            return;
        case Time:
            time.advance(10s);
            return;
        case NetworkBack:
            emit monitor.becameAvailable();
            return;
        case SendNow:
            outbox->sendNow();
            return;
        case TakeBack: {
            if (!fields.text.isEmpty() || !fields.following.isEmpty() || several)
                return;
            for (const Record& waiting : outbox->messages()) {
                if (std::optional<Record> taken = outbox->take(waiting.id)) {
                    fields.text = taken->text;
                    fields.numbers = {taken->number};
                    return;
                }
            }
            return;
        }
        case Restart:
        case Crash:
            stop(event == Crash);
            start();
            return;
        case SecondClient: {
            // Another session of the same user: it may neither post nor write.
            ModelFile second(disk, 2);
            MessageJournal other(second, history, time,
                                 {.fieldsHold = [](const Record&) { return true; },
                                  .formatNumber = [](const QString& typed) { return typed; }});
            QObject::connect(&other, &MessageJournal::postDue, &other,
                             [](const Record&) { QFAIL("a second client posted"); });
            QVERIFY(!other.load());
            QVERIFY(other
                        .send({.number = QStringLiteral("1"),
                               .msisdn = QStringLiteral("1"),
                               .text = QStringLiteral("x")})
                        .isEmpty());
            return;
        }
        case EventCount:
            return;
        }
    }

    bool kept(const Key& key) const
    {
        const QList<Record>& records = journal->records();
        return std::any_of(records.cbegin(), records.cend(),
                           [&key](const Record& r) { return keyOf(r) == key; });
    }

    // Never twice, never vanished.
    void check(int at)
    {
        QMap<Key, int> times;
        for (const Key& key : std::as_const(accepted))
            if (++times[key] > 1)
                QFAIL(qPrintable(QStringLiteral("step %1: %2 to %3 accepted twice")
                                     .arg(at)
                                     .arg(key.second, key.first)));
        for (const Key& key : std::as_const(owed)) {
            if (!accepted.contains(key) && !kept(key) && !fields.holds(key))
                QFAIL(qPrintable(QStringLiteral("step %1: %2 to %3 vanished")
                                     .arg(at)
                                     .arg(key.second, key.first)));
        }
    }

    // Everything that can end, ends: no record stays out and the fields are free, within the
    // look-up's bound of two fetches and ten seconds.
    void settle(int at)
    {
        for (int round = 0; round < 50; ++round) {
            while (!file->pending.empty())
                file->finishOne(false);
            if (!posts.empty()) {
                const Record post = posts.front();
                posts.pop_front();
                accepted.append(keyOf(post));
                journal->answered(post.id, 200);
                continue;
            }
            if (history.asked()) {
                history.fetched(true);
                continue;
            }
            const QList<Record>& records = journal->records();
            if (std::none_of(records.cbegin(), records.cend(),
                             [this](const Record& r) { return journal->isUnderWay(r.id); }))
                break;
            time.advance(10s);
        }
        const QList<Record>& records = journal->records();
        for (const Record& record : records)
            if (journal->isUnderWay(record.id))
                QFAIL(qPrintable(QStringLiteral("step %1: %2 stuck").arg(at).arg(record.text)));
        QVERIFY2(fields.following.isEmpty() && !several,
                 qPrintable(QStringLiteral("step %1").arg(at)));
        check(at);
    }

    QRandomGenerator random;
    Disk disk;
    QList<Key> accepted; // by the service, in order
    ModelHistory history{accepted};
    FakeTime time;
    ModelMonitor monitor;
    std::unique_ptr<ModelFile> file;
    std::unique_ptr<MessageJournal> journal;
    std::unique_ptr<Outbox> outbox;
    std::deque<Record> posts; // requests out
    Fields fields;
    QSet<Key> owed;       // every number and text pressed for
    bool several = false; // a press for several recipients is under way
    QSet<QString> unsafe;
    int typedCount = 0;
    int postCount = 0;
    QMap<int, int> outcomes;
};

const int weights[EventCount] = {8, 3, 2, 2, 8, 8, 2, 3, 1, 3, 1, 1, 1, 1, 1, 1};

Event draw(QRandomGenerator& random)
{
    int total = 0;
    for (int weight : weights)
        total += weight;
    int at = int(random.bounded(total));
    for (int event = 0; event < EventCount; ++event) {
        if (at < weights[event])
            return Event(event);
        at -= weights[event];
    }
    return Press;
}
} // namespace

// The life of every message as one state machine, run against a disk, a service and a history
// that do whatever a schedule says: after every step no message is accepted twice and none has
// vanished, and once everything has answered, nothing is left out and Send is free.
class TestMessageJournal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomSchedules_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("steps");
        // QUIBBO_MODEL_STEPS makes a longer run outside the suite.
        const int steps = qEnvironmentVariableIntValue("QUIBBO_MODEL_STEPS");
        for (quint32 seed = 1; seed <= 8; ++seed)
            QTest::addRow("seed %u", seed) << seed << (steps > 0 ? steps : 2500);
    }

    void randomSchedules()
    {
        QFETCH(quint32, seed);
        QFETCH(int, steps);
        Run run(seed);
        // QUIBBO_MODEL_TRACE=N prints every step from step N on, to follow a failing seed.
        const int trace = qEnvironmentVariableIntValue("QUIBBO_MODEL_TRACE");
        for (int at = 0; at < steps; ++at) {
            const Event event = draw(run.random);
            if (trace && at >= trace) {
                QStringList states;
                for (const Record& r : run.journal->records())
                    states << QStringLiteral("%1>%2/%3/%4")
                                  .arg(r.text.trimmed(), r.msisdn.right(3))
                                  .arg(int(r.state))
                                  .arg(r.byHand);
                qInfo("%d event %d: fields '%s' to %s following %d, posts %d, writes %d: %s", at,
                      event, qPrintable(run.fields.text.trimmed()),
                      qPrintable(run.fields.numbers.join(u',')), !run.fields.following.isEmpty(),
                      int(run.posts.size()), int(run.file->pending.size()),
                      qPrintable(states.join(u' ')));
            }
            run.step(event);
            if (QTest::currentTestFailed())
                return;
            run.check(at);
            if (QTest::currentTestFailed())
                return;
            if (at % 100 == 99)
                run.settle(at);
            if (QTest::currentTestFailed())
                return;
        }
        run.settle(steps);
        QStringList seen;
        for (auto it = run.outcomes.cbegin(); it != run.outcomes.cend(); ++it)
            seen << QStringLiteral("%1:%2").arg(it.key()).arg(it.value());
        qInfo("%d steps, %d messages pressed for, %d accepted; outcomes %s", steps,
              int(run.owed.size()), int(run.accepted.size()), qPrintable(seen.join(u' ')));
    }

    // Named interleavings, each a path the random runs reach only by chance. Negative events
    // answer the oldest post (-1 lets every write end): -4 never left, -5 left and arrived, -6 left
    // and was lost, -7 a 503.
    void interleavings_data()
    {
        QTest::addColumn<QList<int>>("events");
        QTest::addColumn<int>("posts"); // before everything is let end
        QTest::addColumn<int>("held");
        QTest::addColumn<bool>("fieldsHoldIt");
        QTest::newRow("a press during a look-up, differing by a space")
            << QList<int>{TypeNew, Press, FinishWrite, -6,    TypeVariant,
                          Press,   Fetch, Time,        Fetch, -1}
            << 2 << 0 << true;
        QTest::newRow("a press during a look-up that finds it")
            << QList<int>{Fetch, TypeNew, Press, FinishWrite, -5, TypeVariant, Press, Fetch} << 1
            << 0 << false;
        // Without a listing from before the post, a row for it may be an earlier one.
        QTest::newRow("a look-up without a listing from before")
            << QList<int>{TypeNew, Press, FinishWrite, -5, Fetch} << 1 << 0 << true;
        QTest::newRow("a crash with the post out, found")
            << QList<int>{Fetch, TypeNew, Press, FinishWrite, -5, Crash, Fetch} << 1 << 0 << false;
        QTest::newRow("a crash with the post out, lost")
            << QList<int>{Fetch, TypeNew, Press, FinishWrite, Crash, Fetch, Time, Fetch} << 1 << 0
            << true;
        QTest::newRow("a full disk at the press")
            << QList<int>{TypeNew, Press, FailWrite} << 0 << 0 << true;
        QTest::newRow("a full disk when put in the outbox")
            << QList<int>{TypeNew, Press, FinishWrite, -4, -1, Queue, FailWrite} << 1 << 0 << true;
        QTest::newRow("an outbox try refused with a 503 stays, held")
            << QList<int>{TypeNew, Press, FinishWrite, -4, Queue, -1, NetworkBack, -1, -7} << 2 << 1
            << false;
        // Another text typed while the look-up runs: a message the service did not receive
        // moves to the outbox, held, rather than vanish.
        QTest::newRow("another text typed during the look-up")
            << QList<int>{Fetch, TypeNew, Press, FinishWrite, -6, TypeNew, Fetch, Time, Fetch} << 1
            << 1 << false;
    }

    void interleavings()
    {
        QFETCH(QList<int>, events);
        QFETCH(int, posts);
        QFETCH(int, held);
        QFETCH(bool, fieldsHoldIt);
        Run run(1);
        QString first;
        int at = 0;
        for (const int event : std::as_const(events)) {
            if (event == -1) {
                while (!run.file->pending.empty())
                    run.file->finishOne(false);
            } else if (event < 0 && !run.posts.empty()) {
                const Record post = run.posts.front();
                run.posts.pop_front();
                if (event == -5)
                    run.accepted.append(keyOf(post));
                if (event == -7)
                    run.journal->answered(post.id, 503);
                else
                    run.journal->unanswered(post.id, event != -4);
            } else if (event >= 0) {
                run.step(Event(event));
            }
            if (first.isEmpty())
                first = run.fields.text;
            QVERIFY(!QTest::currentTestFailed());
            run.check(at++);
            QVERIFY(!QTest::currentTestFailed());
        }
        QCOMPARE(run.postCount, posts);
        const QList<Record> waiting = run.outbox->messages();
        QCOMPARE(std::count_if(waiting.cbegin(), waiting.cend(),
                               [](const Record& r) { return r.state == State::Held; }),
                 held);
        QCOMPARE(run.fields.text.trimmed() == first, fieldsHoldIt);
        run.settle(at);
    }
};

QTEST_GUILESS_MAIN(TestMessageJournal)
#include "tst_messagejournal.moc"
