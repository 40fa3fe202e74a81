#include "BackgroundWriter.h"

#include "PrivateFile.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

BackgroundWriter::BackgroundWriter() : answers(std::make_unique<QObject>())
{
    // One thread: the writes of a file end in the order they were asked for.
    thread.setMaxThreadCount(1);
    thread.setExpiryTimeout(-1);
}

BackgroundWriter::~BackgroundWriter()
{
    wait();
}

void BackgroundWriter::write(const QString& filePath, const QByteArray& contents, bool remove,
                             QObject* context, std::function<void(int error)> written)
{
    QObject* receiver = answers.get();
    const bool owned = context != nullptr;
    thread.start([filePath, contents, remove, receiver, owned, context = QPointer<QObject>(context),
                  written = std::move(written)] {
        const int error =
            remove ? PrivateFile::remove(filePath) : PrivateFile::write(filePath, contents);
        QMetaObject::invokeMethod(
            receiver,
            [owned, context, written, error] {
                if ((!owned || context) && written)
                    written(error);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundWriter::wait()
{
    thread.waitForDone();
}
