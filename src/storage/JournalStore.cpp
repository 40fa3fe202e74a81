#include "JournalStore.h"

#include "PrivateFile.h"
#include "StorageStatus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcJournal, "quibbo.journal")

namespace {
using Record = JournalFile::Record;
using State = Record::State;

// A few hundred waiting messages are a few hundred kilobytes; far more is not our file.
constexpr qint64 largestJournal = 64 << 20;

// Sent and refused messages are settled and never kept.
constexpr std::pair<State, const char*> stateNames[] = {{State::Posting, "posting"},
                                                        {State::Unanswered, "unanswered"},
                                                        {State::Checking, "checking"},
                                                        {State::Waiting, "waiting"},
                                                        {State::Held, "held"}};

QByteArray toJson(const QList<Record>& records)
{
    QJsonArray list;
    for (const Record& record : records) {
        QJsonObject object{{QStringLiteral("id"), record.id},
                           {QStringLiteral("queued"), record.queued.toString(Qt::ISODateWithMs)},
                           {QStringLiteral("number"), record.number},
                           {QStringLiteral("msisdn"), record.msisdn},
                           {QStringLiteral("text"), record.text}};
        for (const auto& [state, name] : stateNames)
            if (state == record.state)
                object.insert(QStringLiteral("state"), QLatin1String(name));
        if (record.senderID)
            object.insert(QStringLiteral("senderID"), *record.senderID);
        if (record.byHand)
            object.insert(QStringLiteral("byHand"), true);
        // An earlier client reads "tried" and "held" alone: it asks the history for a message
        // that may be out, and leaves a held one to the user.
        if (record.state == State::Posting || record.state == State::Unanswered ||
            record.state == State::Checking)
            object.insert(QStringLiteral("tried"), true);
        if (record.state == State::Held)
            object.insert(QStringLiteral("held"), true);
        if (record.listedBefore)
            object.insert(QStringLiteral("listedBefore"), *record.listedBefore);
        if (!record.reason.isEmpty())
            object.insert(QStringLiteral("reason"), record.reason);
        list.append(object);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("messages"), list}}).toJson();
}

std::optional<Record> fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue number = object.value(QStringLiteral("number"));
    const QJsonValue text = object.value(QStringLiteral("text"));
    if (!id.isString() || !number.isString() || !text.isString())
        return std::nullopt;
    Record record{.id = id.toString(), .number = number.toString(), .text = text.toString()};
    record.queued =
        QDateTime::fromString(object.value(QStringLiteral("queued")).toString(), Qt::ISODateWithMs);
    record.msisdn = object.value(QStringLiteral("msisdn")).toString();
    if (const QJsonValue sender = object.value(QStringLiteral("senderID")); sender.isString())
        record.senderID = sender.toString();
    record.byHand = object.value(QStringLiteral("byHand")).toBool();
    // A file of an earlier client says only whether a message was tried or held; a state this
    // client does not know reads as the safest one it might be: possibly out.
    const QJsonValue state = object.value(QStringLiteral("state"));
    if (state.isString()) {
        record.state = State::Unanswered;
        for (const auto& [known, name] : stateNames)
            if (state.toString() == QLatin1String(name))
                record.state = known;
    } else if (object.value(QStringLiteral("tried")).toBool()) {
        record.state = State::Unanswered;
    } else if (object.value(QStringLiteral("held")).toBool()) {
        record.state = State::Held;
    }
    if (const QJsonValue listed = object.value(QStringLiteral("listedBefore"));
        listed.isDouble() && listed.toInt(-1) >= 0)
        record.listedBefore = listed.toInt();
    record.reason = object.value(QStringLiteral("reason")).toString();
    return record;
}
} // namespace

JournalStore::JournalStore(QString filePath, StorageStatus* status_)
    : path(std::move(filePath)), status(status_)
{}

JournalStore::~JournalStore()
{
    writer.wait();
    if (status)
        status->forget(StorageStatus::File::Outbox);
    if (lockFd >= 0)
        ::close(lockFd);
}

QString JournalStore::defaultFilePath()
{
    return PrivateFile::statePath(QStringLiteral("outbox.json"));
}

bool JournalStore::take()
{
    if (lockFd >= 0)
        return true;
    if (PrivateFile::ensureFolder(path) != 0)
        return false;
    const QByteArray lockPath = QFile::encodeName(path) + ".lock";
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        qCWarning(lcJournal) << "cannot open the journal's lock:" << std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd = fd;
    // Only the client that holds the lock writes, and none of its writes has begun yet.
    PrivateFile::removeUnfinishedWrites(path);
    return true;
}

bool JournalStore::exists() const
{
    return QFile::exists(path);
}

QList<Record> JournalStore::read()
{
    // What was asked to be written comes back.
    writer.wait();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document =
        file.size() > largestJournal ? QJsonDocument() : QJsonDocument::fromJson(file.readAll());
    const QJsonValue list = document.object().value(QStringLiteral("messages"));
    if (!list.isArray()) {
        // Messages may be in there: the file is kept for a person to look at, and the next
        // write starts a new one.
        file.close();
        QString aside;
        if (const int error = PrivateFile::moveAside(path, QStringLiteral("unreadable"), &aside))
            qCWarning(lcJournal) << "cannot move the unreadable outbox aside:"
                                 << std::strerror(error);
        else
            qCWarning(lcJournal) << "moved the unreadable outbox to" << aside;
        return {};
    }
    QList<Record> records;
    for (const QJsonValue& value : list.toArray()) {
        if (std::optional<Record> record = fromJson(value))
            records.append(std::move(*record));
        else
            qCWarning(lcJournal) << "skipping an unreadable message of the outbox";
    }
    latest = records;
    return records;
}

void JournalStore::write(const QList<Record>& records, QObject* context,
                         std::function<void(int error)> written)
{
    latest = records;
    writer.write(path, latest.isEmpty() ? QByteArray() : toJson(latest), latest.isEmpty(), context,
                 [this, written = std::move(written)](int error) {
                     if (status && error)
                         status->writeFailed(StorageStatus::File::Outbox, error,
                                             [this] { return writeLatest(); });
                     else if (status)
                         status->written(StorageStatus::File::Outbox);
                     if (written)
                         written(error);
                 });
}

int JournalStore::writeLatest()
{
    // A retry after a failed write: rare, and short when it fails again. A write still under way
    // ends first, so that an older journal is never put in place after the newest.
    writer.wait();
    if (latest.isEmpty())
        return PrivateFile::remove(path);
    return PrivateFile::write(path, toJson(latest));
}
