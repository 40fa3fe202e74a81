#include "PendingReply.h"

void PendingReply::start(CurlReply* reply, std::function<void(CurlReply&)> answered)
{
    hold(reply);
    QObject::connect(reply, &CurlReply::finished, owner,
                     [this, reply, answered = std::move(answered)] {
                         if (current == reply)
                             current.clear();
                         reply->deleteLater();
                         answered(*reply);
                     });
}

void PendingReply::hold(CurlReply* reply)
{
    abandon();
    current = reply;
}

void PendingReply::release()
{
    if (current)
        current->deleteLater();
    current.clear();
}

void PendingReply::abandon()
{
    if (!current)
        return;
    current->disconnect(owner);
    current->abort();
    current->deleteLater();
    current.clear();
}
