#pragma once

#include "CurlReply.h"

#include <QPointer>

#include <functional>

// The exchange an object has under way with the service. Starting another, or the owner's end,
// abandons it, so that an answer never reaches an object that has moved on or is gone.
class PendingReply
{
public:
    explicit PendingReply(QObject* owner_) : owner(owner_) {}
    ~PendingReply() { abandon(); }
    Q_DISABLE_COPY_MOVE(PendingReply)

    // Holds reply, then calls answered with it once it has finished; the reply is deleted
    // after that.
    void start(CurlReply* reply, std::function<void(CurlReply&)> answered);
    // Holds reply without waiting for it: for an answer read as it arrives.
    void hold(CurlReply* reply);
    // The answer was read: the reply goes, without being aborted.
    void release();
    // Disconnects the owner from the reply under way and aborts it.
    void abandon();

    CurlReply* get() const { return current; }
    explicit operator bool() const { return !current.isNull(); }

private:
    QObject* owner;
    QPointer<CurlReply> current;
};
