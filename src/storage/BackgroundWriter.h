#pragma once

#include <QByteArray>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

class QObject;

// Writes files through PrivateFile on a thread of its own, one after another in the order asked:
// a flush to a slow disk or a network home folder takes seconds, and the window must not wait
// for it. Whoever needs a file on disk before going on waits for its written callback instead.
class BackgroundWriter
{
public:
    BackgroundWriter();
    // Waits for the writes under way, so that none is cut short at a quit.
    ~BackgroundWriter();

    // Writes contents to filePath (or removes the file); written runs on the thread that made
    // this writer with 0 or the errno, unless context (where given) is gone by then.
    void write(const QString& filePath, const QByteArray& contents, bool remove, QObject* context,
               std::function<void(int error)> written);
    // Runs a write of the caller's own (job gives 0 or the errno) in the same order, answered as
    // write() is.
    void run(std::function<int()> job, QObject* context, std::function<void(int error)> written);
    // Waits until every write asked for so far has ended.
    void wait();
    // Waits as wait() does, then runs their written callbacks now rather than at the next turn
    // of the event loop: for a caller that must know before it returns.
    void settle();

private:
    QThreadPool thread;
    // Lives on the thread that asked for the writes, and hands them their answers there.
    std::unique_ptr<QObject> answers;
};
