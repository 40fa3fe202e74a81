#include "OutboxStore.h"

#include "PrivateFile.h"
#include "StorageStatus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <cstring>

Q_LOGGING_CATEGORY(lcOutbox, "quibbo.outbox")

namespace {
// A few hundred waiting messages are a few hundred kilobytes; far more is not our file.
constexpr qint64 largestOutbox = 64 << 20;

QJsonObject toJson(const OutboxStore::Message& message)
{
    QJsonObject object{{QStringLiteral("id"), message.id},
                       {QStringLiteral("queued"), message.queued.toString(Qt::ISODateWithMs)},
                       {QStringLiteral("number"), message.number},
                       {QStringLiteral("text"), message.text}};
    if (message.senderID)
        object.insert(QStringLiteral("senderID"), *message.senderID);
    if (message.tried)
        object.insert(QStringLiteral("tried"), true);
    if (message.listedBefore)
        object.insert(QStringLiteral("listedBefore"), *message.listedBefore);
    if (message.held)
        object.insert(QStringLiteral("held"), true);
    return object;
}

std::optional<OutboxStore::Message> fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue number = object.value(QStringLiteral("number"));
    const QJsonValue text = object.value(QStringLiteral("text"));
    if (!id.isString() || !number.isString() || !text.isString())
        return std::nullopt;
    OutboxStore::Message message{
        .id = id.toString(), .number = number.toString(), .text = text.toString()};
    message.queued =
        QDateTime::fromString(object.value(QStringLiteral("queued")).toString(), Qt::ISODateWithMs);
    if (const QJsonValue sender = object.value(QStringLiteral("senderID")); sender.isString())
        message.senderID = sender.toString();
    message.tried = object.value(QStringLiteral("tried")).toBool();
    if (const QJsonValue listed = object.value(QStringLiteral("listedBefore"));
        listed.isDouble() && listed.toInt(-1) >= 0)
        message.listedBefore = listed.toInt();
    message.held = object.value(QStringLiteral("held")).toBool();
    return message;
}
} // namespace

OutboxStore::OutboxStore(QString filePath, StorageStatus* status_)
    : path(std::move(filePath)), status(status_)
{
    // One client writes the outbox, and it has not begun yet.
    PrivateFile::removeUnfinishedWrites(path);
}

OutboxStore::~OutboxStore()
{
    if (status)
        status->forget(StorageStatus::File::Outbox);
}

QString OutboxStore::defaultFilePath()
{
    return PrivateFile::statePath(QStringLiteral("outbox.json"));
}

QList<OutboxStore::Message> OutboxStore::read()
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document =
        file.size() > largestOutbox ? QJsonDocument() : QJsonDocument::fromJson(file.readAll());
    const QJsonValue list = document.object().value(QStringLiteral("messages"));
    if (!list.isArray()) {
        // Waiting messages may be in there: the file is kept for a person to look at, and the
        // next write starts a new one.
        file.close();
        QString aside;
        if (const int error = PrivateFile::moveAside(path, QStringLiteral("unreadable"), &aside))
            qCWarning(lcOutbox) << "cannot move the unreadable outbox aside:"
                                << std::strerror(error);
        else
            qCWarning(lcOutbox) << "moved the unreadable outbox to" << aside;
        return {};
    }
    QList<Message> messages;
    for (const QJsonValue& value : list.toArray()) {
        if (std::optional<Message> message = fromJson(value))
            messages.append(std::move(*message));
        else
            qCWarning(lcOutbox) << "skipping an unreadable message of the outbox";
    }
    latest = messages;
    return messages;
}

void OutboxStore::write(const QList<Message>& messages)
{
    latest = messages;
    const int error = writeLatest();
    if (!status)
        return;
    if (error)
        status->writeFailed(StorageStatus::File::Outbox, error, [this] { return writeLatest(); });
    else
        status->written(StorageStatus::File::Outbox);
}

int OutboxStore::writeLatest()
{
    if (latest.isEmpty())
        return PrivateFile::remove(path);
    QJsonArray list;
    for (const Message& message : latest)
        list.append(toJson(message));
    return PrivateFile::write(
        path, QJsonDocument(QJsonObject{{QStringLiteral("messages"), list}}).toJson());
}
