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
    thread.start([filePath, contents, remove, receiver, context = QPointer<QObject>(context),
                  written = std::move(written)] {
        const int error =
            remove ? PrivateFile::remove(filePath) : PrivateFile::write(filePath, contents);
        QMetaObject::invokeMethod(
            receiver,
            [context, written, error] {
                if (context && written)
                    written(error);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundWriter::wait()
{
    thread.waitForDone();
}
