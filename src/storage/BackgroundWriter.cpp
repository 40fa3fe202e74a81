#include "BackgroundWriter.h"

#include "PrivateFile.h"

#include <QCoreApplication>
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
    run(
        [filePath, contents, remove] {
            return remove ? PrivateFile::remove(filePath) : PrivateFile::write(filePath, contents);
        },
        context, std::move(written));
}

void BackgroundWriter::run(std::function<int()> job, QObject* context,
                           std::function<void(int error)> written)
{
    QObject* receiver = answers.get();
    const bool owned = context != nullptr;
    thread.start([job = std::move(job), receiver, owned, context = QPointer<QObject>(context),
                  written = std::move(written)] {
        const int error = job();
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

void BackgroundWriter::settle()
{
    wait();
    QCoreApplication::sendPostedEvents(answers.get(), QEvent::MetaCall);
}
