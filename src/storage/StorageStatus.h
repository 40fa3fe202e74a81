#pragma once

#include <QMap>
#include <QObject>

#include <functional>
#include <memory>

class Timer;
class TimerSource;

// What the user must know about the keeping of their data, shown in the main window without a
// box: a file of theirs that could not be written and why, and passwords the keyring will not
// hand out now. The stores report here.
//
// A change that could not be written is not dropped: its store keeps it for the run and writes
// it with its next write, and while one is pending this class asks every such store to try
// again every few seconds, so that freeing space or making a folder writable is enough.
class StorageStatus : public QObject
{
    Q_OBJECT
public:
    enum class File
    {
        Settings,
        Draft,
        Outbox,
    };
    // Tries a store's pending write again: 0 once written, else the errno that stopped it.
    // EWOULDBLOCK means only that another client holds the file's lock for a moment.
    using Retry = std::function<int()>;

    explicit StorageStatus(TimerSource& timers, QObject* parent = nullptr);
    ~StorageStatus() override;

    // A write of file failed with error; retry is asked again until it succeeds. EWOULDBLOCK is
    // retried at once after a short pause and not shown.
    void writeFailed(File file, int error, Retry retry);
    void written(File file);
    // The store is going away: its retry is dropped.
    void forget(File file);

    // Why the keyring that holds the passwords does not hand them out now.
    enum class Withheld
    {
        No,
        Locked,      // locked, or its unlock prompt dismissed
        NotAnswering // its service gone from the bus, or none installed any more
    };
    // The user should know: the passwords are in the keyring but it will not hand them out.
    void setPasswordsWithheld(Withheld why);
    bool passwordsWithheld() const { return withheld != Withheld::No; }
    Withheld passwordsWithheldBecause() const { return withheld; }
    // The user's words for why the passwords cannot be read.
    static QString withheldReason(Withheld why);

    // The files with changes not written, and the error that stopped the last attempt.
    QMap<File, int> unsaved() const;
    // The user's words for why a write failed.
    static QString reason(int error);

Q_SIGNALS:
    void changed();

private:
    struct Pending
    {
        int error = 0;
        Retry retry;
    };
    void retryAll();
    void schedule();

    std::unique_ptr<Timer> retryTimer;
    QMap<File, Pending> pending;
    Withheld withheld = Withheld::No;
};
