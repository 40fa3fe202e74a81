#include "PendingReply.h"

void PendingReply::start(QNetworkReply* reply, std::function<void(QNetworkReply&)> answered)
{
    hold(reply);
    QObject::connect(reply, &QNetworkReply::finished, owner,
                     [this, reply, answered = std::move(answered)] {
                         if (current == reply)
                             current.clear();
                         reply->deleteLater();
                         answered(*reply);
                     });
}

void PendingReply::hold(QNetworkReply* reply)
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
