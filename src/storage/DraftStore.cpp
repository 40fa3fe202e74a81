#include "DraftStore.h"

#include "PrivateFile.h"
#include "StorageStatus.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDraft, "quibbo.draft")

namespace {
// A draft is a few screens of text at most; anything far larger is not one of ours.
constexpr qint64 largestDraft = 4 << 20;
} // namespace

DraftStore::DraftStore(QString filePath, StorageStatus* status_)
    : path(std::move(filePath)), status(status_)
{
    // One client writes the draft, and it has not begun yet.
    PrivateFile::removeUnfinishedWrites(path);
}

DraftStore::~DraftStore()
{
    writer.wait();
    if (status)
        status->forget(StorageStatus::File::Draft);
}

QString DraftStore::defaultFilePath()
{
    return PrivateFile::statePath(QStringLiteral("draft.json"));
}

std::optional<DraftStore::Draft> DraftStore::read()
{
    writer.wait();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestDraft)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const QJsonObject object = document.object();
    const QJsonValue message = object.value(QStringLiteral("message"));
    const QJsonValue recipient = object.value(QStringLiteral("recipient"));
    if (!message.isString() || !recipient.isString()) {
        qCWarning(lcDraft) << "ignoring the unreadable draft" << path;
        return std::nullopt;
    }
    return Draft{message.toString(), recipient.toString()};
}

namespace {
QByteArray contentsOf(const DraftStore::Draft& draft)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("message"), draft.message},
                                     {QStringLiteral("recipient"), draft.recipient}})
        .toJson(QJsonDocument::Compact);
}

// A sent message left on disk would come back as a draft at the next start.
bool isEmpty(const DraftStore::Draft& draft)
{
    return draft.message.isEmpty() && draft.recipient.isEmpty();
}
} // namespace

void DraftStore::write(const Draft& draft)
{
    latest = draft;
    writer.write(path, contentsOf(draft), isEmpty(draft), nullptr,
                 [this](int error) { report(error); });
}

void DraftStore::report(int error)
{
    failure = error;
    if (!status)
        return;
    if (error)
        status->writeFailed(StorageStatus::File::Draft, error, [this] {
            failure = writeLatest();
            return failure;
        });
    else
        status->written(StorageStatus::File::Draft);
}

int DraftStore::keep()
{
    writer.settle();
    if (failure)
        report(writeLatest());
    return failure;
}

int DraftStore::writeLatest()
{
    // A retry after a failed write: rare, and short when it fails again. A write still under way
    // ends first, so that an older draft is never put in place after the newest.
    writer.wait();
    if (isEmpty(latest))
        return PrivateFile::remove(path);
    return PrivateFile::write(path, contentsOf(latest));
}
